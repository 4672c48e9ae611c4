// The bars a preview describes, slot by slot, for a realistic range.
#include "bar_picture.h"

#include <gtest/gtest.h>

#include "build_run.h"
#include "config_files.h"
#include "test_support.h"

namespace {

// One bar as text: per slot its content (R recipe, S spacer, K kept, . empty)
// and '~' where the run removed or replaced a key, else ' '.
std::string Row(const PictureBar& bar) {
  std::string row;
  for (const PictureSlot& slot : bar.slots) {
    const char content[] = {'.', 'R', 'S', 'K'};
    row += content[static_cast<int>(slot.content)];
    row += slot.replaced ? '~' : ' ';
  }
  return row;
}

}  // namespace

// The sample template (21 recipes, 6 spacers) walked in reverse over bars
// 2-4 without cleanup: bar 4 first, then 3, then 2, where the player's spell
// and macro on the walk are replaced, and a spell and a macro beyond the walk
// stay (the macro renumbered by the compaction: still the player's, not replaced).
TEST(DescribeBars, AReversePreviewOverThePlayersKeys) {
  TempDir dir;
  const std::string character = dir.file("Alarion-4.ini");
  WriteFile(character,
            "[Quickbar2]\r\nHotkey_10=4,1,Slam,-1\r\nHotkey_11=52,0,Macro 0,-1\r\nHotkey_18=52,5,Macro 5,-1\r\n"
            "Hotkey_19=4,2,Shield Bash,-1\r\nHotkey_55=45,1300010,,-1\r\n\r\n[Macros]\r\nMacro_0=mine,/say hi\r\n"
            "Macro_5=other,/wave\r\n[Chat]\r\nLine=1");
  const std::string before = ReadFile(character);
  BuildContext context;
  RecordingSink sink;
  context.waits = TestWaits();
  const std::string vesko = std::string(EXAMPLES_DIR) + "/vesko";
  ASSERT_TRUE(sink.LoadConfig(context, vesko));
  context.job.templatePath = vesko + "/templates/Alarion_Armsman.vsk";
  context.job.characterPath = character;
  context.job.quickbar = 2;
  context.job.firstBar = 2;
  context.job.lastBar = 4;
  context.job.options = OPT_SPACER | OPT_REVERSE;

  const RunOutcome preview = RunBuild(context, RunMode::Preview);
  ASSERT_EQ(preview.kind, RunKind::Built) << (sink.messages.empty() ? "" : sink.messages[0]);
  BarPicture picture = BarsOf(preview, context.job);
  EXPECT_EQ(ReadFile(character), before);  // a preview

  ASSERT_EQ(picture.bars.size(), 3u);
  EXPECT_TRUE(picture.reverse);
  EXPECT_EQ(Row(picture.bars[2]), "S R R R R S R R R S ");  // bar 4, walked first
  EXPECT_EQ(Row(picture.bars[1]), "R R R R S R R R R S ");
  EXPECT_EQ(Row(picture.bars[0]), "R~R~R S R R R . K K ");  // bar 2: 7 slots left to fill
  const PictureBar& bar4 = picture.bars[2];
  EXPECT_EQ(bar4.bar, 4);
  EXPECT_EQ(bar4.slots[0].order, 1);
  EXPECT_EQ(bar4.slots[0].label, "Helm");
  EXPECT_EQ(bar4.slots[1].label, "str 22");
  EXPECT_EQ(bar4.slots[1].group, "stat");
  EXPECT_EQ(picture.bars[1].slots[0].order, 11);
  const PictureBar& bar2 = picture.bars[0];
  EXPECT_EQ(bar2.slots[0].before, "4,1,Slam,-1");
  EXPECT_EQ(bar2.slots[1].before, "52,0,Macro 0,-1");
  EXPECT_EQ(bar2.slots[9].label, "Shield Bash");
  EXPECT_EQ(bar2.slots[9].order, 30);
  EXPECT_TRUE(bar2.touched);
}
