// Slot codes, the walk over a bar range, hotkey writes and range clearing.
#include "slot_cursor.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "ini_document.h"
#include "test_support.h"

namespace {

JobSettings Job(int quickbar, int first, int last, std::uint32_t options) {
  JobSettings job;
  job.quickbar = quickbar;
  job.firstBar = first;
  job.lastBar = last;
  job.options = options;
  return job;
}

// The section/key of every successful write until the range is full.
std::vector<std::string> WriteUntilFull(const JobSettings& job, IniDocument& file, int* calls = nullptr) {
  SlotCursor cursor;
  ResetSlotCursor(job, cursor);
  std::vector<std::string> places;
  for (int i = 0; i < 200; ++i) {
    SlotKey at = GetSlotKey(cursor.code);
    if (!WriteHotkey(file, job, cursor, "v" + std::to_string(i))) break;
    places.push_back(at.section + "/" + at.key);
  }
  if (calls) *calls = static_cast<int>(places.size());
  return places;
}

std::vector<std::string> Keys(const std::string& section, int from, int to) {
  std::vector<std::string> keys;
  for (int k = from; k <= to; ++k) keys.push_back(section + "/Hotkey_" + std::to_string(k));
  return keys;
}

}  // namespace

TEST(SlotKey, NamesSectionAndKey) {
  for (const auto& [code, section, key] : std::vector<std::tuple<SlotCode, std::string, std::string>>{
           {1010, "Quickbar", "Hotkey_0"}, {2045, "Quickbar2", "Hotkey_35"}, {3109, "Quickbar3", "Hotkey_99"}}) {
    EXPECT_EQ(GetSlotKey(code).section, section) << code;
    EXPECT_EQ(GetSlotKey(code).key, key) << code;
  }
}

TEST(SlotWalk, EachRangeIsWalkedInItsOrderTenSlotsPerBarThenRefuses) {
  IniDocument file;
  // One bar forward.
  EXPECT_EQ(WriteUntilFull(Job(1, 1, 1, 0), file), Keys("Quickbar", 0, 9));
  EXPECT_EQ(file.Read("Quickbar", "Hotkey_9"), "v9");
  EXPECT_EQ(file.Read("Quickbar", "Hotkey_10"), "");
  // Reverse: bars down, slots up.
  auto expected = Keys("Quickbar2", 30, 39);
  auto lower = Keys("Quickbar2", 20, 29);
  expected.insert(expected.end(), lower.begin(), lower.end());
  EXPECT_EQ(WriteUntilFull(Job(2, 3, 4, OPT_REVERSE), file), expected);
  // The last bar of quickbar 3, both ways.
  EXPECT_EQ(WriteUntilFull(Job(3, 10, 10, 0), file), Keys("Quickbar3", 90, 99));
  EXPECT_EQ(WriteUntilFull(Job(3, 10, 10, OPT_REVERSE), file), Keys("Quickbar3", 90, 99));
  // Exactly ten slots per bar.
  int calls = 0;
  WriteUntilFull(Job(1, 1, 10, OPT_REVERSE), file, &calls);
  EXPECT_EQ(calls, 100);
  WriteUntilFull(Job(2, 4, 9, 0), file, &calls);
  EXPECT_EQ(calls, 60);
}

TEST(SlotWalk, FinalWriteLeavesCursorOnFinalSlotExhausted) {
  IniDocument file;
  JobSettings job = Job(1, 2, 2, 0);
  SlotCursor cursor;
  ResetSlotCursor(job, cursor);
  for (int i = 0; i < 9; ++i) ASSERT_TRUE(WriteHotkey(file, job, cursor, "x"));
  EXPECT_FALSE(cursor.exhausted);
  EXPECT_TRUE(WriteHotkey(file, job, cursor, "last"));
  EXPECT_TRUE(cursor.exhausted);
  EXPECT_EQ(cursor.code, 1029);
  EXPECT_FALSE(WriteHotkey(file, job, cursor, "more"));
  EXPECT_EQ(file.Read("Quickbar", "Hotkey_19"), "last");
  EXPECT_EQ(cursor.code, 1029);
}

TEST(SlotWalk, UncheckedSettingsNeverWalkPastTheQuickbar) {
  SlotCursor cursor;
  JobSettings job = Job(1, 8, 3, 0);  // first above last, not swapped
  ResetSlotCursor(job, cursor);
  int steps = 0;
  while (AdvanceSlot(job, cursor) && steps < 1000) ++steps;
  EXPECT_LT(steps, 1000);
  EXPECT_TRUE(cursor.exhausted);
}

TEST(ClearSlotRange, CleanupRemovesExactlyTheRange) {
  std::string bytes = "[Quickbar]\r\nGroupSize=10\r\n";
  for (int k = 0; k < 40; ++k) bytes += "Hotkey_" + std::to_string(k) + "=45,1,,-1\r\n";
  bytes += "[Quickbar2]\r\nHotkey_15=keep\r\n[Macros]\r\nMacro_0=a,b\r\n";
  IniDocument file(bytes);
  SlotCursor cursor;
  ASSERT_TRUE(ClearSlotRange(file, Job(1, 2, 3, OPT_CLEANUP | OPT_REVERSE), cursor));
  EXPECT_EQ(cursor.code, 1030);
  EXPECT_FALSE(cursor.exhausted);
  for (int k = 0; k < 40; ++k)
    EXPECT_EQ(file.Read("Quickbar", "Hotkey_" + std::to_string(k)).empty(), k >= 10 && k <= 29) << k;
  EXPECT_EQ(file.Read("Quickbar", "GroupSize"), "10");
  EXPECT_EQ(file.Read("Quickbar2", "Hotkey_15"), "keep");
  EXPECT_EQ(file.Read("Macros", "Macro_0"), "a,b");
}

TEST(ClearSlotRange, WithoutCleanupTheFileIsUntouched) {
  IniDocument file("[Quickbar]\r\nHotkey_10=old\r\nHotkey_15=older\r\n");
  SlotCursor cursor;
  cursor.exhausted = true;
  ASSERT_TRUE(ClearSlotRange(file, Job(1, 2, 3, 0), cursor));
  EXPECT_FALSE(file.Changed());
  EXPECT_EQ(cursor.code, 1020);
  EXPECT_FALSE(cursor.exhausted);
  EXPECT_TRUE(WriteHotkey(file, Job(1, 2, 3, 0), cursor, "new"));
  EXPECT_EQ(file.Read("Quickbar", "Hotkey_15"), "older");  // a slot the run did not reach keeps its hotkey
}
