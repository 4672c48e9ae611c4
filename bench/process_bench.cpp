// Whole processes side by side: a command-line build against the least a
// safe rewrite can do (minimal_rewrite, plain C), with and without keeping a
// backup first as a build does, on character files of 4 KB, 1 MB and 10 MB.
// Each round runs the three on the same file, in rotating order; each build
// finds new bytes, so it keeps a new backup, as a real first build of the
// day does. Reports medians of wall and CPU time, the flushes to disk each
// made and peak memory. The flushes are counted in one run of each before
// the timed ones, with the flush_count module preloaded; the timed runs go
// without it (its loading would add the same to each and hide the ratios).
//
//   process_bench [ROUNDS [CLI]]  (default 15 rounds; CLI: another build of
//                                  brindlemarque-cli to time, an older one say)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench_support.h"

namespace {

struct Run {
  double wallMs = 0, cpuMs = 0, peakMiB = 0;
  int flushes = 0;
};

double Ms(const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; }

// Runs `argv`, with the flush counter preloaded when `flushLog` is given;
// exits on a failed run.
Run RunProcess(const std::vector<std::string>& argv, const std::string& flushLog = {}) {
  if (!flushLog.empty()) std::remove(flushLog.c_str());
  std::fflush(stdout);  // not written twice by the child
  auto start = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid == 0) {
    if (!flushLog.empty()) {
      ::setenv("LD_PRELOAD", FLUSH_COUNT_MODULE, 1);
      ::setenv("BENCH_FLUSH_LOG", flushLog.c_str(), 1);
    }
    if (!std::freopen("/dev/null", "w", stdout)) _exit(127);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  Run run;
  run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n", argv[0].c_str(), status);
    std::exit(1);
  }
  run.cpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
  run.peakMiB = usage.ru_maxrss / 1024.0;
  if (!flushLog.empty()) std::ifstream(flushLog) >> run.flushes;
  return run;
}

// Writes the round's character file from a child process: the benchmark
// itself stays small, since a child's peak memory counts what it inherited
// from the process that forked it.
void WriteRoundFile(const std::string& path, std::size_t size, int round) {
  std::fflush(stdout);
  pid_t pid = ::fork();
  if (pid == 0) {
    WriteBenchFile(path, MakeCharacterFile(size) + "; round " + std::to_string(round) + "\r\n");
    _exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  // A file the game saved a while ago: its change time (which dating it
  // back cannot set) well before the run too.
  ::usleep(200000);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Series {
  std::vector<Run> runs;
  double Wall() const { return Median(Of(&Run::wallMs)); }
  double Cpu() const { return Median(Of(&Run::cpuMs)); }
  double Peak() const { return Median(Of(&Run::peakMiB)); }
  int flushes = 0;
  std::vector<double> Of(double Run::*field) const {
    std::vector<double> v;
    for (const Run& r : runs) v.push_back(r.*field);
    return v;
  }
};

// "a / b / c" of one measure, with the first's ratios to the others.
void PrintMeasure(double build, double plain, double kept, const char* unit) {
  std::printf(" %.1f %s / %.1f %s / %.1f %s (%.2f x / %.2f x) |", build, unit, plain, unit, kept, unit, build / plain,
              build / kept);
}

void Compare(const char* label, std::size_t size, int rounds, const std::string& cli) {
  const std::string folder = MakeBenchFolder();  // backups go under it too
  const std::string character = folder + "/Bench-4.ini", flushLog = folder + "/flushes";
  const std::string vesko = std::string(EXAMPLES_DIR) + "/vesko", kept = folder + "/kept";
  ::mkdir(kept.c_str(), 0755);
  const std::vector<std::vector<std::string>> programs = {
      {cli, "build", "--template", vesko + "/templates/Alarion_Armsman.vsk", "--character", character,
       "--config-dir", vesko},
      {MINIMAL_REWRITE_PROGRAM, character},
      {MINIMAL_REWRITE_PROGRAM, "--backup", kept, character}};
  Series series[3];
  for (int which = 0; which < 3; ++which) {
    WriteRoundFile(character, size, -1 - which);
    series[which].flushes = RunProcess(programs[which], flushLog).flushes;
  }
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 3; ++turn) {
      const int which = (round + turn) % 3;
      WriteRoundFile(character, size, round * 3 + turn);  // new bytes each time: the build keeps a new backup
      series[which].runs.push_back(RunProcess(programs[which]));
    }
  }
  const double fileMiB = static_cast<double>(size) / (1024 * 1024);
  std::printf("| %s |", label);
  PrintMeasure(series[0].Wall(), series[1].Wall(), series[2].Wall(), "ms");
  PrintMeasure(series[0].Cpu(), series[1].Cpu(), series[2].Cpu(), "ms");
  std::printf(" %d / %d / %d |", series[0].flushes, series[1].flushes, series[2].flushes);
  std::printf(" %.1f MiB / %.1f MiB / %.1f MiB (limit %.1f MiB) |\n", series[0].Peak(), series[1].Peak(),
              series[2].Peak(), 2 * fileMiB + 5);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  if (rounds < 1) rounds = 15;
  const std::string cli = argc > 2 ? argv[2] : CLI_PROGRAM;
  std::printf("| character file | wall: build / plain / plain with backup | CPU: build / plain / plain with backup | "
              "flushes | peak memory (limit: 2 x the file + 5 MiB) |\n");
  std::printf("|---|---|---|---|---|\n");
  Compare("4 KB", 4 * 1024, rounds, cli);
  Compare("1 MB", 1u << 20, rounds, cli);
  Compare("10 MB", 10u << 20, rounds, cli);
  return 0;
}
