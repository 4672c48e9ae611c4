// What the planner's configuration costs in memory once loaded, and at the
// peak of the load, at 1,000, 10,000 and 100,000 gems (and as many bonuses,
// each naming its gem), the example's order and groups around them. Each
// size is loaded in a child process of its own: kept is the heap in use
// after the load less before it, peak the growth of the resident size.
//
//   config_memory
#include <malloc.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_support.h"
#include "build_context.h"
#include "config_files.h"

namespace {

const std::string kVesko = std::string(EXAMPLES_DIR) + "/vesko";

std::string ReadWhole(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// The example's files with `gems` more gems and bonuses in their lists; the
// total size of both.
std::size_t WriteConfig(const std::string& folder, int gems) {
  std::string bonus = ReadWhole(kVesko + "/config.xml"), gem = ReadWhole(kVesko + "/config_gem.xml");
  std::string bonuses, list;
  for (int i = 0; i < gems; ++i) {
    const std::string n = std::to_string(i);
    list += "    <gem id=\"made_essence_" + n + "\" r0=\"" + n + "\" r1=\"" + n + "\" r2=\"" + n + "\">Made Essence " + n +
            " Jewel</gem>\n";
    bonuses += "    <bonus id=\"made_" + n + "\">\n      <name>Made " + n +
               "</name>\n      <group>stat</group>\n      <gem id=\"made_essence_" + n + "\"/>\n    </bonus>\n";
  }
  gem.insert(gem.find("<gems>") + 7, list);
  bonus.insert(bonus.find("<bonuses>") + 10, bonuses);
  WriteBenchFile(folder + "/config.xml", bonus);
  WriteBenchFile(folder + "/config_gem.xml", gem);
  return bonus.size() + gem.size();
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// In a child: loads the configuration of `folder` and prints kept and peak bytes.
void Measure(const std::string& folder, int gems, std::size_t bytes) {
  std::fflush(stdout);
  if (::fork() == 0) {
    const long residentBefore = ResidentKiB();
    const std::size_t heapBefore = mallinfo2().uordblks;
    BuildContext context;
    context.config = LoadConfigFiles(folder).index;
    if (!context.ConfigLoaded()) _exit(1);
    const double kept = static_cast<double>(mallinfo2().uordblks - heapBefore);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const double peak = static_cast<double>(usage.ru_maxrss - residentBefore) * 1024;
    std::printf("| %d | %.1f MiB | %.1f MiB (%.2f B/B) | %.1f MiB (%.1f B/B) |\n", gems, bytes / 1048576.0,
                kept / 1048576.0, kept / static_cast<double>(bytes), peak / 1048576.0, peak / static_cast<double>(bytes));
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  ::wait(&status);
}

}  // namespace

int main() {
  std::printf("| gems and bonuses | both files | kept after the load | peak while loading |\n|---|---|---|---|\n");
  for (int gems : {1000, 10000, 100000}) {
    const std::string folder = MakeBenchFolder();
    Measure(folder, gems, WriteConfig(folder, gems));
  }
  return 0;
}
