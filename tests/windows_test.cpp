// What only Windows has: paths beyond 260 characters, a character folder with a
// non-ASCII letter under %APPDATA%, and files the game holds for a moment.
// (Every temporary folder of the tests on Windows has a "ü" in its name.)
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <windows.h>

#include "profile_calls.h"
#include "backups.h"
#include "build_context.h"
#include "build_run.h"
#include "character_files.h"
#include "paths.h"
#include "save_points.h"
#include "character_file_session.h"
#include "file_read.h"
#include "file_replace.h"
#include "config_files.h"
#include "test_support.h"

namespace {

const std::string kExamples = EXAMPLES_DIR;

// A folder path of over 300 characters below `base`, made.
std::string LongFolder(const std::string& base) {
  std::string folder = base + "\\" + std::string(120, 'a') + "\\R\xc3\xbcstung " + std::string(100, 'b') + "\\" +
                       std::string(80, 'c');
  std::filesystem::create_directories(FsPath(folder));
  return folder;
}

// Holds `path` open without sharing from now until `ms` milliseconds have passed.
std::thread HoldExclusively(const std::string& path, int ms) {
  HANDLE held = ::CreateFileW(WideText(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(held, INVALID_HANDLE_VALUE);
  return std::thread([held, ms] {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    ::CloseHandle(held);
  });
}

}  // namespace

TEST(WindowsPaths, LongAndNonAsciiPathsWorkForEveryFile) {
  TempDir dir;
  const std::string folder = LongFolder(dir.path());
  ASSERT_GT(folder.size(), 300u);
  const std::string character = JoinPath(folder, "M\xc3\xb6rwen-4.ini"), templ = JoinPath(folder, "Gr\xc3\xbcn.vsk");
  WriteFile(character, ReadFile(kExamples + "/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini"));
  WriteFile(templ, ReadFile(kExamples + "/vesko/templates/Alarion_Armsman.vsk"));

  RecordingSink sink;
  BuildContext context;
  context.waits = TestWaits();
  ASSERT_TRUE(sink.LoadConfig(context, kExamples + "/vesko"));
  context.job.templatePath = templ;
  context.job.characterPath = character;
  EXPECT_TRUE(sink.Build(context)) << (sink.messages.empty() ? "" : sink.messages[0]);
  EXPECT_EQ(ReadFile(character), ReadFile(DataPath("expected/Alarion-4.forward.ini")));

  CharacterFileList list = ListCharacterFiles(folder);
  ASSERT_EQ(list.fileNames, std::vector<std::string>{"M\xc3\xb6rwen-4.ini"}) << list.error.Text();
  EXPECT_TRUE(list.spellcrafterFlags[0]);
  EXPECT_EQ(CharacterDisplayText(character), "M\xc3\xb6rwen - Lyonesse");
}

TEST(WindowsPaths, TheGameFolderUnderAnAppDataWithAnUmlaut) {
  TempDir dir;
  const std::string appData = dir.path() + "/Zo\xc3\xab M\xc3\xbcller/AppData/Roaming";
  const std::string lotm = appData + "/Electronic Arts/Dark Age of Camelot/LotM";
  std::filesystem::create_directories(FsPath(lotm));
  WriteFile(lotm + "/Brunhild-8.ini", "[Quickbar]\r\nHotkey_0=44,13,,-1\r\n");
  std::string found;
  {
    ScopedEnv env;
    env.Set("APPDATA", appData);
    found = FindCharacterFolder("");
  }
  EXPECT_EQ(FsPath(found), FsPath(lotm));
  EXPECT_EQ(ListCharacterFiles(found).fileNames, std::vector<std::string>{"Brunhild-8.ini"});

  // The command line sees the same folder and names it in UTF-8.
  ProgramResult listed = RunProgram({CLI_PATH, "characters"}, dir.path(), {{"APPDATA", appData}});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_NE(listed.out.find("Zo\xc3\xab M\xc3\xbcller"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("Brunhild-8.ini"), std::string::npos) << listed.out;
}

TEST(WindowsPaths, ASaveWaitsForAFileHeldForAMomentAndFailsClearlyAfterThat) {
  TempDir dir;
  const std::string f = dir.file("c.ini");
  WriteFile(f, "[Quickbar]\r\nHotkey_0=old\r\n");
  std::thread release;
  int holdMs = 400;
  ScopedSavePointHook hook([&](SavePoint point, const std::string& path) {
    if (point == SavePoint::BeforeSwap) release = HoldExclusively(path, holdMs);
  });
  EXPECT_TRUE(WriteProfileString(f, "Quickbar", "Hotkey_0", "new"));
  release.join();
  EXPECT_EQ(ReadFile(f), "[Quickbar]\r\nHotkey_0=new\r\n");

  holdMs = 3000;
  CharacterFileSession file;
  ASSERT_TRUE(file.Open(f, TestWaits()));
  ASSERT_TRUE(file.Document().Write("Quickbar", "Hotkey_0", "newer"));
  EXPECT_FALSE(file.Save());
  release.join();
  EXPECT_EQ(file.Error().Text(), f + ": in use by another program");
  EXPECT_EQ(ReadFile(f), "[Quickbar]\r\nHotkey_0=new\r\n");
}

// The game opens its file before the swap and writes 300 ms later, after
// the moment the run would look at the file the swap displaced. Opened
// without share-delete, the replace waits for the handle; opened with it,
// the replace goes ahead and the run waits for the handle on the displaced
// file. Either way the save ends as the file and nothing is left beside it.
TEST(WindowsPaths, ASaveOpenedBeforeTheSwapAndWrittenAfterItEndsAsTheFile) {
  const std::string save = "[Quickbar]\r\nHotkey_0=45,1300101,,-1\r\n[Chat]\r\nline=saved by the game\r\n";
  for (DWORD share : {DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE),
                      DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)}) {
    SCOPED_TRACE(share);
    TempDir dir;
    const std::string f = dir.file("c.ini");
    WriteFile(f, "original");
    std::string bytes;
    FileStamp stamp;
    ASSERT_EQ(ReadFileBytes(f, bytes, stamp), ReadStatus::Ok);
    std::thread game;
    ReplaceResult result;
    {
      ScopedSavePointHook hook([&](SavePoint point, const std::string& path) {
        if (point != SavePoint::BeforeSwap) return;
        HANDLE held = ::CreateFileW(WideText(path).c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        game = std::thread([held, &save] {
          std::this_thread::sleep_for(std::chrono::milliseconds(300));
          DWORD written = 0;
          EXPECT_TRUE(::WriteFile(held, save.data(), DWORD(save.size()), &written, nullptr));
          ::CloseHandle(held);
        });
      });
      result = ReplaceReadFile(f, {"new"}, stamp, bytes, {0, 5000});
    }
    if (game.joinable()) game.join();
    EXPECT_EQ(result.outcome, ReplaceOutcome::Changed) << LastFileError().Text();
    EXPECT_EQ(ReadFile(f), save);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(FsPath(dir.path())))
      names.push_back(PathText(entry.path().filename()));
    EXPECT_EQ(names, std::vector<std::string>{"c.ini"});
  }
}

// Every spelling of one file finds its backups: a letter beyond ASCII in the
// other case ("über" for "Über") and the name in capitals; a backup folder
// named by an older version (a hash of the path as spelt, ASCII case folded)
// is found and taken over.
TEST(WindowsPaths, BackupsAreFoundUnderEverySpellingOfTheFile) {
  TempDir dir;
  ScopedEnv env;
  env.Set("LOCALAPPDATA", dir.file("data").c_str());
  std::filesystem::create_directories(FsPath(dir.file("\xc3\x9c" "ber")));
  const std::string character = AbsolutePath(dir.file("\xc3\x9c" "ber/Caoimhe-19.ini"));
  WriteFile(character, "[Quickbar]\r\n");
  Reason error;
  ASSERT_TRUE(KeepBackup(character, "[Quickbar]\r\nHotkey_0=44,13,,-1\r\n", "build", error)) << error.Text();
  const std::string other = AbsolutePath(dir.file("\xc3\xbc" "ber/CAOIMHE-19.INI"));
  EXPECT_EQ(BackupFolder(other), BackupFolder(character));
  EXPECT_EQ(ListBackups(other).size(), 1u);

  std::uint32_t hash = 2166136261u;  // the older name's FNV-1a hash
  for (char c : character) {
    c = c == '/' ? '\\' : c;
    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(hash));
  std::string folder = BackupFolder(character);
  std::string older = folder.substr(0, folder.size() - 8) + hex;
  ASSERT_NE(older, folder);
  std::filesystem::rename(FsPath(folder), FsPath(older));
  EXPECT_EQ(ListBackups(character).size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(FsPath(folder)));
}

// A path typed in another case names the same file: the build writes it and
// the file keeps the name it has on disk.
TEST(WindowsPaths, ASaveKeepsTheFilesOwnNameWhateverCaseWasTyped) {
  TempDir dir;
  const std::string character = dir.file("Alarion-4.ini");
  WriteFile(character, ReadFile(kExamples + "/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini"));
  RecordingSink sink;
  BuildContext context;
  context.waits = TestWaits();
  ASSERT_TRUE(sink.LoadConfig(context, kExamples + "/vesko"));
  context.job.templatePath = kExamples + "/vesko/templates/Alarion_Armsman.vsk";
  context.job.characterPath = dir.file("ALARION-4.INI");
  EXPECT_TRUE(sink.Build(context)) << (sink.messages.empty() ? "" : sink.messages[0]);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(dir.path())))
    names.push_back(PathText(entry.path().filename()));
  EXPECT_EQ(names, std::vector<std::string>{"Alarion-4.ini"});
  EXPECT_EQ(ReadFile(character), ReadFile(DataPath("expected/Alarion-4.forward.ini")));
}
