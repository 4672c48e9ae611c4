// Backups kept before a file is replaced: pruned to the newest twenty, none
// for a run that changes nothing, and a backup that cannot be written stops
// the build with the file as it was. (Restoring is tested end to end through
// the command line and the window.)
#include "backups.h"

#include <gtest/gtest.h>
#include <chrono>
#include <ctime>

#include <filesystem>
#include <tuple>

#include "build_context.h"
#include "build_run.h"
#include "paths.h"
#include "save_points.h"
#include "config_files.h"
#include "test_support.h"

namespace {

const std::string kVesko = std::string(EXAMPLES_DIR) + "/vesko";
const std::string kCharacters = std::string(EXAMPLES_DIR) + "/appdata/Electronic Arts/Dark Age of Camelot/LotM";

// A build of the sample template onto a copy of a sample character file.
struct SampleBuild {
  TempDir dir;
  RecordingSink sink;
  BuildContext context;
  std::string character = dir.file("Alarion-4.ini");
  std::string original = ReadFile(kCharacters + "/Alarion-4.ini");
  SampleBuild() {
    WriteFile(character, original);
    context.waits = TestWaits();
    EXPECT_TRUE(sink.LoadConfig(context, kVesko));
    context.job.templatePath = kVesko + "/templates/Alarion_Armsman.vsk";
    context.job.characterPath = character;
  }
};

// Paths with one separator, as the tests write them.
std::string Slashes(std::string path) {
  for (char& c : path) c = c == '\\' ? '/' : c;
  return path;
}

}  // namespace

TEST(Backups, TheNewestTwentyAreKeptAndListedNewestFirst) {
  TempDir dir;
  std::string file = dir.file("Anne-Marie-3.ini");
  Reason error;
  for (int i = 0; i < 25; ++i)
    ASSERT_TRUE(KeepBackup(file, "bytes " + std::to_string(i), "run " + std::to_string(i), error)) << error.Text();
  std::vector<BackupInfo> backups = ListBackups(file);
  ASSERT_EQ(backups.size(), 20u);
  EXPECT_EQ(NoteText(backups.front().note), "run 24");
  EXPECT_EQ(NoteText(backups.back().note), "run 5");
  EXPECT_EQ(ReadFile(backups.front().path), "bytes 24");
  EXPECT_EQ(backups.front().size, 8u);
  ASSERT_TRUE(KeepBackup(file, "bytes 24", "run 24 again", error));  // the same bytes: not kept twice
  EXPECT_EQ(NoteText(ListBackups(file).front().note), "run 24");
  // What a run killed while keeping a backup left goes with the next backup.
  const std::string killed =
      "/.2026-01-01_00-00-00.000Z.ini.brindlemarque-" + std::to_string(EndedProcessId()) + "-AbCdEf";
  WriteFile(BackupFolder(file) + killed, "partial");
  // A run at work keeps its own; one whose id another program has by now, long ago, does not.
  const std::string working = "/.2026-01-01_00-00-01.000Z.ini.brindlemarque-" + std::to_string(ThisProcessId()) + "-AbCdEf";
  WriteFile(BackupFolder(file) + working, "partial");
#ifndef _WIN32
  const std::string reused = "/.2026-01-01_00-00-02.000Z.ini.brindlemarque-" + std::to_string(::getppid()) + "-AbCdEf";
  WriteFile(BackupFolder(file) + reused, "partial");
  std::filesystem::last_write_time(FsPath(BackupFolder(file) + reused),
                                   std::filesystem::file_time_type::clock::now() - std::chrono::minutes(10));
#endif
  ASSERT_TRUE(KeepBackup(file, "bytes 25", "run 25", error));
  EXPECT_FALSE(FileOrFolderExists(BackupFolder(file) + killed));
  EXPECT_TRUE(FileOrFolderExists(BackupFolder(file) + working));
#ifndef _WIN32
  EXPECT_FALSE(FileOrFolderExists(BackupFolder(file) + reused));
#endif
  std::filesystem::remove(FsPath(BackupFolder(file) + working));
  // One folder per file, named so that a person finds it, naming the file in full.
  std::string folder = Slashes(BackupFolder(file));
  EXPECT_EQ(folder.rfind(Slashes(BackupRoot()) + "/Anne-Marie-3.ini (", 0), 0u) << folder;
  EXPECT_EQ(Slashes(ReadFile(folder + "/source.txt")), Slashes(file) + "\n");
  EXPECT_NE(BackupFolder(dir.file("other/Anne-Marie-3.ini")), folder);
  // A clock gone back a little (the newest backup a minute ahead): the next one is still newer.
  auto nameAhead = [](std::time_t seconds) {
    const std::time_t ahead = std::time(nullptr) + seconds;
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &ahead);
#else
    gmtime_r(&ahead, &utc);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S.000Z.ini", &utc);
    return std::string(stamp);
  };
  const std::string stamp = nameAhead(60);
  WriteFile(folder + "/" + stamp, "a minute ahead");
  ASSERT_TRUE(KeepBackup(file, "bytes 26", "run 26", error));
  EXPECT_EQ(ReadFile(ListBackups(file).front().path), "bytes 26");
  EXPECT_GT(Slashes(ListBackups(file).front().path), folder + "/" + stamp);
  // The only backup named two days ahead (the clock was wrong then): the next is named after the clock.
  const std::string other = dir.file("Other-3.ini"), future = nameAhead(2 * 86400);
  std::filesystem::create_directories(FsPath(BackupFolder(other)));
  WriteFile(BackupFolder(other) + "/" + future, "from the future");
  ASSERT_TRUE(KeepBackup(other, "bytes", "run", error));
  EXPECT_LT(Slashes(ListBackups(other).front().path), Slashes(BackupFolder(other)) + "/" + nameAhead(60));
}

// A restore checks the file just before it swaps, as a build does: when the
// game wrote it meanwhile, the game's file stays and the restore fails.
TEST(Backups, ARestoreRefusesAFileChangedMeanwhile) {
  TempDir dir;
  const std::string file = dir.file("Caoimhe-19.ini"), game = "[Misc]\r\nSaved=by the game\r\n";
  Reason error;
  WriteFile(file, "[Quickbar]\r\nHotkey_1=now\r\n");
  ASSERT_TRUE(KeepBackup(file, "[Quickbar]\r\nHotkey_1=before\r\n", "build", error)) << error.Text();
  ScopedSavePointHook hook([&](SavePoint point, const std::string& path) {
    if (point == SavePoint::BeforeSwap) WriteFile(path, game);
  });
  const RunOutcome result = RestoreBackup(file, 1, TestWaits());
  EXPECT_EQ(result.kind, RunKind::Failed);
  EXPECT_NE(result.headline.Text().find("changed by another program"), std::string::npos) << result.headline.Text();
  EXPECT_EQ(ReadFile(file), game);
}

// Undo confirms one backup and restores that one, even when a run kept a
// newer backup between the question and the answer; one gone meanwhile fails.
TEST(Backups, ARestoreBringsBackTheBackupThatWasConfirmed) {
  TempDir dir;
  const std::string file = dir.file("Caoimhe-19.ini");
  Reason error;
  ASSERT_TRUE(KeepBackup(file, "[Misc]\r\nState=confirmed\r\n", "build", error)) << error.Text();
  const BackupInfo confirmed = ListBackups(file).front();
  ASSERT_TRUE(KeepBackup(file, "[Misc]\r\nState=kept meanwhile\r\n", "gem table", error)) << error.Text();
  WriteFile(file, "[Misc]\r\nState=now\r\n");
  const RunOutcome restored = RestoreBackup(file, confirmed, TestWaits());
  EXPECT_EQ(restored.kind, RunKind::Built);
  EXPECT_EQ(restored.backupTime, confirmed.time);
  EXPECT_EQ(ReadFile(file), "[Misc]\r\nState=confirmed\r\n");
  // Again: the file holds it already, and nothing changes (no backup either).
  const std::size_t kept = ListBackups(file).size();
  EXPECT_EQ(RestoreBackup(file, confirmed, TestWaits()).kind, RunKind::UpToDate);
  EXPECT_EQ(ListBackups(file).size(), kept);
  std::filesystem::remove(FsPath(confirmed.path));
  EXPECT_EQ(RestoreBackup(file, 0, TestWaits()).kind, RunKind::Refused);  // numbers start at 1
  const RunOutcome gone = RestoreBackup(file, confirmed, TestWaits());
  EXPECT_EQ(gone.kind, RunKind::Refused);
  EXPECT_EQ(gone.headline.Text().rfind(std::string(kCannotRestore) + "\n", 0), 0u) << gone.headline.Text();
}

// A run killed right after its swap left the file it displaced (here the
// game's save) under its temporary name: the next build keeps it as the
// newest backup before its own, says so, and leaves nothing beside the file.
TEST(Backups, WhatAKilledRunDisplacedIsKeptByTheNextBuild) {
  SampleBuild run;
  const std::string game = run.original + "[Misc]\r\nSaved=by the game\r\n";
  const std::string left = run.dir.file(".Alarion-4.ini.brindlemarque-" + std::to_string(EndedProcessId()) +
                                        "-0123456789abcdef-AbCdEf");
  WriteFile(left, game);
  ASSERT_TRUE(run.sink.Build(run.context));
  ASSERT_EQ(run.sink.messages.size(), 1u);
  EXPECT_NE(run.sink.messages[0].find("perhaps the game's save) is kept as the backup "), std::string::npos)
      << run.sink.messages[0];
  auto backups = ListBackups(run.character);
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(ReadFile(backups[0].path), run.original);  // what the build replaced
  EXPECT_EQ(ReadFile(backups[1].path), game);
  EXPECT_FALSE(FileOrFolderExists(left));
}

TEST(Backups, OnlyPlainFilesNamedAfterARealMomentAreListedAndNoneIsNamedBeyondTheCalendar) {
  TempDir dir;
  std::string file = dir.file("Caoimhe-19.ini");
  Reason error;
  ASSERT_TRUE(KeepBackup(file, "real", "", error)) << error.Text();  // no note
  const std::string folder = BackupFolder(file);
  WriteFile(folder + "/2026-02-31_10-00-00.000Z.ini", "no such day");
  WriteFile(folder + "/1969-12-31_23-59-59.999Z.ini", "before the clock began");
  WriteFile(folder + "/2026-12-07_24-00-00.000Z.ini", "no such hour");
  WriteFile(folder + "/2023-02-29_12-00-00.000Z.ini", "no leap year");
  WriteFile(folder + "/2100-02-29_12-00-00.000Z.ini", "no leap year either");
  WriteFile(folder + "/2024-02-29_23-59-59.999Z.ini", "leap day");
  WriteFile(folder + "/2025-12-31_23-59-59.999Z.ini", "year end");
#ifndef _WIN32
  WriteFile(dir.file("elsewhere.ini"), "not ours");
  std::filesystem::create_symlink(dir.file("elsewhere.ini"), folder + "/9000-01-01_00-00-00.000Z.ini");
#endif
  std::vector<BackupInfo> backups = ListBackups(file);
  ASSERT_EQ(backups.size(), 3u);
  EXPECT_EQ(ReadFile(backups[0].path), "real");
  EXPECT_EQ(NoteText(backups[0].note), "(no note)");
  EXPECT_EQ(ReadFile(backups[1].path), "year end");
  EXPECT_EQ(ReadFile(backups[2].path), "leap day");

  // A backup named in the future (a clock gone wrong once, up to the end of
  // the calendar's four-digit years): kept and listed last, marked, and no
  // base for the next backup's name, which is the real time.
#ifdef _WIN32
  const std::string last = folder + "/3000-12-31_23-59-59.999Z.ini";
#else
  const std::string last = folder + "/9999-12-31_23-59-59.999Z.ini";
#endif
  WriteFile(last, "last moment");
  WriteFile(folder + "/2096-01-01_00-00-00.000Z.ini", "a wrong clock");
  ASSERT_TRUE(KeepBackup(file, "later still", "run", error)) << error.Text();
  backups = ListBackups(file);
  ASSERT_EQ(backups.size(), 6u);
  EXPECT_EQ(ReadFile(backups[0].path), "later still");
  EXPECT_EQ(NoteText(backups[0].note), "run");
  EXPECT_FALSE(backups[0].fromFuture);
  EXPECT_EQ(backups[0].time.substr(0, 2), "20");
  EXPECT_LT(backups[0].time, "2096");
  EXPECT_EQ(ReadFile(backups[4].path), "last moment");
  EXPECT_EQ(ReadFile(backups[5].path), "a wrong clock");
  EXPECT_TRUE(backups[4].fromFuture && backups[5].fromFuture);
}

TEST(Backups, ABuildKeepsWhatItReplacedAndARunThatChangesNothingKeepsNothing) {
  SampleBuild run;
  ASSERT_TRUE(run.sink.Build(run.context));
  ASSERT_TRUE(run.sink.Build(run.context));  // on its own result: no change
  std::vector<BackupInfo> backups = ListBackups(run.character);
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(ReadFile(backups[0].path), run.original);
  EXPECT_EQ(NoteText(backups[0].note), "build of Alarion_Armsman.vsk onto Quickbar2 bars 2-7");
}

TEST(Backups, ABackupThatCannotBeWrittenStopsTheBuildAndChangesNothing) {
  SampleBuild run;
  std::string blocked = run.dir.file("not-a-folder");
  WriteFile(blocked, "");  // the data folder is a file: no user, root included, can make a folder in it
  std::string root;
  bool built;
  {
    ScopedEnv env;
    env.Set(kDataHomeVariable, blocked);
    root = Slashes(BackupRoot());
    built = run.sink.Build(run.context);
  }
  EXPECT_FALSE(built);
  ASSERT_EQ(run.sink.messages.size(), 1u);
  std::string message = Slashes(run.sink.messages[0]);
  EXPECT_EQ(message.rfind("can't write character file\n" + Slashes(run.character) + ": can't keep a backup in " + root +
                              "/Alarion-4.ini (",
                          0),
            0u)
      << message;
#ifndef _WIN32
  EXPECT_NE(message.find(": not a directory"), std::string::npos) << message;
#endif
  EXPECT_EQ(ReadFile(run.character), run.original);
}

// A note is kept as data and said in words only when shown; the words older
// versions kept are read back as the same note.
TEST(Backups, NotesAreKeptAsDataAndOldOnesAreStillRead) {
  JobSettings job;
  job.quickbar = 1;
  job.firstBar = 3;
  job.lastBar = 9;
  job.options = OPT_REVERSE;
  const std::string data = WriteBackupNote(BackupNote::Run(BackupNote::Kind::GemTable, "a onto b.vsk", job));
  EXPECT_EQ(data, "kind=gem table\ntemplate=a onto b.vsk\nquickbar=1\nbars=3-9\nreverse=yes\n");
  const std::string words = "gem table of a onto b.vsk onto Quickbar bars 3-9 (reverse)";
  EXPECT_EQ(NoteText(data), words);
  EXPECT_EQ(WriteBackupNote(words), data);
  for (const char* prose :
       {"build of t.vsk onto Quickbar3 bars 1-10", "before restoring the backup of 2026-12-09 20:00:01",
        "the game's save, displaced by a run at 2026-12-09 20:00:01", "before the repair of its <Keiner> markers",
        "build of t.vsk onto Quickbar4 bars 1-2", "build of t.vsk onto Quickbar2 bars 1-", "build of t.vsk onto Quickbar bars 1-100",
        "build of onto Quickbar2 bars 1-2", "build of t.vsk", "kind=unknown", "(no note)"}) {
    const BackupNote note = ReadBackupNote(prose);
    EXPECT_EQ(NoteText(note), prose);
    EXPECT_EQ(NoteText(ReadBackupNote(WriteBackupNote(note))), prose);
  }
  const BackupNote old = ReadBackupNote("build of t.vsk onto Quickbar3 bars 1-10");
  EXPECT_EQ(std::tie(old.templateName, old.quickbar, old.firstBar, old.lastBar), std::make_tuple("t.vsk", 3, 1, 10));
  EXPECT_EQ(NoteText("kind=build\ntemplate=t.vsk\nquickbar=2\nbars=1-2\n"), "build of t.vsk onto Quickbar2 bars 1-2");
  for (const char* wrong : {"build of t.vsk onto Quickbar4 bars 1-2", "build of t.vsk onto Quickbar bars 1-100",
                            "build of t.vsk onto Quickbar2 bars 3",
                            "kind=build\ntemplate=t.vsk\nquickbar=0\nbars=1-2\n"})
    EXPECT_EQ(ReadBackupNote(wrong).kind, BackupNote::Kind::Text) << wrong;
  EXPECT_EQ(ReadBackupNote("kind=restore\r\ntime=12:00\r\n").time, "12:00");  // a note whose line ends were changed
  EXPECT_EQ(ReadBackupNote("").kind, BackupNote::Kind::None);
}
