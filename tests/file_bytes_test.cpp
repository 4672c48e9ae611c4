// Whole-file reads and atomic replacement.
#include "file_bytes.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "file_call_log.h"
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
    EXPECT_EQ(LastFileError(), "input/output error");
    EXPECT_EQ(ReadFile(f), "original");
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"c.ini"});
  }
  EXPECT_TRUE(ReplaceFileAtomically(f, "new"));  // a fault hits one replacement only
  EXPECT_EQ(ReadFile(f), "new");
}

TEST(ReplaceFileAtomically, RemovesWhatKilledReplacementsLeftOfTheSameFile) {
  TempDir dir;
  std::string f = dir.file("c.ini");
  WriteFile(f, "original");
  const std::string gone = std::to_string(EndedProcessId());
  const std::string ours = std::to_string(ThisProcessId());
  const std::string deadWriter = ".c.ini.brindlemarque-" + gone + "-AbCdEf";
  const std::string oldFile = ".c.ini.brindlemarque-" + ours + "-OldOne";
  const std::string fresh = ".c.ini.brindlemarque-" + ours + "-Fresh1";  // another replacement may be writing it
  const std::string otherFile = ".d.ini.brindlemarque-" + gone + "-Other1";
  for (const std::string& name : {deadWriter, oldFile, fresh, otherFile}) WriteFile(dir.file(name), "partial");
  std::filesystem::last_write_time(FsPath(dir.file(oldFile)),
                                   std::filesystem::file_time_type::clock::now() - std::chrono::minutes(10));
  EXPECT_TRUE(ReplaceFileAtomically(f, "new"));
  EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{fresh, otherFile, "c.ini"}));
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

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
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
    WriteFile(f, "original");
    std::string read;
    FileStamp stamp;
    ASSERT_EQ(ReadFileBytes(f, read, stamp), ReadStatus::Ok);
    std::vector<FileCall> calls;
    {
      FileCallLog log(f);
      if (save) {
        ASSERT_EQ(ReplaceReadFile(f, "new", stamp, read), ReplaceOutcome::Done);
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
}
