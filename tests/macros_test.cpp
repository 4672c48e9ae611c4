// Macro compaction and spacer macros.
#include "macros.h"

#include <gtest/gtest.h>

#include "ini_document.h"
#include "test_support.h"

namespace {

// A character file's content in memory.
struct Character {
  IniDocument file;
  explicit Character(const std::string& bytes) : file(bytes) {}
};

}  // namespace

TEST(CompactMacros, RenumbersInBarOrderAndDropsSpacersAndOrphans) {
  // Hand edits spell a macro hotkey "052,", "+52," or "52 ,": its leading integer is 52 all the same.
  Character c(
      "[Quickbar]\r\nGroupSize=10\r\nHotkey_0=52,4,Macro 4,-1\r\nHotkey_1=52,2,Macro 2,-1\r\n"
      "Hotkey_2=52,9,Macro 9,-1\r\nHotkey_3=45,1301402,,-1\r\nHotkey_4=052,5,Macro 5,-1\r\n"
      "Hotkey_5=+52,6,Macro 6,-1\r\nHotkey_6=52 ,7,Macro 7,-1\r\n\r\n"
      "[Quickbar3]\r\nHotkey_99=52,4,Macro 4,-1\r\nHotkey_100=52,1,Macro 1,-1\r\n\r\n"
      "[Quickbar4]\r\nHotkey_0=52,1,Macro 1,-1\r\n\r\n"
      "[Macros]\r\nMacro_1=Orphan,/say nobody uses me\r\nMacro_2=Helm,/ROFL (BY BRINDLEMARQUE)\r\n"
      "Macro_4=Assist,/assist Maeve\r\nMacro_5=Five,/say 5\r\nMacro_6=Six,/say 6\r\nMacro_7=Seven,/say 7\r\n"
      "\r\n[Chat]\r\nFont=Arial\r\n");
  ASSERT_TRUE(CompactMacros(c.file));
  EXPECT_EQ(c.file.Bytes(),
            "[Quickbar]\r\nGroupSize=10\r\nHotkey_0=52,0,Macro 0,-1\r\nHotkey_3=45,1301402,,-1\r\n"
            "Hotkey_4=52,1,Macro 1,-1\r\nHotkey_5=52,2,Macro 2,-1\r\nHotkey_6=52,3,Macro 3,-1\r\n\r\n"
            "[Quickbar3]\r\nHotkey_99=52,4,Macro 4,-1\r\nHotkey_100=52,1,Macro 1,-1\r\n\r\n"
            "[Quickbar4]\r\nHotkey_0=52,1,Macro 1,-1\r\n\r\n"
            "[Macros]\r\nMacro_0=Assist,/assist Maeve\r\nMacro_1=Five,/say 5\r\nMacro_2=Six,/say 6\r\n"
            "Macro_3=Seven,/say 7\r\nMacro_4=Assist,/assist Maeve\r\n\r\n[Chat]\r\nFont=Arial\r\n");
}

TEST(CompactMacros, WithoutMacroHotkeysTheSectionIsEmptied) {
  Character c("[Quickbar]\r\nHotkey_0=45,1,,-1\r\n[Macros]\r\nMacro_0=a,/sit\r\nMacro_1=b,/stand\r\n");
  ASSERT_TRUE(CompactMacros(c.file));
  EXPECT_EQ(c.file.Bytes(), "[Quickbar]\r\nHotkey_0=45,1,,-1\r\n[Macros]\r\n");
}

TEST(CompactMacros, OddValuesFollowTheirOwnRules) {
  std::string longMacro = "Long," + std::string(1500, 'x');
  Character c(
      "[Quickbar2]\r\nHotkey_0=52\r\nHotkey_1=52,0,Macro 0,-1\r\nHotkey_2=52,1,Macro 1,-1\r\n"
      "Hotkey_3=52,2,Macro 2,-1\r\nHotkey_4=52,3,Macro 3,-1\r\nHotkey_5= 52,5\r\n"
      "[Macros]\r\nMacro_0=Helm, Hals,/rofl (by Brindlemarque)\r\nMacro_1=" + longMacro +
      "\r\nMacro_2=NoComma\r\nMacro_3=\r\nMacro_5=x,/rofl (by brindlemarque)\r\n");
  ASSERT_TRUE(CompactMacros(c.file));
  EXPECT_EQ(c.file.Read("Quickbar2", "Hotkey_0"), "52");  // no comma: not a macro hotkey
  EXPECT_EQ(c.file.Read("Quickbar2", "Hotkey_1"), "52,0,Macro 0,-1");
  EXPECT_EQ(c.file.Read("Macros", "Macro_0"), "Helm, Hals,/rofl (by Brindlemarque)");  // comma in label: kept
  EXPECT_EQ(c.file.Read("Macros", "Macro_1"), longMacro);  // kept whole
  EXPECT_EQ(c.file.Read("Macros", "Macro_2"), "NoComma");
  EXPECT_EQ(c.file.Read("Quickbar2", "Hotkey_3"), "52,2,Macro 2,-1");
  EXPECT_EQ(c.file.Read("Quickbar2", "Hotkey_4"), "");  // empty macro
  EXPECT_EQ(c.file.Read("Quickbar2", "Hotkey_5"), "");  // spacer, other case
  EXPECT_EQ(c.file.Read("Macros", "Macro_3"), "");
}

TEST(CompactMacros, RunningTwiceChangesNothingMore) {
  Character c(ReadFile(DataPath("character_crlf.ini")));
  ASSERT_TRUE(CompactMacros(c.file));
  std::string once = c.file.Bytes();
  ASSERT_TRUE(CompactMacros(c.file));
  EXPECT_EQ(c.file.Bytes(), once);
  EXPECT_EQ(c.file.Read("Macros", "Macro_0"), "Buff,/say Gr\xfc\xdf dich");
}

TEST(AddSpacerMacro, TakesTheFirstFreeNumberAndWritesItsHotkey) {
  Character c("[Macros]\r\nMacro_0=a,b\r\nMacro_1=a,b\r\nMacro_2=a,b\r\nMacro_3=a,b\r\nMacro_4=a,b\r\n");
  JobSettings job;
  job.quickbar = 1;
  job.firstBar = job.lastBar = 1;
  SlotCursor cursor;
  ResetSlotCursor(job, cursor);
  ASSERT_TRUE(AddSpacerMacro(c.file, job, cursor, "F\xfc\xdf" "e"));
  EXPECT_EQ(c.file.Read("Macros", "Macro_5"), "F\xfc\xdf" "e,/rofl (by Brindlemarque)");
  EXPECT_EQ(c.file.Read("Quickbar", "Hotkey_0"), "52,5,Macro 5,-1");
  EXPECT_EQ(cursor.code, 1011);
}

TEST(AddSpacerMacro, ExhaustedCursorLeavesOnlyTheMacro) {
  Character c("");
  JobSettings job;
  SlotCursor cursor;
  ResetSlotCursor(job, cursor);
  cursor.exhausted = true;
  EXPECT_FALSE(AddSpacerMacro(c.file, job, cursor, "Helm"));
  EXPECT_FALSE(c.file.Failed());
  EXPECT_EQ(c.file.Bytes(), "[Macros]\r\nMacro_0=Helm,/rofl (by Brindlemarque)\r\n");
}

TEST(AddSpacerMacro, NeverOverwritesWhenAllHundredAreTaken) {
  std::string bytes = "[Macros]\r\n";
  for (int i = 0; i < 100; ++i) bytes += "Macro_" + std::to_string(i) + "=m,/say " + std::to_string(i) + "\r\n";
  Character c(bytes);
  JobSettings job;
  SlotCursor cursor;
  ResetSlotCursor(job, cursor);
  EXPECT_FALSE(AddSpacerMacro(c.file, job, cursor, "Helm"));
  EXPECT_EQ(c.file.Bytes(), bytes);
  EXPECT_EQ(cursor.code, 2020);
}

TEST(AddSpacerMacro, LabelThatWouldBreakTheFileIsRefused) {
  Character c("[Macros]\r\n");
  JobSettings job;
  SlotCursor cursor;
  ResetSlotCursor(job, cursor);
  EXPECT_FALSE(AddSpacerMacro(c.file, job, cursor, "Helm\r\n[Quickbar]"));
  EXPECT_TRUE(c.file.Failed());
  EXPECT_EQ(c.file.Bytes(), "[Macros]\r\n");
}
