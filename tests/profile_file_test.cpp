// The INI layer against realistic character files.
#include "profile_calls.h"
#include "character_file_session.h"

#include <gtest/gtest.h>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "backups.h"
#include "file_call_log.h"
#include "paths.h"
#include "save_points.h"
#include "test_support.h"

namespace {

const std::string kCharacter = ReadFile(DataPath("character_crlf.ini"));

// A temporary INI file holding `bytes`.
struct Ini {
  TempDir dir;
  std::string path;
  explicit Ini(const std::string& bytes = kCharacter, const std::string& name = "c.ini") : path(dir.file(name)) {
    WriteFile(path, bytes);
  }
  std::string Value(const std::string& section, const std::string& key) const {
    std::string v;
    ReadProfileString(path, section, key, v, 1024);
    return v;
  }
};

// `s` with `from` replaced by `to` once.
void Replace(std::string& s, const std::string& from, const std::string& to) {
  auto at = s.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  s.replace(at, from.size(), to);
}

}  // namespace

TEST(ProfileRead, AbsentFileSectionOrKeyReadsEmpty) {
  Ini f;
  std::string value = "stale";
  EXPECT_EQ(ReadProfileString(f.dir.file("none.ini"), "Quickbar", "Hotkey_0", value, 1024), 0u);
  EXPECT_EQ(value, "");
  for (const auto& [path, section, key] : std::vector<std::array<std::string, 3>>{
           {f.path, "Nope", "Hotkey_0"}, {f.path, "Quickbar", "Hotkey_1"}, {"", "Quickbar", "Hotkey_0"},
           {f.dir.path(), "Quickbar", "Hotkey_0"}})
    EXPECT_EQ(ReadProfileString(path, section, key, value, 1024), 0u) << path << " " << section << " " << key;
}

TEST(ProfileRead, NamesIgnoreCaseValuesLoseBlanksAndQuotesAndFirstDuplicatesWin) {
  Ini f("[QuickBar]\r\n  HOTKEY_3 =  45,1,,-1  \r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nempty=\r\n");
  std::string v;
  EXPECT_EQ(ReadProfileString(f.path, "quickbar", "hotkey_3", v, 1024), 8u);
  EXPECT_EQ(v, "45,1,,-1");
  EXPECT_EQ(f.Value("Quickbar", "q1"), "quoted");
  EXPECT_EQ(f.Value("Quickbar", "q2"), "single");
  EXPECT_EQ(f.Value("Quickbar", "q3"), "\"open");
  EXPECT_EQ(ReadProfileString(f.path, "Quickbar", "empty", v, 1024), 0u);

  Ini twice("[Macros]\nMacro_0=first\nMacro_0=second\n[macros]\nMacro_0=third\nMacro_1=other\n");
  EXPECT_EQ(twice.Value("Macros", "Macro_0"), "first");
  EXPECT_EQ(ReadProfileString(twice.path, "Macros", "Macro_1", v, 1024), 0u);
}

TEST(ProfileRead, LongValuesAreCutToBufferSizeLessOne) {
  std::string longValue(1500, 'x');
  Ini f("[Macros]\r\nMacro_0=" + longValue + "\r\n");
  std::string v;
  EXPECT_EQ(ReadProfileString(f.path, "Macros", "Macro_0", v, 1024), 1023u);
  EXPECT_EQ(v, longValue.substr(0, 1023));
  EXPECT_EQ(ReadProfileString(f.path, "Macros", "Macro_0", v, 64), 63u);
  EXPECT_EQ(v.size(), 63u);
  EXPECT_EQ(ReadProfileString(f.path, "Macros", "Macro_0", v, 0), 0u);
}

TEST(ProfileWrite, CreatesMissingFileWithSectionAndKey) {
  TempDir dir;
  std::string f = dir.file("new.ini");
  EXPECT_TRUE(WriteProfileString(f, "Quickbar2", "Hotkey_10", "45,1301400,,-1"));
  EXPECT_EQ(ReadFile(f), "[Quickbar2]\r\nHotkey_10=45,1301400,,-1\r\n");
  EXPECT_TRUE(WriteProfileString(f, "Quickbar2", "Hotkey_11", "x"));
  EXPECT_EQ(ReadFile(f), "[Quickbar2]\r\nHotkey_10=45,1301400,,-1\r\nHotkey_11=x\r\n");
}

TEST(ProfileWrite, KeepsEveryOtherByteOfARealisticFile) {
  Ini ini;
  const std::string& f = ini.path;
  // Replace, add to a section with trailing blank line, add to the last section, delete.
  ASSERT_TRUE(WriteProfileString(f, "quickbar", "hotkey_0", "45,1309900,,-1"));
  ASSERT_TRUE(WriteProfileString(f, "Quickbar", "Hotkey_13", "52,2,Macro 2,-1"));
  ASSERT_TRUE(WriteProfileString(f, "QuickBinds", "Bind_3", "F3"));
  ASSERT_TRUE(DeleteProfileKey(f, "Quickbar2", "Hotkey_11"));
  std::string expected = kCharacter;
  Replace(expected, "Hotkey_0=45,1300200,,-1", "Hotkey_0=45,1309900,,-1");
  Replace(expected, "Hotkey_12=45,1301400,,-1\r\n", "Hotkey_12=45,1301400,,-1\r\nHotkey_13=52,2,Macro 2,-1\r\n");
  Replace(expected, "Hotkey_11=52,1,Macro 1,-1\r\n", "");
  expected += "\r\nBind_3=F3";  // the file still has no final line end
  EXPECT_EQ(ReadFile(f), expected);
}

TEST(ProfileWrite, NewSectionGoesToTheEndInTheFilesLineEndStyle) {
  Ini ini("[Panels]\nA=1\n", "lf.ini");
  const std::string& f = ini.path;
  ASSERT_TRUE(WriteProfileString(f, "Quickbar3", "Hotkey_99", "v"));
  EXPECT_EQ(ReadFile(f), "[Panels]\nA=1\n[Quickbar3]\nHotkey_99=v\n");
  std::string g = ini.dir.file("noend.ini");
  WriteFile(g, "[Panels]\r\nA=1");
  ASSERT_TRUE(WriteProfileString(g, "Macros", "Macro_0", "a,b"));
  EXPECT_EQ(ReadFile(g), "[Panels]\r\nA=1\r\n[Macros]\r\nMacro_0=a,b");
}

TEST(ProfileWrite, UnchangedFileIsNotRewritten) {
  Ini ini;
  const std::string& f = ini.path;
  auto inode = InodeOf(f);
  EXPECT_TRUE(WriteProfileString(f, "Quickbar", "Hotkey_0", "45,1300200,,-1"));
  EXPECT_TRUE(DeleteProfileKey(f, "Quickbar", "Hotkey_77"));
  EXPECT_TRUE(DeleteProfileKey(f, "NoSection", "Hotkey_1"));
  EXPECT_EQ(InodeOf(f), inode);
  EXPECT_TRUE(WriteProfileString(f, "Quickbar", "Hotkey_0", "changed"));
  EXPECT_NE(InodeOf(f), inode);
}

TEST(ProfileDelete, RemovesEveryDuplicateAndALastLineKeepsItsMissingEnd) {
  const std::vector<std::array<std::string, 3>> cases = {
      {"[Quickbar]\r\nHotkey_1=a\r\nHotkey_2=b\r\nhotkey_1=c\r\n", "Hotkey_1", "[Quickbar]\r\nHotkey_2=b\r\n"},
      {"[Quickbar]\r\nHotkey_1=a\r\nHotkey_2=b", "Hotkey_2", "[Quickbar]\r\nHotkey_1=a"}};
  for (const auto& [before, key, after] : cases) {
    Ini f(before);
    ASSERT_TRUE(DeleteProfileKey(f.path, "Quickbar", key));
    EXPECT_EQ(ReadFile(f.path), after);
  }
}

TEST(ProfileEmptySection, RemovesKeysAndKeepsHeaderAndComments) {
  Ini ini("[Macros]\r\nMacro_0=a,b\r\n; note\r\nMacro_7=c,d\r\n\r\n[Chat]\r\nX=1\r\n");
  const std::string& f = ini.path;
  ASSERT_TRUE(EmptyProfileSection(f, "MACROS"));
  EXPECT_EQ(ReadFile(f), "[Macros]\r\n; note\r\n\r\n[Chat]\r\nX=1\r\n");
  ASSERT_TRUE(WriteProfileString(f, "Macros", "Macro_0", "n,/sit"));
  EXPECT_EQ(ReadFile(f), "[Macros]\r\nMacro_0=n,/sit\r\n; note\r\n\r\n[Chat]\r\nX=1\r\n");
}

TEST(ProfileRefusal, TextThatWouldBreakTheFileIsRefused) {
  Ini ini;
  const std::string& f = ini.path;
  EXPECT_FALSE(WriteProfileString(f, "Quickbar", "Hotkey_1", "a\r\n[Evil]"));
  EXPECT_FALSE(WriteProfileString(f, "Quickbar", "Hotkey_1", "a\nb"));
  EXPECT_FALSE(WriteProfileString(f, "Quickbar", "Hotkey_1", std::string("a\0b", 3)));
  EXPECT_FALSE(WriteProfileString(f, "Quickbar", "Hot=key", "v"));
  EXPECT_FALSE(WriteProfileString(f, "Quickbar", "[Key", "v"));
  EXPECT_FALSE(WriteProfileString(f, "Quickbar", "", "v"));
  EXPECT_FALSE(WriteProfileString(f, "Quick]bar", "Hotkey_1", "v"));
  EXPECT_FALSE(WriteProfileString(f, "Quick\rbar", "Hotkey_1", "v"));
  EXPECT_FALSE(DeleteProfileKey(f, "Quickbar", "Hot\nkey"));
  EXPECT_FALSE(EmptyProfileSection(f, "Mac]ros"));
  EXPECT_EQ(ReadFile(f), kCharacter);
}

TEST(ProfileRefusal, EmptyPathWritesNowhere) {
  TempDir dir;
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(FsPath(dir.path()));
  EXPECT_FALSE(WriteProfileString("", "Quickbar", "Hotkey_1", "v"));
  EXPECT_FALSE(DeleteProfileKey("", "Quickbar", "Hotkey_1"));
  EXPECT_FALSE(EmptyProfileSection("", "Macros"));
  std::filesystem::current_path(cwd);
  EXPECT_EQ(ReadFile(dir.file(".ini")), "<missing>");
}

TEST(ProfileFailure, ReadOnlyFileFolderAndMissingFolderFailAndStayUntouched) {
  Ini ini(kCharacter, "ro.ini");
  const std::string& f = ini.path;
  MakeReadOnly(f);
  EXPECT_FALSE(WriteProfileString(f, "Quickbar", "Hotkey_1", "v"));
  EXPECT_FALSE(DeleteProfileKey(f, "Quickbar", "Hotkey_0"));
  EXPECT_EQ(ReadFile(f), kCharacter);
  std::string v;
  EXPECT_EQ(ReadProfileString(f, "Quickbar", "Hotkey_0", v, 1024), 14u);  // reading still works

  EXPECT_FALSE(WriteProfileString(ini.dir.path(), "Quickbar", "Hotkey_1", "v"));
  EXPECT_FALSE(WriteProfileString(ini.dir.file("no/such/folder.ini"), "Quickbar", "Hotkey_1", "v"));
#ifndef _WIN32
  std::string fifo = ini.dir.file("fifo.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(ReadProfileString(fifo, "Quickbar", "Hotkey_1", v, 1024), 0u);
  EXPECT_FALSE(WriteProfileString(fifo, "Quickbar", "Hotkey_1", "v"));

  // The temporary file cannot be made beside the file (a folder without
  // write permission): the message says it is the folder.
  Ini locked(kCharacter, "in-locked-folder.ini");
  CharacterFileSession file;
  ASSERT_TRUE(file.Open(locked.path, TestWaits()));
  ASSERT_TRUE(file.Document().Write("Quickbar", "Hotkey_1", "v"));
  FailNextReplaceAt(ReplaceStep::Create);
  EXPECT_FALSE(file.Save());
  EXPECT_EQ(file.Error().Text(), locked.path + ": permission denied (the folder " + locked.dir.path() + ")");
  EXPECT_EQ(ReadFile(locked.path), kCharacter);
#endif
}

#ifndef _WIN32
TEST(CharacterFile, ReplacementKeepsPermissionsAndFollowsLinks) {
  Ini ini;
  const std::string& f = ini.path;
  ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
  std::string link = ini.dir.file("link.ini");
  ASSERT_EQ(::symlink(f.c_str(), link.c_str()), 0);
  ASSERT_TRUE(WriteProfileString(link, "Quickbar", "Hotkey_1", "v"));
  struct stat st;
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  std::string v;
  ReadProfileString(f, "Quickbar", "Hotkey_1", v, 64);
  EXPECT_EQ(v, "v");
  // A link that leads nowhere is refused, not replaced by a file.
  std::string dangling = ini.dir.file("dangling.ini");
  ASSERT_EQ(::symlink(ini.dir.file("nowhere.ini").c_str(), dangling.c_str()), 0);
  EXPECT_FALSE(WriteProfileString(dangling, "Quickbar", "Hotkey_1", "v"));
  ASSERT_EQ(::lstat(dangling.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_FALSE(FileOrFolderExists(ini.dir.file("nowhere.ini")));
}
#endif

TEST(CharacterFile, OddFilesStayReadableAndIntact) {
  TempDir dir;
  // Binary bytes, lines without '=', a very long line, a byte-order mark, keys before any section.
  std::string odd = "\xEF\xBB\xBForphan=1\r\n[Quickbar]\r\nno equals here\r\n" + std::string(200000, 'z') +
                    "\r\nHotkey_1=\x01\x02\xff\r\n" + std::string("stray\0bytes\r\n", 13);
  std::string f = dir.file("odd.ini");
  WriteFile(f, odd);
  std::string v;
  EXPECT_EQ(ReadProfileString(f, "Quickbar", "Hotkey_1", v, 1024), 3u);
  ASSERT_TRUE(WriteProfileString(f, "Quickbar", "Hotkey_2", "new"));
  std::string after = ReadFile(f);
  EXPECT_EQ(after.substr(0, odd.size() - 13), odd.substr(0, odd.size() - 13));
  EXPECT_NE(after.find("Hotkey_1=\x01\x02\xff\r\nHotkey_2=new\r\n"), std::string::npos);
}

TEST(CharacterFile, SessionSeesItsOwnChangesAndSavesOnce) {
  Ini ini;
  const std::string& f = ini.path;
  CharacterFileSession file;
  ASSERT_TRUE(file.Open(f, TestWaits()));
  EXPECT_TRUE(file.Document().Write("Macros", "Macro_2", "x,/y"));
  EXPECT_EQ(file.Document().Read("Macros", "Macro_2"), "x,/y");
  EXPECT_EQ(ReadFile(f), kCharacter);  // nothing on disk until Save
  EXPECT_TRUE(file.Document().Changed());
  EXPECT_TRUE(file.Save());
  EXPECT_FALSE(file.Document().Changed());
  EXPECT_EQ(ReadFile(f), file.Document().Bytes());
  EXPECT_TRUE(file.Document().Write("Macros", "Macro_3", "z"));
  EXPECT_TRUE(file.Save()) << file.Error().Text();  // its own first save is no change by another program
  EXPECT_EQ(ReadFile(f), file.Document().Bytes());
  EXPECT_FALSE(file.Document().Write("Macros", "Macro=3", "v"));
  EXPECT_TRUE(file.Failed());
}

TEST(ProfileLineEnds, ALoneCrEndsALineSoNoSectionOrKeyIsDoubled) {
  Ini ini("[Panels]\nChat=1\n[Macros\r");  // the last line ends in a lone CR
  const std::string& f = ini.path;
  ASSERT_TRUE(WriteProfileString(f, "Macros", "Macro_0", "Helm,/sit"));
  EXPECT_EQ(ReadFile(f), "[Panels]\nChat=1\n[Macros\rMacro_0=Helm,/sit\n");

  WriteFile(f, "[A]\rk=1\r\r[B]\rx=2");  // CR-only line ends, no final line end
  ASSERT_TRUE(WriteProfileString(f, "A", "k", "2"));
  ASSERT_TRUE(WriteProfileString(f, "B", "y", "3"));
  ASSERT_TRUE(WriteProfileString(f, "C", "z", "4"));
  EXPECT_EQ(ReadFile(f), "[A]\rk=2\r\r[B]\rx=2\ry=3\r[C]\rz=4");
  ASSERT_TRUE(DeleteProfileKey(f, "C", "z"));
  EXPECT_EQ(ReadFile(f), "[A]\rk=2\r\r[B]\rx=2\ry=3\r[C]");
  std::string v;
  EXPECT_EQ(ReadProfileString(f, "B", "y", v, 64), 1u);
}

TEST(CharacterFile, RunsOnOneFileWaitForEachOtherAndAChangeMeanwhileIsKept) {
  TempDir dir;
  std::string f = dir.file("c.ini"), missing = dir.file("new.ini");
  WriteFile(f, kCharacter);
  FileWaits waits = TestWaits();
  waits.lockWaitMs = 50;
  for (const std::string& path : {f, missing}) {  // a missing file is locked through its folder
    CharacterFileSession first, second;
    ASSERT_TRUE(first.Open(path, waits));
    EXPECT_FALSE(second.Open(path, waits));
    EXPECT_EQ(second.Error().Text(), path + ": in use by another run of Brindlemarque; try again in a moment");
    first.Close();
    EXPECT_TRUE(second.Open(path, waits));
  }
  // The run that makes a missing file holds it until it is done.
  const std::string made = dir.file("made.ini");
  CharacterFileSession first, second;
  ASSERT_TRUE(first.Open(made, waits));
  ASSERT_TRUE(first.Document().Write("Quickbar", "Hotkey_1", "mine"));
  ASSERT_TRUE(first.Save());
  EXPECT_FALSE(second.Open(made, waits));
  first.Close();
  EXPECT_TRUE(second.Open(made, waits));
  second.Close();

  // A second run waits while the first finishes, and takes the lock of the
  // file the path names then, not of one that was replaced meanwhile.
  waits.lockWaitMs = 3000;
  ASSERT_TRUE(first.Open(f, waits));
  std::thread finish([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    WriteFile(dir.file("other.ini"), kCharacter);
    RenameOver(dir.file("other.ini"), f);
    first.Close();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(second.Open(f, waits));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  finish.join();
  CharacterFileSession third;
  waits.lockWaitMs = 50;
  EXPECT_FALSE(third.Open(f, waits));
#ifndef _WIN32
  // The file replaced between the lock's open and its flock: the lock held is
  // that of the file the path names now, not of the one replaced.
  second.Close();
  {
    FileCallLog log(f);
    log.ActBefore("flock", [&] {  // the folder's lock first, then the file's
      log.ActBefore("flock", [&] {
        WriteFile(dir.file("other.ini"), kCharacter);
        RenameOver(dir.file("other.ini"), f);
      });
    });
    ASSERT_TRUE(second.Open(f, waits));
  }
  EXPECT_FALSE(third.Open(f, waits)) << "the lock held is not that of the file the path names";
#endif
}

// The game saves the file at each point of a save, in place, by renaming a
// file of its own over it, or in place keeping the file's size and time (so
// that only the bytes tell): its content is either built on or kept whole
// with a clean failure, never lost; a change the final check sees is never
// swapped over; a failed save keeps no backup.
TEST(CharacterFile, TheGameSavingAtAnyPointOfASaveIsNeverLost) {
  std::string sameSize = kCharacter;
  sameSize[sameSize.find("Hotkey")] = 'h';
  // Settled: the file was written long enough before the read that its
  // stamp alone vouches for it, and the final check reads no bytes (not on
  // Windows, which keeps no change time a program cannot set).
#ifdef _WIN32
  for (bool settled : {false})
#else
  for (bool settled : {false, true})
#endif
  for (SavePoint point : {SavePoint::BeforeRead, SavePoint::AfterBackup, SavePoint::BeforeCheck, SavePoint::BeforeSwap})
    for (int writer : {0, 1, 2, 3}) {  // in place, by rename, in place keeping size and time, by rename keeping both
      SCOPED_TRACE(std::to_string(static_cast<int>(point)) + " writer " + std::to_string(writer) +
                   (settled ? " settled" : ""));
      const bool keepsSizeAndTime = writer >= 2, renames = writer % 2 == 1;
      const std::string game = keepsSizeAndTime ? sameSize : kCharacter + "\r\n[Misc]\r\nSaved=by the game\r\n";
      Ini ini;
      const std::string& f = ini.path;
      if (settled) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        std::string bytes;
        FileStamp stamp;
        ASSERT_EQ(ReadFileBytes(f, bytes, stamp), ReadStatus::Ok);
        ASSERT_TRUE(stamp.Decides());
      }
      ScopedSavePointHook hook([&](SavePoint at, const std::string&) {
        if (at != point) return;
        auto time = std::filesystem::last_write_time(FsPath(f));
        const std::string written = renames ? f + ".game" : f;
        WriteFile(written, game);
        if (keepsSizeAndTime) std::filesystem::last_write_time(FsPath(written), time);
        if (renames) RenameOver(f + ".game", f);
      });
      CharacterFileSession file;
      ASSERT_TRUE(file.Open(f, TestWaits(), DisplacedSaveKeeper(f)));
      KeepBackupsOf(file, f, "test");
      ASSERT_TRUE(file.Document().Write("Quickbar", "Hotkey_1", "mine"));
      std::vector<FileCall> calls;
      bool saved;
      {
        FileCallLog log(f);
        saved = file.Save();
        calls = log.Calls();
      }
      if (point == SavePoint::BeforeRead) {
        EXPECT_TRUE(saved) << file.Error().Text();
        EXPECT_EQ(ReadFile(f).find("Hotkey_1=mine") == std::string::npos, false);
        EXPECT_EQ(ReadFile(f).find(keepsSizeAndTime ? "hotkey" : "Saved=by the game") == std::string::npos, false);
        continue;
      }
      EXPECT_FALSE(saved);
      EXPECT_TRUE(file.ChangedMeanwhile());
      EXPECT_EQ(ReadFile(f), game);
      EXPECT_EQ(file.Error().Text(), f + ": changed by another program while Brindlemarque worked on it; nothing was written, "
                                  "run it again");
      EXPECT_TRUE(ListBackups(f).empty());
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(FsPath(ini.dir.path())), {}), 1);  // no temporary file
      if (point != SavePoint::BeforeSwap) {
        for (const FileCall& call : calls) {
          EXPECT_FALSE(call.to == f && call.path.find(".brindlemarque-") != std::string::npos)
              << "swapped over a change the check had seen";
        }
      }
    }
  // A file missing when it was read that the game makes before the swap, and
  // one the game removes then: what the game did stands.
  const std::string game = kCharacter + "\r\n[Misc]\r\nSaved=by the game\r\n";
  for (bool made : {true, false}) {
    Ini ini;
    const std::string& f = ini.path;
    if (made) std::filesystem::remove(FsPath(f));
    ScopedSavePointHook hook([&](SavePoint at, const std::string&) {
      if (at != SavePoint::BeforeSwap) return;
      if (made) WriteFile(f, game);
      else std::filesystem::remove(FsPath(f));
    });
    CharacterFileSession file;
    ASSERT_TRUE(file.Open(f, TestWaits()));
    ASSERT_TRUE(file.Document().Write("Quickbar", "Hotkey_1", "mine"));
    EXPECT_FALSE(file.Save()) << made;
    EXPECT_TRUE(file.ChangedMeanwhile()) << made;
    EXPECT_EQ(ReadFile(f), made ? game : "<missing>");
  }
}

// A file changed moments ago is still being saved: it is read once it has
// been quiet for the quiet time, also when the save begins right before the
// read; one that never stops changing is left alone, also where time stamps
// are too coarse to tell (FAT keeps even seconds, and a same-size rewrite
// then shows only in the bytes). The game writes at the read's own moments,
// so that no pause of a busy machine changes what the read sees.
TEST(CharacterFile, AFileBeingSavedIsReadOnceQuietOrNotAtAll) {
  Ini ini;
  const std::string& f = ini.path;
  const std::string saved = kCharacter + "\r\n[Misc]\r\nSaved=1\r\n";
  for (bool atTheRead : {false, true}) {
    WriteFile(f, kCharacter);
    std::filesystem::last_write_time(FsPath(f), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    if (!atTheRead) WriteFile(f, saved.substr(0, 100));  // a save's first part
    CharacterFileSession file;
    int reads = 0;
    {
      ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
        if (atTheRead && point == SavePoint::BeforeRead) WriteFile(f, saved.substr(0, 100));
        if (point == SavePoint::AfterRead && reads++ == 0) WriteFile(f, saved);  // the rest, once the part was read
      });
      ASSERT_TRUE(file.Open(f, TestWaits(3000, 1000, 5000)));
    }
    EXPECT_EQ(file.Document().Read("Misc", "Saved"), "1") << "save begun at the read: " << atTheRead;
  }

  // Quiet for long by its stamp when read: taken at that read, without
  // waiting (a write right after it is another save's, seen at the check).
  WriteFile(f, kCharacter);
  std::filesystem::last_write_time(FsPath(f), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  {
    CharacterFileSession old;
    bool written = false;
    ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
      if (point == SavePoint::AfterRead && !std::exchange(written, true)) WriteFile(f, saved);
    });
    ASSERT_TRUE(old.Open(f, TestWaits(3000, 300, 5000)));
    EXPECT_EQ(old.Document().Read("Misc", "Saved"), "");
  }

  CharacterFileSession file;
#ifdef _WIN32
  for (bool coarse : {false}) {
    FileCallLog log(f);
#else
  for (bool coarse : {false, true}) {
    FileCallLog log(f);
    if (coarse) log.CoarseStamps();
#endif
    // The same size written again right after the read: read again, not taken as it was.
    WriteFile(f, saved);
    int reads = 0;
    {
      ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
        if (point == SavePoint::AfterRead && reads++ == 0) WriteFile(f, kCharacter + "\r\n[Misc]\r\nSaved=2\r\n");
      });
      ASSERT_TRUE(file.Open(f, TestWaits(3000, 300, 5000))) << "coarse " << coarse;
    }
    EXPECT_EQ(file.Document().Read("Misc", "Saved"), "2") << "coarse " << coarse;
    file.Close();
    // Written again after every read (the same size, dated ahead, so that
    // only the bytes can tell, however slowly this process runs): never quiet.
    WriteFile(f, saved);
    {
      ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
        if (point != SavePoint::AfterRead) return;
        WriteFile(f, kCharacter + "\r\n[Misc]\r\nSaved=" + std::to_string(++reads % 10) + "\r\n");
        std::filesystem::last_write_time(FsPath(f), std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
      });
      EXPECT_FALSE(file.Open(f, TestWaits(3000, 300, 600))) << "coarse " << coarse;
    }
  }
  EXPECT_EQ(file.Error().Text(), f + ": still being written by another program (it kept changing for 600 ms)");
}
