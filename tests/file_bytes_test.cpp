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
