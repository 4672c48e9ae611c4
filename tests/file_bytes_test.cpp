// Whole-file reads and atomic replacement.
#include "file_bytes.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
  EXPECT_EQ(ReadFileBytes(dir.file("fifo"), bytes), ReadStatus::Failed);
  EXPECT_EQ(ReadFileBytes(dir.file("a"), bytes, 2), ReadStatus::Failed);
}

TEST(ReplaceFileAtomically, FailureLeavesTheOriginalAndNoTemporaryFile) {
  TempDir dir;
  std::string f = dir.file("t.vsk");
  WriteFile(f, "original");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);  // no new file can be made here
  bool replaced = ReplaceFileAtomically(f, "new");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  if (::geteuid() != 0) {
    EXPECT_FALSE(replaced);  // root may write anyway
  }
  if (!replaced) {
    EXPECT_EQ(ReadFile(f), "original");
  }
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++entries;
  EXPECT_EQ(entries, 1);
}
