// Listing a folder of 1,000 character files of 30 KB (a tenth of them
// spellcrafters) against reading the same files once with cat.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench_support.h"
#include "character_files.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    std::string f = MakeBenchFolder();
    std::string plain = MakeCharacterFile(30 * 1024);
    std::string crafter = plain;
    crafter.insert(crafter.find("[Quickbar2]"), "Hotkey_99=44,13,,-1\r\n");
    for (int i = 0; i < 1000; ++i)
      WriteBenchFile(f + "/Char" + std::to_string(i) + "-" + std::to_string(3 + i % 17) + ".ini",
                     i % 10 == 0 ? crafter : plain);
    return f;
  }();
  return folder;
}

void BM_CatAllFiles(benchmark::State& state) {
  std::string cmd = "cat '" + Folder() + "'/*.ini > /dev/null";
  for (auto _ : state)
    if (std::system(cmd.c_str()) != 0) state.SkipWithError("cat failed");
}

void BM_ListCharacterFiles(benchmark::State& state) {
  std::size_t crafters = 0;
  for (auto _ : state) {
    CharacterFileList list = ListCharacterFiles(Folder());
    crafters = 0;
    for (bool b : list.spellcrafterFlags) crafters += b;
  }
  if (crafters != 100) state.SkipWithError("wrong number of spellcrafters");
}

}  // namespace

BENCHMARK(BM_CatAllFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListCharacterFiles)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
