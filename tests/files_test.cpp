// Whole-file reads and atomic replacement.
#include "ascii_text.h"
#include "byte_hash.h"
#include "environment.h"
#include "file_error.h"
#include "paths.h"
#include "file_read.h"
#include "file_replace.h"
#include "game_process.h"
#include "save_points.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "build_context.h"
#include "file_call_log.h"
#include "backups.h"
#include "character_file_session.h"
#include "test_support.h"

TEST(ReadFileBytes, ReadsRegularFilesOnly) {
  TempDir dir;
  std::string bytes;
  WriteFile(dir.file("a"), std::string("x\0y", 3));
  EXPECT_EQ(ReadFileBytes(dir.file("a"), bytes), ReadStatus::Ok);
  EXPECT_EQ(bytes, std::string("x\0y", 3));
  EXPECT_EQ(ReadFileBytes(dir.file("missing"), bytes), ReadStatus::Missing);
  EXPECT_EQ(ReadFileBytes(dir.path(), bytes), ReadStatus::Failed);
  EXPECT_EQ(ReadFileBytes("", bytes), ReadStatus::Failed);
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
  EXPECT_EQ(ReadFileBytes(dir.file("fifo"), bytes), ReadStatus::Failed);
#endif
  EXPECT_EQ(ReadFileBytes(dir.file("a"), bytes, 2), ReadStatus::Failed);
}

namespace {

// A file as a run read it: its bytes and their stamp.
struct ReadState {
  std::string bytes;
  FileStamp stamp;
};

ReadState ReadForSave(const std::string& path) {
  ReadState read;
  EXPECT_EQ(ReadFileBytes(path, read.bytes, read.stamp), ReadStatus::Ok) << path;
  return read;
}

// `path` written with `bytes`, then read as a run reads it.
ReadState WriteForSave(const std::string& path, const std::string& bytes = "original") {
  WriteFile(path, bytes);
  return ReadForSave(path);
}

#ifndef _WIN32
// File systems by what a replacement can use: the exchange (ext4), hard
// links without it (many FUSE ones), renames to a free name only (the
// kernel's exFAT and FAT), neither (other FUSE ones).
enum FileSystemKind { Exchange, Links, FreeNames, Neither };

// Makes the calls on `log`'s file act as on a file system of `kind`; one
// without the exchange reports exFAT's kind, whose abilities are tried.
void ActAs(FileCallLog& log, FileSystemKind kind) {
  if (kind == Exchange) return;
  log.ReportFileSystemKind(0x2011BAB0);
  log.FailCalls("exchange", EINVAL);
  if (kind != FreeNames) log.FailCalls("noreplace", EINVAL);
  if (kind != Links) log.FailCalls("link", EPERM);
}

// Whether the last rename or link to or from `file` among `calls` is
// followed by a flush of its folder (true when there is none).
bool FlushedAfterLastRename(const std::vector<FileCall>& calls, const std::string& file) {
  bool flushed = true;
  for (const FileCall& call : calls) {
    if ((call.what == "rename" || call.what == "link") && (call.path == file || call.to == file)) flushed = false;
    if (call.what == "flush" && call.path == FolderOf(file)) flushed = true;
  }
  return flushed;
}
#endif

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(FsPath(folder))) names.push_back(PathText(e.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(ReplaceFileAtomically, AFailedWriteFlushOrRenameLeavesTheOriginalAndNoTemporaryFile) {
  TempDir dir;
  std::string f = dir.file("c.ini");
  WriteFile(f, "original");
  for (ReplaceStep step : {ReplaceStep::Write, ReplaceStep::Flush, ReplaceStep::Rename}) {
    FailNextReplaceAt(step);
    EXPECT_FALSE(ReplaceFileAtomically(f, "new"));
    EXPECT_EQ(LastFileError().Text(), "input/output error");
    EXPECT_EQ(ReadFile(f), "original");
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini"});
  }
  EXPECT_TRUE(ReplaceFileAtomically(f, "new"));  // a fault hits one replacement only
  EXPECT_EQ(ReadFile(f), "new");
}

// What runs that were stopped leave beside a file: a temporary file never
// swapped in goes; a file a swap displaced (the game's save, perhaps) is
// never removed unless kept elsewhere or identical to the file, and comes
// back when the file is missing.
TEST(SweepLeftoversOf, RemovesOnlyWhatARunWroteAndKeepsEverySave) {
  TempDir dir;
  const std::string f = dir.file("c.ini");
  const std::string gone = std::to_string(EndedProcessId()), ours = std::to_string(ThisProcessId());
  WriteFile(f, "original");
  // A genuine temporary file, as a run killed before its swap leaves it.
  std::string unswapped;
  {
    ScopedSavePointHook copy([&](SavePoint point, const std::string&) {
      if (point != SavePoint::BeforeCheck) return;
      for (const std::string& name : FolderEntries(dir.path()))
        if (name.find("-" + ours + "-") != std::string::npos) {
          unswapped = name;
          unswapped.replace(unswapped.find("-" + ours + "-"), ours.size() + 2, "-" + gone + "-");
          WriteFile(dir.file(unswapped), ReadFile(dir.file(name)));
        }
    });
    const ReadState read = ReadForSave(f);
    ASSERT_EQ(ReplaceReadFile(f, {"new"}, read.stamp, read.bytes).outcome, ReplaceOutcome::Done);
  }
  ASSERT_FALSE(unswapped.empty());
  const std::string writing = ".c.ini.brindlemarque-" + gone + "-writing-AbCdEf";  // killed while writing
  const std::string displaced = ".c.ini.brindlemarque-" + gone + "-0123456789abcdef-AbCdEf";  // killed after a swap
  const std::string sameAsFile = ".c.ini.brindlemarque-" + gone + "-0123456789abcdef-Same01-old";
  const std::string fresh = ".c.ini.brindlemarque-" + ours + "-0123456789abcdef-Fresh1";  // a run still at work
  const std::string otherFile = ".d.ini.brindlemarque-" + gone + "-writing-Other1";
  // Named by the hash earlier versions gave a temporary file's bytes (FNV-1a).
  const std::string olderHash = ".c.ini.brindlemarque-" + gone + "-b5d43e6c2878bc7a-Older1";
  WriteFile(dir.file(writing), "partial");
  WriteFile(dir.file(displaced), "the game's save");
  WriteFile(dir.file(sameAsFile), "new");
  WriteFile(dir.file(fresh), "partial");
  WriteFile(dir.file(otherFile), "partial");
  WriteFile(dir.file(olderHash), "partial");
  auto sorted = [](std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  };
  std::vector<std::string> expected = {displaced, fresh, otherFile, "c.ini"};
#ifndef _WIN32
  // A writer that lives: its displaced file stays, however old; a temporary
  // file written long ago is stale even when its writer's id is another
  // program's by now.
  const std::string live = std::to_string(::getppid());
  const std::string liveDisplaced = ".c.ini.brindlemarque-" + live + "-0123456789abcdef-Live01-old";
  const std::string reusedId = ".c.ini.brindlemarque-" + live + "-writing-Reused";
  WriteFile(dir.file(liveDisplaced), "a save");
  WriteFile(dir.file(reusedId), "partial");
  for (const std::string& old : {liveDisplaced, reusedId})
    std::filesystem::last_write_time(FsPath(dir.file(old)),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  expected.push_back(liveDisplaced);
#endif
  EXPECT_TRUE(SweepLeftoversOf(f).empty());
  EXPECT_EQ(FolderEntries(dir.path()), sorted(expected));
  // A keeper that could not keep it: the displaced file stays.
  auto refuse = [](const std::string&, std::string&) { return false; };
  EXPECT_TRUE(SweepLeftoversOf(f, refuse).empty());
  EXPECT_EQ(FolderEntries(dir.path()), sorted(expected));
  std::vector<std::string> handed;
  auto keep = [&](const std::string& leftover, std::string& where) {
    handed.push_back(ReadFile(leftover));
    where = "X";
    return true;
  };
  auto said = SweepLeftoversOf(f, keep);
  EXPECT_EQ(handed, std::vector<std::string>{"the game's save"});
  ASSERT_EQ(said.size(), 1u);
  EXPECT_NE(said[0].Text().find("kept as the backup X"), std::string::npos) << said[0].Text();
  expected.erase(expected.begin());
  EXPECT_EQ(FolderEntries(dir.path()), sorted(expected));

  // The file missing: what a swap displaced is the file again.
  std::filesystem::remove(FsPath(f));
  WriteFile(dir.file(sameAsFile), "original");
  said = SweepLeftoversOf(f);
  EXPECT_EQ(ReadFile(f), "original");
  EXPECT_EQ(said.size(), 1u);
}

namespace {

// Where in `calls` the first call from `from` on is `what` to a path for
// which `matches` holds; calls.size() when none is.
template <typename Match>
std::size_t FindCall(const std::vector<FileCall>& calls, std::size_t from, const std::string& what, Match matches) {
  for (std::size_t i = from; i < calls.size(); ++i)
    if (calls[i].what == what && matches(calls[i])) return i;
  return calls.size();
}

}  // namespace

// What the system is asked to do, in order: the temporary file written and
// flushed, renamed over the original (which exists until then and is never
// removed or renamed before), and the folder flushed (Linux: the rename is
// durable only then; on Windows the replacing call writes through).
TEST(ReplaceFileAtomically, WritesFlushesRenamesThenFlushesTheFolderWhileTheOriginalStays) {
  TempDir dir;
  const std::string f = dir.file("Caoimhe-19.ini");
  for (bool save : {true, false}) {
    const ReadState read = WriteForSave(f);
    std::vector<FileCall> calls;
    {
      FileCallLog log(f);
      if (save) {
        ASSERT_EQ(ReplaceReadFile(f, {"new"}, read.stamp, read.bytes).outcome, ReplaceOutcome::Done);
      } else {
        ASSERT_TRUE(ReplaceFileAtomically(f, "new"));
      }
      calls = log.Calls();
    }
    EXPECT_EQ(ReadFile(f), "new");
    auto temporary = [](const FileCall& c) { return c.path.find(".Caoimhe-19.ini.brindlemarque-") != std::string::npos; };
    auto original = [](const std::string& path) {
      return EndsWith(path, "/Caoimhe-19.ini") || EndsWith(path, "\\Caoimhe-19.ini");
    };
    std::size_t written = FindCall(calls, 0, "write", temporary);
    std::size_t flushed = FindCall(calls, written, "flush", temporary);
    std::size_t renamed =
        FindCall(calls, flushed, "rename", [&](const FileCall& c) { return temporary(c) && original(c.to); });
    ASSERT_LT(renamed, calls.size()) << "save " << save << ": written " << written << ", flushed " << flushed;
    for (std::size_t i = 0; i <= renamed; ++i) {
      EXPECT_TRUE(calls[i].watchedExists) << "save " << save << ": no file before call " << i << " " << calls[i].what;
      if (i < renamed) {
        EXPECT_FALSE(original(calls[i].path) || original(calls[i].to)) << calls[i].what;
      }
    }
#ifndef _WIN32
    std::size_t folder = FindCall(calls, renamed, "flush", [&](const FileCall& c) { return c.path == dir.path(); });
    EXPECT_LT(folder, calls.size()) << "save " << save << ": the folder was not flushed after the rename";
#endif
  }
#ifndef _WIN32
  // A new file: moved in (only while its name is free), then the folder flushed.
  std::filesystem::remove(FsPath(f));
  std::string nothing;
  FileStamp none;
  ASSERT_EQ(ReadFileBytes(f, nothing, none), ReadStatus::Missing);
  FileCallLog log(f);
  ASSERT_EQ(ReplaceReadFile(f, {"new"}, none, nothing).outcome, ReplaceOutcome::Done);
  auto calls = log.Calls();
  std::size_t moved = FindCall(calls, 0, "rename", [&](const FileCall& c) { return c.to == f; });
  ASSERT_LT(moved, calls.size());
  EXPECT_LT(FindCall(calls, moved, "flush", [&](const FileCall& c) { return c.path == dir.path(); }), calls.size());
#endif
}

#ifndef _WIN32
// File systems without RENAME_EXCHANGE: with links (many FUSE ones), with
// free-name renames but no links (the kernel's exFAT and FAT), with neither
// (other FUSE ones). Right after the final check the game saves: in place
// (it truncates, writes part, and finishes 3, 30 or 150 ms later), by
// renaming a file of its own over the file, or by making the file anew
// while it is moved aside. The file is never built on part of a save, the
// game's save ends as the file, and nothing is left beside it; a save into
// the original before a new file was made is kept beside, and said where;
// a file the game removed just before it was to be moved aside is a change
// of the game's, never a failed save. Every rename ends with the folder
// flushed.
TEST(ReplaceReadFile, WithoutExchangeNoSaveOfTheGameIsLostOrTakenHalfWritten) {
  TempDir dir;
  const std::string f = dir.file("c.ini");
  const std::string save = "[Quickbar]\r\nHotkey_0=45,1300101,,-1\r\n[Chat]\r\nline=saved by the game\r\n";
  // InPlace writes 20 bytes first; SameAtFirst first writes back exactly
  // what the run read, and appends the rest later.
  enum Game { Quiet, InPlace, SameAtFirst, ByRename, AnewWhileAside, SavedThenAnew, Removed };
  for (FileSystemKind kind : {Links, FreeNames, Neither})
    for (Game game : {Quiet, InPlace, SameAtFirst, ByRename, AnewWhileAside, SavedThenAnew, Removed})
      for (int finishMs : game == InPlace ? std::vector<int>{3, 30, 150} : std::vector<int>{30}) {
        SCOPED_TRACE("kind " + std::to_string(kind) + ", game " + std::to_string(game) + ", " +
                     std::to_string(finishMs) + " ms");
        const ReadState read = WriteForSave(f);
        int held = ::open(f.c_str(), O_WRONLY);  // the game's handle on its file
        ASSERT_GE(held, 0);
        std::thread rest;
        ReplaceResult result;
        std::vector<FileCall> calls;
        {
          FileCallLog log(f);
          ActAs(log, kind);
          // The game closes its handle once its save has ended.
          auto closeHeld = [&] {
            ::close(held);
            held = -1;
          };
          ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
            // Without free-name renames or links the name is looked at
            // right before the rename: a file made before that look stays.
            if (point == SavePoint::Aside && (game == SavedThenAnew || (game == AnewWhileAside && kind == Neither)))
              WriteFile(f, save);
            if (point != SavePoint::BeforeSwap) return;
            if (game == SavedThenAnew) {
              ASSERT_EQ(::pwrite(held, "saved", 5, 0), 5);
            } else if (game == InPlace || game == SameAtFirst) {
              const std::string whole = game == InPlace ? save : "original" + save;
              const std::size_t first = game == InPlace ? 20 : 8;
              ASSERT_EQ(::ftruncate(held, 0), 0);
              ASSERT_EQ(::pwrite(held, whole.data(), first, 0), static_cast<ssize_t>(first));
              rest = std::thread([fd = held, whole, first, finishMs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(finishMs));
                const ssize_t n = ::pwrite(fd, whole.data() + first, whole.size() - first, static_cast<off_t>(first));
                EXPECT_EQ(n, static_cast<ssize_t>(whole.size() - first));
                ::close(fd);
              });
              held = -1;
              return;
            } else if (game == ByRename) {
              WriteFile(dir.file("game.tmp"), save);
              RenameOver(dir.file("game.tmp"), f);
            } else if (game == AnewWhileAside && kind != Neither) {
              log.ActBefore(kind == Links ? "link" : "noreplace", [&] { WriteFile(f, save); });
            } else if (game == Removed) {
              RenameOver(f, dir.file("c.ini.game"));
            }
            closeHeld();
          });
          result = ReplaceReadFile(f, {"new"}, read.stamp, read.bytes, {100, 5000});
          calls = log.Calls();
        }
        if (rest.joinable()) rest.join();
        if (held >= 0) ::close(held);
        if (game == Removed) {  // (the game's rename is the last)
          EXPECT_EQ(result.outcome, ReplaceOutcome::Changed);
          EXPECT_EQ(LastFileError().Text(), "changed by another program");
          EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini.game"});
          RenameOver(dir.file("c.ini.game"), f);
          continue;
        }
        EXPECT_TRUE(FlushedAfterLastRename(calls, f));
        EXPECT_EQ(ReadFile(f), game == Quiet ? "new" : game == SameAtFirst ? "original" + save : save);
        if (game == SavedThenAnew) {
          ASSERT_EQ(result.outcome, ReplaceOutcome::Kept) << LastFileError().Text();
          EXPECT_EQ(ReadFile(result.kept), "savednal");
          EXPECT_NE(LastFileError().Text().find(result.kept), std::string::npos) << LastFileError().Text();
          std::filesystem::remove(FsPath(result.kept));
          continue;
        }
        EXPECT_EQ(result.outcome, game == Quiet ? ReplaceOutcome::Done : ReplaceOutcome::Changed) << LastFileError().Text();
        EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini"});
      }
  // The new file cannot be put in and the original cannot go back: it is
  // kept beside, said where, and the next run on the file (this process's
  // too) puts it back before it reads.
  const std::string original = "[Misc]\r\nState=original\r\n";
  WriteFile(f, original);
  const ReadState read = ReadForSave(f);
  ReplaceResult result;
  {
    FileCallLog log(f);
    log.FailCalls("statfs", ENOSYS);  // a file system of an unknown kind
    log.FailCalls("exchange", EINVAL);
    ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
      if (point != SavePoint::BeforeSwap) return;
      log.ActBefore("noreplace", [&] {  // the file is aside; nothing goes in, nothing goes back
        log.FailCalls("noreplace", EIO);
        log.FailCalls("rename", EIO, 10);
      });
    });
    result = ReplaceReadFile(f, {"new"}, read.stamp, read.bytes);
  }
  ASSERT_EQ(result.outcome, ReplaceOutcome::Unknown);
  EXPECT_NE(LastFileError().Text().find("kept in " + result.kept), std::string::npos) << LastFileError().Text();
  EXPECT_EQ(ReadFile(result.kept), original);
  CharacterFileSession file;
  ASSERT_TRUE(file.Open(f, TestWaits()));
  EXPECT_EQ(file.Document().Read("Misc", "State"), "original");
  EXPECT_EQ(file.Notes().size(), 1u);
  file.Close();
  EXPECT_FALSE(file.Open("", TestWaits()));  // a session used again says nothing of the last one
  EXPECT_TRUE(file.Notes().empty());
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini"});
}

// Another file renamed over the path while the read is under way: the read
// gives that file's bytes, with that file's stamp, also where stamps are
// too coarse to show the replaced file's change (FAT).
TEST(ReadFileBytes, AFileRenamedOverThePathDuringTheReadGivesTheNewOne) {
  TempDir dir;
  const std::string f = dir.file("c.ini");
  WriteFile(f, "old bytes");
  WriteFile(dir.file("new"), "new, longer bytes");
  std::string bytes;
  FileStamp stamp, now;
  {
    FileCallLog log(f);
    log.CoarseStamps();
    log.ActBefore("read", [&] { RenameOver(dir.file("new"), f); });
    ASSERT_EQ(ReadFileBytes(f, bytes, stamp), ReadStatus::Ok);
    ASSERT_TRUE(StampFile(f, now));
  }
  EXPECT_EQ(bytes, "new, longer bytes");
  EXPECT_TRUE(stamp == now);
}

// Files written together (a backup, its note, the folder's source.txt):
// when the second or third cannot be prepared, none is written and none of
// the temporary files stays.
TEST(ReplaceFilesTogether, AFileThatCannotBePreparedLeavesNoTemporaryFileOfAny) {
  for (int failing : {2, 3}) {
    TempDir dir;
    WriteFile(dir.file("b"), "old b");
    const std::vector<FileWrite> writes = {
        {dir.file("a"), {"a"}, true}, {dir.file("b"), {"b"}, false}, {dir.file("c"), {"c"}, false}};
    FileCallLog log(dir.file("a"));
    std::function<void()> next = [&] { log.FailCalls("fchmod", EIO, 1); };  // giving the temporary file its mode
    for (int prepared = 1; prepared < failing; ++prepared)
      next = [&log, next] { log.ActBefore("fchmod", next); };
    log.ActBefore("fchmod", next);
    EXPECT_EQ(ReplaceFilesTogether(writes), 0u) << failing;
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"b"}) << failing;
    EXPECT_EQ(ReadFile(dir.file("b")), "old b");
  }
}

// A step of a save that fails, or cannot read what it must look at, ends
// with the file as it was, nothing of the run's beside it, the system's
// reason said, and the folder flushed after any rename.
TEST(ReplaceReadFile, AFailedStepLeavesTheFileAsItWasWithTheSystemsReason) {
  struct Case {
    const char* what;
    FileSystemKind kind;
    SavePoint at;      // from here on, the next call of kind `fail` fails
    const char* fail;
    ReplaceOutcome outcome;
    const char* reason;  // how LastFileError() begins
  };
  const Case cases[] = {
      {"the final check cannot read", Exchange, SavePoint::BeforeCheck, "read", ReplaceOutcome::Failed,
       "can't be read for the check before writing: "},
      {"the exchanged file unreadable", Exchange, SavePoint::AfterSwap, "read", ReplaceOutcome::Changed,
       "changed by another program"},
      {"the moved-aside file unreadable", FreeNames, SavePoint::AfterSwap, "read", ReplaceOutcome::Changed,
       "changed by another program"},
      {"moving aside fails", FreeNames, SavePoint::BeforeSwap, "rename", ReplaceOutcome::Failed, "input/output error"},
      {"putting in by name fails", FreeNames, SavePoint::Aside, "noreplace", ReplaceOutcome::Failed,
       "input/output error"},
      {"linking in fails", Links, SavePoint::Aside, "link", ReplaceOutcome::Failed, "input/output error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string f = dir.file("c.ini");
    const ReadState read = WriteForSave(f);
    ReplaceResult result;
    std::vector<FileCall> calls;
    {
      FileCallLog log(f);
      log.FailCalls("statfs", ENOSYS);  // a file system of an unknown kind
      if (c.kind != Exchange) log.FailCalls("exchange", EINVAL);
      log.FailCalls("watch", ENOSPC);  // out of watches: what was swapped out must be read
      if (c.kind == Links) log.FailCalls("noreplace", EINVAL);
      if (c.kind == FreeNames) log.FailCalls("link", EPERM);
      ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
        if (point == c.at) log.FailCalls(c.fail, EIO, 1);
      });
      result = ReplaceReadFile(f, {"new"}, read.stamp, read.bytes);
      calls = log.Calls();
    }
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(LastFileError().Text().rfind(c.reason, 0), 0u) << LastFileError().Text();
    EXPECT_EQ(ReadFile(f), "original");
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini"});
    EXPECT_TRUE(FlushedAfterLastRename(calls, f));
  }
}

// A save in place opened before the swap (exchange, links, free-name
// renames, neither) and written only after the moment the run looks at the
// file it displaced: the run waits for the game to close its handle, and the
// save ends as the file; where leases cannot be had, the descriptors /proc
// lists tell the same. Still open when the wait runs out, the displaced
// file is kept beside and said where.
TEST(ReplaceReadFile, ASaveOpenedBeforeTheSwapAndWrittenAfterTheLookIsKept) {
  const std::string save = "[Quickbar]\r\nHotkey_0=45,1300101,,-1\r\n[Chat]\r\nline=saved by the game\r\n";
  for (FileSystemKind kind : {Exchange, Links, FreeNames, Neither})
    for (bool leases : {true, false})
      for (bool closes : {true, false}) {
        if (!closes && (kind != Exchange || !leases)) continue;
        SCOPED_TRACE("kind " + std::to_string(kind) + (leases ? ", leases" : ", no leases") +
                     (closes ? "" : ", never closed"));
        TempDir dir;
        const std::string f = dir.file("c.ini");
        const ReadState read = WriteForSave(f);
        const int held = ::open(f.c_str(), O_WRONLY);  // opened before the swap, nothing written yet
        ASSERT_GE(held, 0);
        std::thread game;
        ReplaceResult result;
        {
          FileCallLog log(f);
          ActAs(log, kind);
          if (!leases) log.FailCalls("lease", EINVAL);
          ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
            if (point != SavePoint::BeforeSwap || !closes) return;
            game = std::thread([held, &save] {
              std::this_thread::sleep_for(std::chrono::milliseconds(300));  // well after the look
              EXPECT_EQ(::pwrite(held, save.data(), save.size(), 0), static_cast<ssize_t>(save.size()));
              ::close(held);
            });
          });
          result = ReplaceReadFile(f, {"new"}, read.stamp, read.bytes, {0, closes ? 5000 : 400});
        }
        if (game.joinable()) game.join();
        if (!closes) {
          ASSERT_EQ(result.outcome, ReplaceOutcome::Kept) << LastFileError().Text();
          EXPECT_EQ(ReadFile(f), "new");
          EXPECT_EQ(ReadFile(result.kept), "original");
          EXPECT_NE(LastFileError().Text().find(result.kept), std::string::npos) << LastFileError().Text();
          ::close(held);
          continue;
        }
        EXPECT_EQ(result.outcome, ReplaceOutcome::Changed) << LastFileError().Text();
        EXPECT_EQ(ReadFile(f), save);
        EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini"});
      }
  // A writable mapping made before the swap, its descriptor closed, stored
  // into after the look: without leases, /proc's list of mappings tells.
  TempDir dir;
  const std::string f = dir.file("c.ini");
  const ReadState read = WriteForSave(f);
  const int fd = ::open(f.c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  char* mapped = static_cast<char*>(::mmap(nullptr, 8, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
  ::close(fd);
  ASSERT_NE(mapped, MAP_FAILED);
  std::thread game;
  ReplaceResult result;
  {
    FileCallLog log(f);
    log.FailCalls("lease", EINVAL);
    ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
      if (point != SavePoint::BeforeSwap) return;
      game = std::thread([mapped] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::memcpy(mapped, "SAVEDNOW", 8);
        ::munmap(mapped, 8);
      });
    });
    result = ReplaceReadFile(f, {"new"}, read.stamp, read.bytes, {0, 5000});
  }
  game.join();
  EXPECT_EQ(result.outcome, ReplaceOutcome::Changed) << LastFileError().Text();
  EXPECT_EQ(ReadFile(f), "SAVEDNOW");
}

// The write watch is trusted only where every write passes through this
// kernel: on a network or FUSE file system, or one of a kind not known (a
// writer elsewhere writes unseen), the displaced file is always read back,
// so a read that fails there leaves the file to the other program's
// version; on a local file system of a known kind nothing wrote, and it is
// not read.
TEST(ReplaceReadFile, TheWriteWatchIsTrustedOnlyOnLocalFileSystems) {
  const struct {
    const char* what;
    unsigned long kind;  // 0: statfs fails
    ReplaceOutcome outcome;
  } cases[] = {{"ext4", 0xEF53, ReplaceOutcome::Done},
               {"FUSE", 0x65735546, ReplaceOutcome::Changed},
               {"NFS", 0x6969, ReplaceOutcome::Changed},
               {"CIFS", 0xFF534D42, ReplaceOutcome::Changed},
               {"unknown", 0, ReplaceOutcome::Changed}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string f = dir.file("c.ini");
    const ReadState read = WriteForSave(f);
    ReplaceResult result;
    {
      FileCallLog log(f);
      if (c.kind) log.ReportFileSystemKind(c.kind);
      else log.FailCalls("statfs", ENOSYS);
      ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
        if (point == SavePoint::AfterSwap) log.FailCalls("read", EIO, 1);
      });
      result = ReplaceReadFile(f, {"new"}, read.stamp, read.bytes, {0, 5000});
    }
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(ReadFile(f), c.outcome == ReplaceOutcome::Done ? "new" : "original");
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini"});
  }
}

// A run killed without an exchange, after moving the file aside or after
// putting its own in, and the next run killed while it keeps what that one
// left, leave the game's save (written into the file right after the final
// check) under a name; the run after puts it back or keeps it as a backup it
// names, and leaves nothing else beside the file.
TEST(ReplaceReadFile, AKillWithoutExchangeLeavesTheGamesSaveToTheNextRun) {
  const std::string save = "[Misc]\r\nSaved=by the game\r\n";
  for (const char* moment : {"after moving aside", "after the new file went in", "while the next run keeps it"}) {
    SCOPED_TRACE(moment);
    const SavePoint killed = moment[6] == 'm' ? SavePoint::Aside : SavePoint::AfterSwap;
    TempDir dir;
    const std::string f = dir.file("c.ini");
    const ReadState read = WriteForSave(f, "[Misc]\r\nSaved=original\r\n");
    pid_t run = ::fork();
    if (run == 0) {
      FileCallLog log(f);
      log.FailCalls("statfs", ENOSYS);  // a file system of an unknown kind
      log.FailCalls("exchange", EINVAL);
      ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
        if (point == SavePoint::BeforeSwap) WriteFile(f, save);  // the game, in place
        if (point == killed) ::_exit(9);
      });
      ReplaceReadFile(f, {"new"}, read.stamp, read.bytes);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(run, &status, 0), run);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << status;
    if (moment[0] == 'w') {
      pid_t keeping = ::fork();
      if (keeping == 0) {
        FileCallLog log(f);
        CharacterFileSession session;
        session.Open(f, TestWaits(), [&](const std::string& displaced, std::string& where) {
          log.ActBefore("rename", [] { ::_exit(9); });  // the backup written, not yet named
          return KeepDisplacedSave(f, displaced, where);
        });
        ::_exit(0);
      }
      ASSERT_EQ(::waitpid(keeping, &status, 0), keeping);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << status;
    }
    CharacterFileSession next;
    ASSERT_TRUE(next.Open(f, TestWaits(), DisplacedSaveKeeper(f)));
    KeepBackupsOf(next, f, "the next build");
    std::vector<std::string> holding;  // the file and the backups that hold the save
    if (ReadFile(f) == save) holding.push_back(f);
    for (const BackupInfo& b : ListBackups(f))
      if (ReadFile(b.path) == save) holding.push_back(b.path);
    ASSERT_EQ(holding.size(), 1u);
    std::string notes;
    for (const Reason& note : next.Notes()) notes += note.Text() + "\n";
    if (holding[0] != f) {
      EXPECT_NE(notes.find(NameOf(holding[0])), std::string::npos) << notes;
    }
    next.Close();
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini"});
  }
}

// The client is found by its process name, or by the Windows path Wine
// gives as its first argument; an entry that ended (not yet reaped, or gone)
// or cannot be read is passed over, and the rest are still found.
TEST(GameProcessScan, FindsTheClientByNameOrPathAndPassesOverWhatItCannotRead) {
  using namespace std::string_literals;
  TempDir proc;
  auto entry = [&](const std::string& id, const std::map<std::string, std::string>& files) {
    std::filesystem::create_directory(proc.file(id));
    for (const auto& [name, bytes] : files) WriteFile(proc.file(id + "/" + name), bytes);
  };
  std::string fields;  // fields 4 to 21 of a stat line (after the state), then the start time
  for (int field = 4; field < 22; ++field) fields += std::to_string(field) + " ";
  entry("100", {{"comm", "game.dll\n"}, {"stat", "100 (game.dll) x) S " + fields + "12345 23 24"}});
  entry("150", {{"comm", "game.dll\n"}, {"stat", "150 (game.dll) Z " + fields + "12345 23 24"}});  // ended, unreaped
  entry("200", {{"comm", "wine64-preloade\n"},  // cut
                {"cmdline", "C:\\Program Files\\Dark Age of Camelot\\GAME.DLL\0-ws\0"s}});
  entry("300", {{"comm", "bash\n"}, {"cmdline", "/usr/bin/game.dll.bak\0"s}});
  entry("400", {});  // ended between the listing and the look
  entry("500", {});
  std::filesystem::create_directory(proc.file("500/comm"));  // cannot be read
  std::filesystem::create_directory(proc.file("500/cmdline"));
  entry("600", {{"comm", "wine-preloader\n"}, {"cmdline", "/opt/game.dll\0"s}});
  entry("self", {{"comm", "game.dll\n"}});
  entry("700", {{"comm", "wine\n"}, {"cmdline", "Z:\\opt\\game.dll\0"s}});
  entry("750", {{"comm", "DAoC-Launcher.e\n"}, {"cmdline", "C:\\DAoC\\game.dll\0"s}});  // cut at 15 bytes
  entry("800", {{"comm", "python3\n"}, {"cmdline", "game.dll\0"s}});  // neither cut nor Wine's: its name says it all
  WriteFile(proc.file("900"), "not a process");
  std::vector<GameProcess> found = FindGameProcessesIn(proc.path());
  std::sort(found.begin(), found.end(), [](const GameProcess& a, const GameProcess& b) { return a.id < b.id; });
  ASSERT_EQ(found.size(), 5u);
  EXPECT_EQ(found[0], (GameProcess{100, 12345}));
  EXPECT_EQ(found[1], (GameProcess{200, 0}));
  EXPECT_EQ(found[2], (GameProcess{600, 0}));
  EXPECT_EQ(found[3], (GameProcess{700, 0}));
  EXPECT_EQ(found[4], (GameProcess{750, 0}));
  EXPECT_TRUE(FindGameProcessesIn(proc.file("gone")).empty());
}

// A file system that keeps no permission bits (FAT through FUSE answers
// fchmod with "function not implemented", the kernel's FAT with "operation
// not permitted") saves all the same.
TEST(ReplaceReadFile, AFileSystemWithoutPermissionBitsStillSaves) {
  TempDir dir;
  const std::string f = dir.file("c.ini");
  for (int answer : {ENOSYS, EPERM}) {  // FUSE's answer, and FAT's
    const ReadState read = WriteForSave(f);
    FileCallLog log(f);
    log.FailCalls("fchmod", answer);
    EXPECT_EQ(ReplaceReadFile(f, {"new"}, read.stamp, read.bytes).outcome, ReplaceOutcome::Done) << answer;
    EXPECT_EQ(ReadFile(f), "new");
  }
}
#endif

#ifdef _WIN32
constexpr const char* kSwapCall = "replace";
constexpr const char* kMoveCall = "move";
constexpr int kMoveError = 29;  // ERROR_WRITE_FAULT
#else
constexpr const char* kSwapCall = "exchange";
constexpr const char* kMoveCall = "rename";
constexpr int kMoveError = EIO;
#endif

// The game saves in place between the final check and the swap, and its
// file cannot be moved back (a virus scanner holds it): the save is kept
// as the newest backup, the run fails saying where, and the backup of what
// the run read stays.
TEST(CharacterFileSession, AGameSaveThatCannotBePutBackBecomesTheNewestBackup) {
  TempDir dir;
  const std::string f = dir.file("Alarion-4.ini");
  const std::string original = "[Quickbar2]\r\nHotkey_1=0,1,2\r\n", game = "[Quickbar2]\r\nHotkey_1=saved by the game\r\n";
  WriteFile(f, original);
  CharacterFileSession file;
  // A change saved while the game saves, whose file then cannot be moved back.
  auto saveOverTheGame = [&] {
    ASSERT_TRUE(file.Document().Write("Quickbar2", "Hotkey_2", "45,13,2"));
    FileCallLog log(f);
    ScopedSavePointHook saves([&](SavePoint point, const std::string&) {
      if (point == SavePoint::BeforeSwap) WriteFile(f, game);
    });
    log.ActBefore(kSwapCall, [&] { log.FailCalls(kMoveCall, kMoveError, 10); });
    EXPECT_FALSE(file.Save());
  };
  ASSERT_TRUE(file.Open(f, TestWaits(), DisplacedSaveKeeper(f)));
  KeepBackupsOf(file, f, "build of t.vsk onto Quickbar2 bars 1-1");
  saveOverTheGame();
  EXPECT_FALSE(file.ChangedMeanwhile());  // not a change to build on silently
  EXPECT_NE(file.Error().Text().find("it is kept as the backup "), std::string::npos) << file.Error().Text();
  auto backups = ListBackups(f);
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(ReadFile(backups[0].path), game);
  EXPECT_EQ(NoteText(backups[0].note).rfind("the game's save, displaced by a run at ", 0), 0u) << NoteText(backups[0].note);
  EXPECT_EQ(ReadFile(backups[1].path), original);
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"Alarion-4.ini"});

  // Nowhere to keep it (the backup cannot be written): it stays beside the file, said where.
  WriteFile(f, original);
  ASSERT_TRUE(file.Open(f, TestWaits(), [](const std::string&, std::string&) { return false; }));
  saveOverTheGame();
  const std::vector<std::string> entries = FolderEntries(dir.path());
  ASSERT_EQ(entries.size(), 2u);
  const std::string& kept = entries[0] == "Alarion-4.ini" ? entries[1] : entries[0];
  EXPECT_EQ(ReadFile(dir.file(kept)), game);
  EXPECT_NE(file.Error().Text().find(kept), std::string::npos) << file.Error().Text();
}

#ifdef _WIN32
// ReplaceFileW's partial failures: with 1177 the original is already under
// the displaced name and nothing is at its own; every one ends with the
// original at its name, and the run failing.
TEST(ReplaceReadFile, APartialReplaceFileWLeavesTheOriginalAtItsName) {
  TempDir dir;
  const std::string f = dir.file("c.ini");
  for (int error : {1175, 1176, 1177}) {
    const ReadState read = WriteForSave(f);
    FileCallLog log(f);
    log.FailCalls("replace", error);
    EXPECT_EQ(ReplaceReadFile(f, {"new"}, read.stamp, read.bytes).outcome, ReplaceOutcome::Failed) << error;
    EXPECT_EQ(ReadFile(f), "original") << error;
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini"}) << error;
  }
}
#endif

// A relative path (a typed template) is taken in the planner's folder; an
// absolute one, as the system writes it, stays as it is.
TEST(Paths, OnlyRelativePathsAreTakenInTheWorkFolder) {
  BuildContext context;
  context.workFolder = kPathSeparator == '/' ? "/vesko" : "C:\\vesko";
  EXPECT_EQ(context.InWorkFolder("templates/a.vsk"), JoinPath(context.workFolder, "templates/a.vsk"));
#ifdef _WIN32
  for (const char* absolute : {"Z:\\tmp\\a.vsk", "C:/a.vsk", "\\\\host\\share\\a.vsk", "\\a.vsk"})
#else
  for (const char* absolute : {"/tmp/a.vsk"})
#endif
    EXPECT_EQ(context.InWorkFolder(absolute), absolute);
}

// The hash that names temporary files and vouches for backups is the same
// however the bytes come in pieces, and moves with any byte.
// The programs' quiet time: a second, or a test's number of milliseconds.
TEST(QuietTimeSetting, TakesUpToSixDigitsAndASecondOtherwise) {
  ScopedEnv env;
  const std::pair<std::optional<std::string>, int> cases[] = {
      {std::nullopt, 1000}, {"", 1000}, {"0", 0}, {"250", 250}, {"999999", 999999}, {"1000000", 1000}, {"25ms", 1000}};
  for (const auto& [text, ms] : cases) {
    env.Set("BRINDLEMARQUE_QUIET_MS", text);
    EXPECT_EQ(QuietTimeSetting(), ms) << text.value_or("(unset)");
  }
}

// A stamp vouches for the bytes only when both its times are fine-grained
// and well before the read began: a change time within 100 ms of the read
// (a write in the same tick) leaves it to the bytes, however old the
// modification time a program may have set.
TEST(FileStamp, DecidesOnlyWithBothTimesWellBeforeTheRead) {
  const long long began = 1'800'000'000'123'456'789LL;
  const long long old = began - 500'000'000, recent = began - 50'000'000, whole = 1'800'000'000'000'000'000LL;
  const struct {
    long long modified, changed, began;
    bool decides;
  } cases[] = {{old, old, began, true},     {old, recent, began, false}, {recent, old, began, false},
               {old, 0, began, false},      {whole, old, began, false},  {old, old, 0, false}};
  for (const auto& c : cases) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.modifiedNs = c.modified;
    stamp.changedNs = c.changed;
    stamp.readBeganNs = c.began;
    EXPECT_EQ(stamp.Decides(), c.decides) << c.modified << " " << c.changed << " " << c.began;
  }
}

// A stamp tells of the file as it was when it was taken: quiet by it means
// quiet before the read began, or before a later look found it the same,
// however long ago that was (the file may have been written since).
TEST(FileStamp, IsQuietAsOfTheLookNotNow) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.modifiedNs = FileClockNow() - 10'000'000'123LL;  // ten seconds ago, a fine stamp
  stamp.readBeganNs = stamp.modifiedNs + 100'000'000;    // read 100 ms after it was written
  EXPECT_FALSE(QuietByStamp(stamp, 300));
  EXPECT_TRUE(QuietByStamp(stamp, 300, stamp.modifiedNs + 400'000'000));
  stamp.readBeganNs = 0;  // a stamp taken just now
  EXPECT_TRUE(QuietByStamp(stamp, 300));
}

TEST(ByteHash, PiecesGiveTheHashOfTheWholeAndEveryByteCounts) {
  std::string whole;
  for (int i = 0; i < 1000; ++i) whole += static_cast<char>((i * 131) ^ (i >> 3));
  const std::uint64_t expected = HashOfBytes(whole);
  for (std::size_t piece = 1; piece <= 70; ++piece) {
    ByteHash hash;
    for (std::size_t at = 0; at < whole.size(); at += piece) hash.Add(std::string_view(whole).substr(at, piece));
    EXPECT_EQ(hash.Value(), expected) << piece;
  }
  for (std::size_t at : {0u, 31u, 32u, 500u, 999u}) {
    std::string changed = whole;
    changed[at] ^= 1;
    EXPECT_NE(HashOfBytes(changed), expected) << at;
  }
  EXPECT_NE(HashOfBytes(whole + '\0'), expected);
  // The hash stands in backups' notes and temporary files' names on disk:
  // it may never change. Trailing zero bytes count, whole blocks too.
  std::string block64;
  for (int i = 0; i < 64; ++i) block64 += static_cast<char>(i);
  const std::pair<std::string, const char*> known[] = {
      {"", "de7974ee41e3e5c9"},
      {"a", "cbe664f548a67707"},
      {std::string("a\0", 2), "3e7121412c82337a"},
      {std::string("a\0\0", 3), "be4eddda1f6e99dd"},
      {std::string(32, 'a'), "73723d4a78ab7474"},
      {block64, "1493d2f25e03f23a"},
      {"[Quickbar]\r\nHotkey_0=45,1300101,,-1\r\n", "2406c0cd558fbb9e"}};
  for (const auto& [bytes, text] : known) EXPECT_EQ(HashTextOfBytes(bytes), text) << bytes.size();
}
