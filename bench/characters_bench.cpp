// Listing a folder of 1,000 character files of 30 KB (a tenth of them
// spellcrafters) against reading the same files once with cat; looking for
// the game's folders in a home full of launchers' prefixes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

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

// A player's home with many games: 300 Proton prefixes in two Steam
// libraries, 50 Lutris games, 20 bottles; the game in one prefix of each.
void BM_FindGameFolders(benchmark::State& state) {
  std::string home = MakeBenchFolder();  // its "data" folder is XDG_DATA_HOME
  ::setenv("HOME", home.c_str(), 1);
  ::unsetenv("WINEPREFIX");
  ::unsetenv("APPDATA");
  auto prefix = [](const std::string& path, bool withGame) {
    std::string users = path + "/drive_c/users/player/AppData/Roaming";
    std::filesystem::create_directories(withGame ? users + "/Electronic Arts/Dark Age of Camelot/LotM" : users);
  };
  std::string steam = home + "/data/Steam", library = home + "/library";
  std::filesystem::create_directories(steam + "/steamapps");
  WriteBenchFile(steam + "/steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"1\" { \"path\" \"" + library + "\" } }");
  for (int i = 0; i < 300; ++i)
    prefix((i % 2 ? steam : library) + "/steamapps/compatdata/" + std::to_string(1000 + i) + "/pfx", i == 150);
  std::filesystem::create_directories(home + "/.config/lutris/games");
  for (int i = 0; i < 50; ++i) {
    std::string game = home + "/Games/game" + std::to_string(i);
    WriteBenchFile(home + "/.config/lutris/games/game" + std::to_string(i) + "-1701234567.yml",
                   "game:\n  exe: game.exe\n  prefix: " + game + "\nwine:\n  version: lutris\n");
    prefix(game, i == 25);
  }
  for (int i = 0; i < 20; ++i) prefix(home + "/data/bottles/bottles/bottle" + std::to_string(i), i == 10);
  std::size_t found = 0;
  for (auto _ : state) found = FindGameFolders().size();
  if (found != 3) state.SkipWithError("wrong number of game folders");
}

}  // namespace

BENCHMARK(BM_FindGameFolders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatAllFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListCharacterFiles)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
