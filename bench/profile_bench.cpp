// One read, one write and one delete on a 64 KB character file, against a
// plain read-and-rewrite of the same file with the same atomic replacement.
#include <benchmark/benchmark.h>

#include "profile_calls.h"
#include "bench_support.h"
#include "file_read.h"
#include "file_replace.h"
#include "ini_document.h"

namespace {

struct BenchFile {
  std::string path;
  BenchFile() {
    path = MakeBenchFolder() + "/character.ini";
    WriteBenchFile(path, MakeCharacterFile(64 * 1024));
  }
};

const BenchFile& File() {
  static BenchFile file;
  return file;
}

void BM_PlainReadAndRewrite(benchmark::State& state) {
  std::string bytes;
  for (auto _ : state) {
    ReadFileBytes(File().path, bytes);
    benchmark::DoNotOptimize(ReplaceFileAtomically(File().path, bytes));
  }
}

void BM_Read(benchmark::State& state) {
  std::string value;
  for (auto _ : state) benchmark::DoNotOptimize(ReadProfileString(File().path, "Quickbar2", "Hotkey_51", value, 1024));
}

// Each change meets a file saved a while ago (one saved just now is waited
// for until it is quiet, as the game's own saves are).
void AgeFile(benchmark::State& state) {
  state.PauseTiming();
  AgeBenchFile(File().path);
  state.ResumeTiming();
}

void BM_Write(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    AgeFile(state);
    benchmark::DoNotOptimize(WriteProfileString(File().path, "Quickbar2", "Hotkey_51", (++i % 2) ? "45,1,,-1" : "45,2,,-1"));
  }
}

void BM_Delete(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    // Deletes alternate with writes of the same key, so each delete removes a line.
    state.PauseTiming();
    AgeBenchFile(File().path);
    WriteProfileString(File().path, "Quickbar3", "Hotkey_50", "45," + std::to_string(++i) + ",,-1");
    AgeBenchFile(File().path);
    state.ResumeTiming();
    benchmark::DoNotOptimize(DeleteProfileKey(File().path, "Quickbar3", "Hotkey_50"));
  }
}

}  // namespace

BENCHMARK(BM_PlainReadAndRewrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Read)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Write)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Delete)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
