// Preloaded into a benchmarked process (LD_PRELOAD): counts its flushes to
// disk (fsync, fdatasync) and appends the count to the file named by
// BENCH_FLUSH_LOG when the process ends.
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {

int g_flushes = 0;

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

struct Report {
  ~Report() {
    const char* log = std::getenv("BENCH_FLUSH_LOG");
    if (!log) return;
    if (std::FILE* f = std::fopen(log, "a")) {
      std::fprintf(f, "%d\n", g_flushes);
      std::fclose(f);
    }
  }
} g_report;

}  // namespace

extern "C" int fsync(int fd) {
  ++g_flushes;
  return Real<int (*)(int)>("fsync")(fd);
}

extern "C" int fdatasync(int fd) {
  ++g_flushes;
  return Real<int (*)(int)>("fdatasync")(fd);
}
