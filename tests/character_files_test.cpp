// Character file names, server names, the character folder, listing and the spellcrafter mark.
#include "character_files.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "paths.h"
#include "wine_prefixes.h"
#include "test_support.h"

namespace {

void MakeFolder(const std::string& path) { std::filesystem::create_directories(FsPath(path)); }

// `folder` and the names below it, joined as the program joins them.
std::string Below(std::string folder, std::initializer_list<const char*> names) {
  for (const char* name : names) folder = JoinPath(folder, name);
  return folder;
}

}  // namespace

TEST(ServerNumberOf, ReadsBehindTheLastHyphen) {
  EXPECT_EQ(ServerNumberOf("Morwen-4.ini"), 4);
  EXPECT_EQ(ServerNumberOf("Morwen-04.ini"), 4);
  EXPECT_EQ(ServerNumberOf("Morwen-.ini"), 0);
  EXPECT_EQ(ServerNumberOf("Morwen.ini"), 0);
  EXPECT_EQ(ServerNumberOf("12.ini"), 12);
  EXPECT_EQ(ServerNumberOf("Anne-Marie-3.ini"), 3);
  EXPECT_EQ(ServerNumberOf("x-99999999999.ini"), 2147483647);
}

TEST(ServerName, TableThenDecimalText) {
  const std::vector<std::pair<int, std::string>> table = {
      {3, "Avalon"},   {4, "Lyonesse"}, {7, "Stonehenge"},   {8, "Logres"},   {11, "Camlann"},
      {12, "Dartmoor"}, {18, "Glastonbury"}, {19, "Salisbury"}, {0, "0"},    {5, "5"},
      {-2, "-2"},       {1, "1"},        {20, "20"}};
  for (const auto& [number, name] : table) EXPECT_EQ(ServerName(number), name) << number;
}

TEST(CharacterDisplayText, ExamplesOfTheNamingScheme) {
  const std::vector<std::pair<std::string, std::string>> table = {
      {"C:\\Games\\Morwen-4.ini", "Morwen - Lyonesse"},
      {"C:\\Games\\Morwen-19.INI", "Morwen - Salisbury"},
      {"C:\\Games\\Morwen-5.ini", "Morwen - 5"},
      {"C:\\Games\\", "<keiner>"},
      {"", "<keiner>"},
      {"Morwen.ini", "Morwen - 0"},
      {"C:\\Games\\Anne-Marie-3.ini", "Anne-Marie - Avalon"},
      {"C:\\Games\\-3.ini", "-3 - Avalon"},
      {"C:\\Games\\12.ini", "12 - Dartmoor"},
      {"/home/p/.wine/LotM/Morwen_the_Red-8.ini", "Morwen_the_Red - Logres"},
      {"/home/p/chars/", "<keiner>"},
      {"/home/we\\ird/Gr\xfcn-4.ini", "ird/Gr\xfcn - Lyonesse"},  // a backslash decides before any slash
  };
  for (const auto& [path, text] : table) EXPECT_EQ(CharacterDisplayText(path), text) << path;
}

// The name as the character field shows it: up to the last hyphen.
TEST(CharacterListEntry, CutsTheNameWhereTheServerBegins) {
  EXPECT_EQ(CharacterListEntry("Morwen-4.ini"), "Lyonesse - Morwen (Morwen-4.ini)");
  EXPECT_EQ(CharacterListEntry("Morwen-19.ini"), "Salisbury - Morwen (Morwen-19.ini)");
  EXPECT_EQ(CharacterListEntry("Aldric-5.ini"), "5 - Aldric (Aldric-5.ini)");
  EXPECT_EQ(CharacterListEntry("Anne-Marie-3.ini"), "Avalon - Anne-Marie (Anne-Marie-3.ini)");
  EXPECT_EQ(CharacterListEntry("12.ini"), "Dartmoor -  (12.ini)");
}

TEST(FindCharacterFolder, AKnownPathKeepsItsFolderEvenWhenGone) {
  EXPECT_EQ(FindCharacterFolder("D:\\Chars\\Morwen-4.ini"), "D:\\Chars");
  EXPECT_EQ(FindCharacterFolder("/no/such/folder/Morwen-4.ini"), "/no/such/folder");
  // A file in the root folder has no folder before its separator: the game's folder, as for none.
  ScopedEnv env;
  env.Set("APPDATA", "/appdata");
  EXPECT_EQ(FindCharacterFolder("/Morwen-4.ini", {}), Below("/appdata", {"Electronic Arts", "Dark Age of Camelot"}));
  EXPECT_EQ(FindCharacterFolder("\\Morwen-4.ini", {}), FindCharacterFolder("", {}));
}

TEST(FindCharacterFolder, SearchesTheGameFoldersInOrder) {
  TempDir dir;
  ScopedEnv env;
  env.Set("APPDATA", dir.path().c_str());
  std::string base = Below(dir.path(), {"Electronic Arts", "Dark Age of Camelot"});
  EXPECT_EQ(FindCharacterFolder(""), base);  // none exists, not even the base
  EXPECT_EQ(FindCharacterFolder("Morwen-4.ini"), base);
  MakeFolder(base + "/Catacombs");
  MakeFolder(base + "/DR");
  EXPECT_EQ(FindCharacterFolder(""), Below(base, {"DR"}));
  MakeFolder(base + "/TOA");
  MakeFolder(base + "/LotM");
  EXPECT_EQ(FindCharacterFolder(""), Below(base, {"LotM"}));
  std::string longValue(5000, 'a');
  env.Set("APPDATA", longValue.c_str());  // no buffer to overflow: used as it is
  EXPECT_EQ(FindCharacterFolder(""), Below(longValue, {"Electronic Arts", "Dark Age of Camelot"}));
}

#ifndef _WIN32
TEST(FindCharacterFolder, WithoutAppDataUsesTheWinePrefix) {
  TempDir dir;
  ScopedEnv env;
  env.Set("APPDATA", std::nullopt);
  env.Set("WINEPREFIX", dir.path().c_str());
  env.Set("USER", "morwen");
  std::string roaming = dir.path() + "/drive_c/users/morwen/AppData/Roaming";
  EXPECT_EQ(FindCharacterFolder(""), roaming + "/Electronic Arts/Dark Age of Camelot");
  MakeFolder(dir.path() + "/drive_c/users/morwen/Application Data/Electronic Arts/Dark Age of Camelot/TOA");
  EXPECT_EQ(FindCharacterFolder(""),
            dir.path() + "/drive_c/users/morwen/Application Data/Electronic Arts/Dark Age of Camelot/TOA");
  env.Set("APPDATA", "");
  env.Set("WINEPREFIX", std::nullopt);
  env.Set("HOME", dir.path().c_str());
  EXPECT_EQ(FindCharacterFolder(""),
            dir.path() + "/.wine/drive_c/users/morwen/AppData/Roaming/Electronic Arts/Dark Age of Camelot");
}
#endif

#ifndef _WIN32
// One prefix of each launcher in a fake home, each holding the game where
// Wine keeps it; places that hold no prefix, or a prefix without the game,
// give nothing.
TEST(FindGameFolders, FindsThePrefixesOfEveryLauncher) {
  TempDir home;
  ScopedEnv env;
  for (const char* name : {"APPDATA", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) env.Set(name, std::nullopt);
  env.Set("HOME", home.path().c_str());
  env.Set("USER", "anna");
  const std::string h = home.path();
  auto game = [](const std::string& prefix, const char* user, const char* roaming, const char* sub) {
    std::string folder = prefix + "/drive_c/users/" + user + "/" + roaming + "/Electronic Arts/Dark Age of Camelot";
    MakeFolder(folder + sub);
    return folder + sub;
  };
  const std::string wineprefix = h + "/daoc-wine";
  env.Set("WINEPREFIX", wineprefix.c_str());
  // The older Wine's folder and today's in one prefix; a second user.
  std::vector<std::pair<std::string, std::string>> expected = {
      {"Wine ($WINEPREFIX) \xE2\x80\x93 LotM", game(wineprefix, "anna", "AppData/Roaming", "/LotM")},
      {"Wine ($WINEPREFIX) \xE2\x80\x93 DR", game(wineprefix, "anna", "Application Data", "/DR")},
      {"Wine ($WINEPREFIX)", game(wineprefix, "bert", "AppData/Roaming", "")},
      {"Wine (~/.wine) \xE2\x80\x93 LotM", game(h + "/.wine", "anna", "AppData/Roaming", "/LotM")}};
  std::string lutris = h + "/lutris prefixes/dark-age";  // named in Lutris's game file, quoted
  MakeFolder(h + "/.config/lutris/games");
  WriteFile(h + "/.config/lutris/games/dark-age-of-camelot-1701234567.yml",
            "game:\n  exe: x.exe\n  prefix: '" + lutris + "'\nwine:\n  version: lutris-GE\n");
  expected.push_back({"Lutris (dark-age-of-camelot) \xE2\x80\x93 LotM", game(lutris, "anna", "AppData/Roaming", "/LotM")});
  expected.push_back({"Lutris (daoc) \xE2\x80\x93 TOA", game(h + "/Games/daoc", "anna", "AppData/Roaming", "/TOA")});
  // Native Steam with a second library (listed by libraryfolders.vdf, an
  // escaped name), reached also through ~/.steam/steam; Flatpak Steam.
  std::string steam = h + "/.local/share/Steam", library = h + "/big \"disk\"/SteamLibrary";
  MakeFolder(steam + "/steamapps");
  WriteFile(steam + "/steamapps/libraryfolders.vdf",
            "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam + "\"\n\t}\n\t\"1\"\n\t{\n"
            "\t\t\"path\"\t\t\"" + h + "/big \\\"disk\\\"/SteamLibrary\"\n\t\t\"apps\"\t{ }\n\t}\n}\n");
  MakeFolder(steam + "/steamapps/compatdata/228980/pfx/drive_c");  // a prefix without the game
  expected.push_back({"Steam (Proton 3141592653) \xE2\x80\x93 LotM",
                      game(library + "/steamapps/compatdata/3141592653/pfx", "steamuser", "AppData/Roaming", "/LotM")});
  MakeFolder(h + "/.steam");
  std::filesystem::create_directory_symlink(steam, h + "/.steam/steam");
  expected.push_back({"Steam Flatpak (Proton 4000000000) \xE2\x80\x93 LotM",
                      game(h + "/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/compatdata/4000000000/pfx",
                           "steamuser", "AppData/Roaming", "/LotM")});
  expected.push_back({"Bottles (Camelot) \xE2\x80\x93 LotM",
                      game(h + "/.local/share/bottles/bottles/Camelot", "anna", "AppData/Roaming", "/LotM")});
  expected.push_back({"Bottles Flatpak (DAoC) \xE2\x80\x93 LotM",
                      game(h + "/.var/app/com.usebottles.bottles/data/bottles/bottles/DAoC", "anna", "AppData/Roaming", "/LotM")});
  // Heroic: its older flat prefixes, the newer "default" level, and one named in GamesConfig.
  expected.push_back({"Heroic (Camelot) \xE2\x80\x93 LotM", game(h + "/Games/Heroic/Prefixes/Camelot", "anna", "AppData/Roaming", "/LotM")});
  expected.push_back({"Heroic (DAoC) \xE2\x80\x93 LotM", game(h + "/Games/Heroic/Prefixes/default/DAoC", "anna", "AppData/Roaming", "/LotM")});
  MakeFolder(h + "/.config/heroic/GamesConfig");
  WriteFile(h + "/.config/heroic/GamesConfig/aB3x.json",
            "{\n  \"aB3x\": {\n    \"winePrefix\" : \"" + h + "\\/heroic-daoc\",\n    \"wineVersion\": {}\n  }\n}\n");
  expected.push_back({"Heroic (heroic-daoc) \xE2\x80\x93 LotM", game(h + "/heroic-daoc", "anna", "AppData/Roaming", "/LotM")});
  expected.push_back({"PlayOnLinux (DAoC) \xE2\x80\x93 LotM", game(h + "/.PlayOnLinux/wineprefix/DAoC", "anna", "AppData/Roaming", "/LotM")});
  expected.push_back({"CrossOver (DAoC) \xE2\x80\x93 LotM", game(h + "/.cxoffice/DAoC", "crossover", "AppData/Roaming", "/LotM")});
  // A ~/Games folder that is no prefix.
  MakeFolder(h + "/Games/notes/drive_d");

  std::vector<std::pair<std::string, std::string>> found;
  for (const GameFolder& folder : FindGameFolders()) found.push_back({folder.label, folder.path});
  EXPECT_EQ(found, expected);
  EXPECT_EQ(FindCharacterFolder(""), expected.front().second);
  EXPECT_EQ(FindCharacterFolder("", {}), wineprefix + "/drive_c/users/anna/AppData/Roaming/Electronic Arts/Dark Age of Camelot");
}

// A hostile home: thousands of entries beside the one prefix, thousands of
// Proton prefixes sorting before the game's, launcher files naming a path
// with a NUL byte (cut there, it would name the root) or a DEL, a Steam
// library given relative to wherever the program runs, and more libraries
// than are looked at.
TEST(FindGameFolders, ManyEntriesOddPathsAndRelativeLibrariesHideNothingAndAddNothing) {
  TempDir home;
  ScopedEnv env;
  for (const char* name : {"APPDATA", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "WINEPREFIX"}) env.Set(name, std::nullopt);
  env.Set("HOME", home.path().c_str());
  const std::string h = home.path();
  for (int i = 0; i < 3000; ++i) MakeFolder(h + "/Games/game " + std::to_string(1000 + i));
  MakeFolder(h + "/Games/zz-daoc/drive_c/users/anna/AppData/Roaming/Electronic Arts/Dark Age of Camelot/LotM");
  MakeFolder(h + "/.config/lutris/games");
  const char evil[] = "game:\n  prefix: \"/\0/x\"\n";
  WriteFile(h + "/.config/lutris/games/evil-1.yml", std::string(evil, sizeof evil - 1));
  const std::string withDel = h + "/odd\x7Fname";
  WriteFile(h + "/.config/lutris/games/del-1.yml", "game:\n  prefix: " + withDel + "\n");
  MakeFolder(withDel + "/drive_c/users/anna/AppData/Roaming/Electronic Arts/Dark Age of Camelot");
  const std::string steam = h + "/.local/share/Steam", compat = steam + "/steamapps/compatdata";
  for (int id = 100001; id <= 105000; ++id) MakeFolder(compat + "/" + std::to_string(id) + "/pfx/drive_c");
  MakeFolder(compat + "/2213460/pfx/drive_c/users/steamuser/AppData/Roaming/Electronic Arts/Dark Age of Camelot");
  // A library "rel", relative: taken in the current folder, it would find
  // this prefix; then 64 libraries, of which the installation's own and
  // the first 63 are looked at.
  std::string vdf = "\"libraryfolders\"\n{\n\t\"1\"\n\t{\n\t\t\"path\"\t\"rel\"\n\t}\n";
  for (int library = 1; library <= 64; ++library)
    vdf += "\t\"" + std::to_string(library + 1) + "\"\n\t{\n\t\t\"path\"\t\"" + h + "/lib" + std::to_string(library) + "\"\n\t}\n";
  WriteFile(steam + "/steamapps/libraryfolders.vdf", vdf + "}\n");
  for (int library : {63, 64})
    MakeFolder(h + "/lib" + std::to_string(library) + "/steamapps/compatdata/" + std::to_string(library) +
               "/pfx/drive_c/users/steamuser/AppData/Roaming/Electronic Arts/Dark Age of Camelot");
  MakeFolder(h + "/rel/steamapps/compatdata/77/pfx/drive_c/users/anna/AppData/Roaming/Electronic Arts/Dark Age of Camelot");
  const std::string cwd = std::filesystem::current_path().string();
  std::filesystem::current_path(h);
  std::vector<std::string> labels;
  for (const GameFolder& folder : FindGameFolders()) labels.push_back(folder.label);
  std::filesystem::current_path(cwd);
  EXPECT_EQ(labels, (std::vector<std::string>{"Lutris (zz-daoc) \xE2\x80\x93 LotM", "Steam (Proton 2213460)",
                                              "Steam (Proton 63)"}));
}
#endif

#ifndef _WIN32
// Launchers' files naming one prefix 15,000 times (Lutris's and Heroic's),
// and Steam listing one library again and again: each folder is looked at
// once, and found once.
TEST(FindWinePrefixes, EachFolderIsLookedAtOnceHoweverOftenItIsNamed) {
  TempDir home;
  ScopedEnv env;
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "WINEPREFIX"}) env.Set(name, std::nullopt);
  const std::string h = home.path(), prefix = h + "/daoc", library = h + "/lib";
  MakeFolder(prefix + "/drive_c");
  MakeFolder(library + "/steamapps/compatdata/1/pfx/drive_c");
  std::string lutris = "game:\n", heroic = "{", vdf = "\"libraryfolders\"\n{\n";
  for (int i = 0; i < 15000; ++i) {
    lutris += "  prefix: " + prefix + "\n";
    heroic += "\"winePrefix\": \"" + prefix + "\",";
    if (i < 100) vdf += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\"" + library + "\"\n\t}\n";
  }
  MakeFolder(h + "/.config/lutris/games");
  WriteFile(h + "/.config/lutris/games/daoc-1.yml", lutris);
  MakeFolder(h + "/.config/heroic/GamesConfig");
  WriteFile(h + "/.config/heroic/GamesConfig/x.json", heroic + "}");
  MakeFolder(h + "/.local/share/Steam/steamapps");
  WriteFile(h + "/.local/share/Steam/steamapps/libraryfolders.vdf", vdf + "}\n");
  std::map<std::string, int> asked;
  std::vector<std::string> labels;
  for (const WinePrefix& found : FindWinePrefixes(h, [&](const std::string& path) { return ++asked[path] > 0; }))
    labels.push_back(found.label);
  for (const auto& [path, times] : asked) EXPECT_EQ(times, 1) << path;
  EXPECT_EQ(labels, (std::vector<std::string>{"Lutris (daoc)", "Steam (Proton 1)"}));
}
#endif

TEST(IsSpellcrafterFile, OnlyTheFirstMarkDecides) {
  TempDir dir;
  const std::vector<std::pair<std::string, bool>> cases = {
      {"[Quickbar]\r\nHotkey_12=44,13,0\r\n", true},
      {"[Quickbar]\r\nhotkey_12=44,13,0", true},
      {"[Quickbar]\r\n Hotkey_12=44,13,0\r\n", false},
      {"[Chat]\r\nLast=44,13,\r\n[Quickbar]\r\nHotkey_1=44,13,\r\n", false},
      {"44,13,", false},
      {"Hotkey_44,13,", true},
      {"[Quickbar]\nHotkey_3=45,1344,13,\n", true},
      {std::string("[Quickbar]\r\n\0Hotkey_1=44,13,\r\n", 30), false},
      {"", false},
      {"[Quickbar]\r\nHotkey_1=44,13\r\n", false},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    std::string f = dir.file("c" + std::to_string(i) + "-4.ini");
    WriteFile(f, cases[i].first);
    EXPECT_EQ(IsSpellcrafterFile(f), cases[i].second) << i;
  }
  EXPECT_FALSE(IsSpellcrafterFile(dir.file("missing-4.ini")));
  EXPECT_FALSE(IsSpellcrafterFile(dir.path()));
}

TEST(IsSpellcrafterFile, FindsTheMarkAcrossChunkBordersOfLargeFiles) {
  TempDir dir;
  std::string filler = "[Chat]\r\n";
  while (filler.size() < 3 * 65536) filler += "ChatFilter=1,0,1,1,0,0,1,1\r\n";
  for (std::size_t shift = 0; shift < 12; ++shift) {
    // The key line straddles the 64 KiB border at a different byte each time.
    std::string head = filler.substr(0, 65536 - shift - 6) + "\n";
    std::string f = dir.file("big-4.ini");
    WriteFile(f, head + "Hotkey_7=44,13,,-1\r\n");
    EXPECT_TRUE(IsSpellcrafterFile(f)) << shift;
    WriteFile(f, head + "Other_7=44,13,,-1\r\n");
    EXPECT_FALSE(IsSpellcrafterFile(f)) << shift;
  }
  std::string f = dir.file("long-4.ini");
  WriteFile(f, "Hotkey_7=" + std::string(200000, 'x') + "44,13,");
  EXPECT_TRUE(IsSpellcrafterFile(f));
#ifndef _WIN32
  std::string fifo = dir.file("fifo-4.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_FALSE(IsSpellcrafterFile(fifo));
#endif
}

TEST(ListCharacterFiles, AcceptsPositiveServersInEnumerationOrder) {
  TempDir dir;
  for (std::string name : {"Morwen-4.ini", "Morwen-0.ini", "Morwen-.ini", "Morwen.ini", "12.ini", "-3.ini",
                           "Loud-8.INI", "notes.txt", "Neg-x.ini"})
    WriteFile(dir.file(name), name == "Loud-8.INI" ? "[Quickbar]\r\nHotkey_0=44,13,,-1\r\n" : "");
  MakeFolder(dir.file("Folder-7.ini"));
#ifndef _WIN32
  // Listed, but cannot be opened for any user (root too): a link to nothing.
  ASSERT_EQ(::symlink("no-such-file", dir.file("Locked-11.ini").c_str()), 0);
#endif

  CharacterFileList list = ListCharacterFiles(dir.path());
  ASSERT_EQ(list.fileNames.size(), list.spellcrafterFlags.size());
  std::vector<std::string> expectedOrder;
  for (auto& e : std::filesystem::directory_iterator(FsPath(dir.path()))) {
    std::string n = PathText(e.path().filename());
    if (n != "Morwen-0.ini" && n != "Morwen-.ini" && n != "Morwen.ini" && n != "notes.txt" && n != "Neg-x.ini")
      expectedOrder.push_back(n);
  }
  EXPECT_EQ(list.fileNames, expectedOrder);
  for (std::size_t i = 0; i < list.fileNames.size(); ++i) {
    bool expected = list.fileNames[i] == "Loud-8.INI";
    EXPECT_EQ(list.spellcrafterFlags[i], expected) << list.fileNames[i];
  }
  EXPECT_TRUE(ListCharacterFiles(dir.file("missing")).fileNames.empty());
}

#ifndef _WIN32
TEST(ListCharacterFiles, AnEmptyFolderListsNothingNotTheRoot) {
  CharacterFileList list = ListCharacterFiles("");
  EXPECT_EQ(list.error.Text(), "no folder known");  // the root was not listed
  EXPECT_TRUE(list.fileNames.empty());
  EXPECT_EQ(JoinPath("/", "Morwen-4.ini"), "/Morwen-4.ini");
}
#endif

TEST(ListCharacterFiles, ListsTheSampleFolder) {
  CharacterFileList list = ListCharacterFiles(std::string(EXAMPLES_DIR) + "/appdata/Electronic Arts/Dark Age of Camelot/LotM");
  std::vector<std::string> crafters;
  for (std::size_t i = 0; i < list.fileNames.size(); ++i)
    if (list.spellcrafterFlags[i]) crafters.push_back(list.fileNames[i]);
  std::sort(crafters.begin(), crafters.end());
  EXPECT_EQ(list.fileNames.size(), 5u);
  EXPECT_EQ(crafters, (std::vector<std::string>{"Alarion-4.ini", "Anne-Marie-3.ini", "Brunhild-8.ini"}));
}
