// Looking for the game's client among the machine's processes, as the
// window does before every write: on the machine as it is, and with a
// thousand more processes running (idle children of the benchmark).
#include <benchmark/benchmark.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "game_process.h"

namespace {

// `count` idle child processes, ended with the benchmark.
class IdleChildren {
 public:
  explicit IdleChildren(int count) {
    for (int i = 0; i < count; ++i) {
      pid_t pid = ::fork();
      if (pid == 0) {
        ::pause();
        ::_exit(0);
      }
      if (pid > 0) m_pids.push_back(pid);
    }
  }
  ~IdleChildren() {
    for (pid_t pid : m_pids) ::kill(pid, SIGKILL);
    for (pid_t pid : m_pids) ::waitpid(pid, nullptr, 0);
  }
  std::size_t Count() const { return m_pids.size(); }

 private:
  std::vector<pid_t> m_pids;
};

void BM_FindGameProcesses(benchmark::State& state) {
  IdleChildren children(static_cast<int>(state.range(0)));
  if (children.Count() != static_cast<std::size_t>(state.range(0))) state.SkipWithError("cannot start the processes");
  for (auto _ : state) benchmark::DoNotOptimize(FindGameProcesses());
  state.counters["extra processes"] = static_cast<double>(children.Count());
}
BENCHMARK(BM_FindGameProcesses)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
