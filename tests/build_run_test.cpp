// The build run end to end on small files: walk order, limits and failures.
#include "profile_calls.h"
#include "build_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>
#include <tinyxml.h>

#include "backups.h"
#include "build_context.h"
#include "gem_table.h"
#include "paths.h"
#include "config_files.h"
#include "save_points.h"
#include "test_support.h"

namespace {

const char* const kBonus = R"(<Vesko><bonuses>
  <bonus id="a"><group>g</group><gem id="ga"/></bonus>
  <bonus id="b"><group>g</group><gem id="gb"/></bonus>
</bonuses><groups><group id="g">
  <gemlevel bonus="1">1</gemlevel><gemlevel bonus="2">2</gemlevel><gemlevel bonus="3">3</gemlevel>
  <gemlevel bonus="4">4</gemlevel><gemlevel bonus="5">5</gemlevel>
</group></groups></Vesko>)";

const char* const kGemHeader = R"(<data><gems><gem id="ga" r0="1" r1="2" r2="3"/><gem id="gb" r0="10" r1="20" r2="30"/></gems>)";
const char* const kOrder = R"(<order>
  <ord n="1" id="Chest">Brust</ord><ord n="0" id="Helm">Helm</ord><ord n="25" id="Feet">late</ord>
  <ord n="-1" id="Feet">early</ord><ord id="Feet">no number</ord><ord n="2">no id</ord>
  <ord n="2" id="Hands"><b/>odd</ord><ord n=" 3x" id="Legs">Beine</ord><ord n="24" id="Feet">Last</ord>
</order>)";

std::string Item(const std::string& position, const std::string& effects, bool crafted = true) {
  return "<item><position>" + position + "</position>" + (crafted ? "<crafted/>" : "") + effects + "</item>";
}

std::string Effects(int count, const char* id = "a") {
  std::string s;
  for (int i = 1; i <= count; ++i) s += "<effect id=\"" + std::string(id) + "\">" + std::to_string(i) + "</effect>";
  return s;
}

struct BuildFixture {
  TempDir dir;
  RecordingSink sink;
  BuildContext context;
  std::string character = dir.file("Morwen-4.ini");

  explicit BuildFixture(const std::string& items, const std::string& realm = "Albion", const char* order = kOrder) {
    context.waits = TestWaits();
    context.config =
        std::make_unique<ConfigIndex>(Parse(kBonus).get(), Parse(std::string(kGemHeader) + order + "</data>").get());
    WriteFile(dir.file("t.vsk"), "<player><realm>" + realm + "</realm>" + items + "</player>");
    WriteFile(character, "[Quickbar]\r\nGroupSize=10\r\nHotkey_0=old\r\nHotkey_15=keep\r\n[Macros]\r\n");
    context.job.templatePath = dir.file("t.vsk");
    context.job.characterPath = character;
    context.job.quickbar = 1;
    context.job.firstBar = context.job.lastBar = 1;
    context.job.options = OPT_CLEANUP;
  }
  static std::unique_ptr<TiXmlDocument> Parse(const std::string& xml) {
    auto doc = std::make_unique<TiXmlDocument>();
    doc->Parse(xml.c_str());
    return doc;
  }
  std::string Key(int k, const std::string& section = "Quickbar") const {
    std::string v;
    ReadProfileString(character, section, "Hotkey_" + std::to_string(k), v, 1024);
    return v;
  }
  std::string Macro(int m) const {
    std::string v;
    ReadProfileString(character, "Macros", "Macro_" + std::to_string(m), v, 1024);
    return v;
  }
};

}  // namespace

TEST(RunBuild, NothingCraftedSucceedsWithTheRangeEmptied) {
  BuildFixture run(Item("Helm", Effects(3), false));
  EXPECT_TRUE(run.sink.Build(run.context));
  EXPECT_TRUE(run.sink.messages.empty());
  EXPECT_EQ(run.Key(0), "");
  EXPECT_EQ(run.Key(15), "keep");
}

TEST(RunBuild, TwoItemsWithSpacersFillOneBarExactly) {
  BuildFixture run(Item("helm", Effects(4)) + Item("HELM", Effects(4, "b")));
  run.context.job.options |= OPT_SPACER;
  EXPECT_TRUE(run.sink.Build(run.context));
  EXPECT_TRUE(run.sink.messages.empty());
  const std::vector<std::string> expected = {
      "52,0,Macro 0,-1", "45,1300200,,-1", "45,1300201,,-1", "45,1300202,,-1", "45,1300203,,-1",
      "52,1,Macro 1,-1", "45,1302000,,-1", "45,1302001,,-1", "45,1302002,,-1", "45,1302003,,-1"};
  for (int k = 0; k < 10; ++k) EXPECT_EQ(run.Key(k), expected[k]) << k;
  EXPECT_EQ(run.Macro(0), "Helm,/rofl (by Brindlemarque)");
  EXPECT_TRUE(run.context.cursor.exhausted);
}

TEST(RunBuild, ThirdItemEndsWithNotEnoughSlotsAndKeepsWhatFitted) {
  BuildFixture run(Item("Helm", Effects(4)) + Item("Helm", Effects(4)) + Item("Helm", Effects(4)));
  run.context.job.options |= OPT_SPACER;
  EXPECT_FALSE(run.sink.Build(run.context));
  EXPECT_EQ(run.sink.messages, std::vector<std::string>{"not enough slots"});
  EXPECT_EQ(run.Key(9), "45,1300203,,-1");
  EXPECT_EQ(run.Macro(2), "Helm,/rofl (by Brindlemarque)");  // the failed spacer's macro stays
  EXPECT_EQ(run.Key(15), "keep");
}

TEST(RunBuild, EveryMacroNumberTakenIsToldAsSuch) {
  BuildFixture run(Item("Helm", Effects(1)));
  std::string bars = "[Quickbar]\r\nHotkey_0=old\r\n[Quickbar3]\r\n", macros = "[Macros]\r\n";
  for (int n = 0; n < 100; ++n) {  // all hundred macros stay through the compaction
    bars += "Hotkey_" + std::to_string(n) + "=52," + std::to_string(n) + ",Macro " + std::to_string(n) + ",-1\r\n";
    macros += "Macro_" + std::to_string(n) + "=M" + std::to_string(n) + ",/sit\r\n";
  }
  WriteFile(run.character, bars + macros);
  run.context.job.options |= OPT_SPACER;
  EXPECT_FALSE(run.sink.Build(run.context));
  EXPECT_EQ(run.sink.messages, std::vector<std::string>{kNoFreeMacro});
  EXPECT_EQ(run.Key(0), "");
  // Again on the emptied range: nothing fits and nothing changes, a
  // failure with its reason, never "partly written".
  const std::string emptied = ReadFile(run.character);
  const RunOutcome again = RunBuild(run.context, RunMode::Write);
  EXPECT_EQ(again.kind, RunKind::Failed);
  EXPECT_EQ(again.headline.Text(), kNoFreeMacro);
  EXPECT_EQ(ReadFile(run.character), emptied);
}

TEST(RunBuild, AtMostFourHotkeysPerItemAndMadeEffectsSkipped) {
  BuildFixture run(Item("Chest", "<effect id='a' done='true'>1</effect><effect id='a' done='True'>2</effect>"
                        "<effect id='zz'>3</effect>" + Effects(5, "b")));
  run.context.job.lastBar = 2;
  EXPECT_TRUE(run.sink.Build(run.context));
  EXPECT_EQ(run.Key(0), "45,1300201,,-1");  // done="True" is still to be made
  EXPECT_EQ(run.Key(1), "45,1302000,,-1");
  EXPECT_EQ(run.Key(3), "45,1302002,,-1");
  EXPECT_EQ(run.Key(4), "");
}

TEST(RunBuild, PositionsFollowTheOrderPassesAndRealm) {
  BuildFixture run(Item("Feet", Effects(1)) + Item("Chest", Effects(1, "b")) + Item("Legs", Effects(1)) +
              Item("Helm", Effects(2)) + Item("Hands", Effects(1)),
          "midgard");
  run.context.job.options |= OPT_SPACER | OPT_REVERSE;
  run.context.job.lastBar = 2;
  EXPECT_TRUE(run.sink.Build(run.context));
  // Reverse: bar 2 first. Helm (n 0), Chest (n 1), Legs (n " 3x" reads 3), Feet in the last pass (n 24,
  // not 25 or -1); Hands' ord has no text.
  const std::vector<std::string> expected = {"52,0,Macro 0,-1", "45,1300400,,-1", "45,1300401,,-1",
                                             "52,1,Macro 1,-1", "45,1304000,,-1", "52,2,Macro 2,-1",
                                             "45,1300400,,-1", "52,3,Macro 3,-1", "45,1300400,,-1",
                                             "52,4,Macro 4,-1"};
  for (int k = 0; k < 10; ++k) EXPECT_EQ(run.Key(10 + k), expected[k]) << k;
  EXPECT_EQ(run.Macro(1), "Brust,/rofl (by Brindlemarque)");
  EXPECT_EQ(run.Macro(2), ",/rofl (by Brindlemarque)");  // Hands: the ord's first child is no text
  EXPECT_EQ(run.Macro(3), "Beine,/rofl (by Brindlemarque)");
  EXPECT_EQ(run.Macro(4), "Last,/rofl (by Brindlemarque)");
  EXPECT_EQ(run.Key(0), "45,1300400,,-1");
}

TEST(RunBuild, SpacerComesEvenWhenNoLookupSucceeds) {
  BuildFixture run(Item("Helm", "<effect id='zz'>1</effect><effect>2</effect><effect id='a'/>") +
          Item("Chest", "<effect id='a' done='t'>1</effect>"));
  run.context.job.options |= OPT_SPACER;
  EXPECT_TRUE(run.sink.Build(run.context));
  EXPECT_EQ(run.Key(0), "52,0,Macro 0,-1");
  EXPECT_EQ(run.Key(1), "");
}

TEST(RunBuild, ItemsWithoutPositionOrEffectsAreSkipped) {
  BuildFixture run("<item><crafted/>" + Effects(2) + "</item><item><position><b/>Helm</position><crafted/>" +
                   Effects(2) + "</item>" + Item("Helm", "") + Item("Helm", Effects(1)));
  run.context.job.options |= OPT_SPACER;
  EXPECT_TRUE(run.sink.Build(run.context));
  EXPECT_EQ(run.Key(0), "52,0,Macro 0,-1");
  EXPECT_EQ(run.Key(1), "45,1300200,,-1");
  EXPECT_EQ(run.Key(2), "");
}

TEST(RunBuild, RealmLettersPickTheRecipeColumn) {
  for (auto [realm, expected] : std::vector<std::pair<std::string, std::string>>{
           {"Hibernia", "45,1300600,,-1"}, {"Albion", "45,1300200,,-1"}, {"xyz", "45,1300200,,-1"},
           {"<b/>", "45,1300200,,-1"}, {"", "45,1300200,,-1"}}) {
    BuildFixture run(Item("Helm", Effects(1)), realm);
    EXPECT_TRUE(run.sink.Build(run.context)) << realm;
    EXPECT_EQ(run.Key(0), expected) << realm;
  }
}

TEST(RunBuild, AnUnreadableTemplateOrOneWithoutPlayerIsRefusedBeforeAnyChange) {
  for (const char* templ : {"<notplayer/>", "garbage"}) {
    BuildFixture run("");
    WriteFile(run.dir.file("t.vsk"), templ);
    std::string before = ReadFile(run.character);
    EXPECT_FALSE(run.sink.Build(run.context)) << templ;
    EXPECT_EQ(run.sink.Heads(), std::vector<std::string>{"can't read SC-File"}) << templ;
    if (templ[0] == '<') {
      EXPECT_EQ(run.sink.messages[0],
                "can't read SC-File\n" + run.dir.file("t.vsk") + ": not a template of the spellcraft planner (it has no <player> element)");
    }
    EXPECT_EQ(ReadFile(run.character), before) << templ;
  }
}

TEST(RunBuild, UnwritableCharacterFileFailsInsteadOfPretending) {
  BuildFixture run(Item("Helm", Effects(1)));
  std::string before = ReadFile(run.character);
  MakeReadOnly(run.character);
  EXPECT_FALSE(run.sink.Build(run.context));
  EXPECT_EQ(run.sink.messages,
            std::vector<std::string>{"can't write character file\n" + run.character + ": marked read-only"});
  EXPECT_EQ(ReadFile(run.character), before);

  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "no character file chosen"},
      {run.dir.path(), run.dir.path() + " is a folder, not a character file"},
      {run.dir.path() + "/", ShownPath(run.dir.path() + "/") + " is a folder, not a character file"},
      {run.dir.file("missing/x.ini"), ShownPath(run.dir.file("missing/x.ini")) + ": no such file or directory"}};
  for (const auto& [path, reason] : cases) {
    BuildFixture other(Item("Helm", Effects(1)));
    other.context.job.characterPath = path;
    EXPECT_FALSE(other.sink.Build(other.context)) << path;
    EXPECT_EQ(other.sink.messages, std::vector<std::string>{"can't write character file\n" + reason}) << path;
  }
}

TEST(RunBuild, LabelThatWouldBreakTheFileFailsTheRunAndSavesNothing) {
  BuildFixture run(Item("Helm", Effects(1)), "Albion", "<order><ord n='0' id='Helm'>Helm&#13;&#10;[Evil]</ord></order>");
  run.context.job.options |= OPT_SPACER;
  std::string before = ReadFile(run.character);
  EXPECT_FALSE(run.sink.Build(run.context));
  EXPECT_EQ(run.sink.messages, std::vector<std::string>{"can't write character file\nspacer label holds a line break"});
  EXPECT_EQ(ReadFile(run.character), before);
  // The bars a failed run (or preview) reports are the file's, never what it would have written.
  for (RunMode mode : {RunMode::Preview, RunMode::Write}) {
    const RunOutcome outcome = RunBuild(run.context, mode);
    EXPECT_EQ(outcome.kind, RunKind::Failed);
    EXPECT_EQ(outcome.before, (SlotValues{{SlotOfHotkey(1, 0), "old"}}));
    EXPECT_EQ(outcome.after, outcome.before);
  }
}

// Without the configuration, a run is refused before anything is touched:
// the bars and macros of the player stay (the build and the gem table alike).
TEST(RunBuild, NoOrderWritesNothingAndNoConfigurationIsRefused) {
  BuildFixture run(Item("Helm", Effects(1)), "Albion", "");
  EXPECT_TRUE(run.sink.Build(run.context));
  EXPECT_EQ(run.Key(0), "");
  run.context.config.reset();
  const std::string before = ReadFile(run.character);
  EXPECT_FALSE(run.sink.Build(run.context));
  EXPECT_FALSE(Succeeded(run.sink.Record(RunGemTest(run.context, run.dir.file("sc_log.txt")).run).kind));
  EXPECT_EQ(run.sink.messages, std::vector<std::string>(2, kConfigNotLoaded));
  EXPECT_EQ(ReadFile(run.character), before);
}

TEST(RunBuild, APreviewChangesNoFile) {
  BuildFixture run(Item("Helm", Effects(1)));
  WriteFile(run.dir.file("t.vsk"), "<player><item><position>Helm</position><crafted/><effect id='a'>1</effect>"
                                   "<name><Keiner></name></item></player>");
  std::string before = ReadFile(run.character);
  const RunOutcome preview = RunBuild(run.context, RunMode::Preview);
  EXPECT_EQ(preview.kind, RunKind::Built);
  EXPECT_TRUE(preview.headline.empty());
  const std::vector<PlacedHotkey>& placed = preview.placed;
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_EQ(placed[0].key, "Hotkey_0");
  EXPECT_EQ(placed[0].bonus, "a");
  EXPECT_EQ(placed[0].amount, "1");
  EXPECT_EQ(ReadFile(run.character), before);
  EXPECT_NE(ReadFile(run.dir.file("t.vsk")).find("<Keiner>"), std::string::npos);
}

TEST(RunBuild, TwoBuildsOnOneFileAndTheGameSavingMeanwhileLoseNothing) {
  BuildFixture first(Item("Helm", Effects(2)));
  BuildFixture second(Item("Chest", Effects(1), true));
  second.context.job.characterPath = first.character;
  second.context.job.quickbar = 2;
  second.context.waits = TestWaits(50);
  // The second build starts while the first is about to save: it must wait
  // for the first, and fails when that takes too long.
  Reason reason;  // the failed run's, as its outcome gives it
  {
    bool once = false;
    ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
      if (point != SavePoint::AfterBackup || std::exchange(once, true)) return;
      const RunOutcome failed = second.sink.Record(RunBuild(second.context, RunMode::Write));
      EXPECT_EQ(failed.kind, RunKind::Failed);
      reason = failed.headline;
    });
    EXPECT_TRUE(first.sink.Build(first.context));
  }
  second.context.waits = TestWaits();
  EXPECT_EQ(second.sink.messages, std::vector<std::string>{"can't write character file\n" + first.character +
                                                           ": in use by another run of Brindlemarque; try again in a moment"});
  EXPECT_EQ(reason.Text(), second.sink.messages[0]);
  EXPECT_EQ(first.Key(0), "45,1300200,,-1");
  EXPECT_EQ(first.Key(1), "45,1300201,,-1");

  // The game starts saving the file (truncated, half written) right after
  // the final check and finishes 100 ms later, through the handle it opened:
  // the file it writes becomes the character file again once the save has
  // ended, and the build starts over on the whole new content; the backup
  // kept is that content.
  second.sink.messages.clear();
  const std::string game = ReadFile(first.character) + "[Misc]\r\nSaved=1\r\n";
  std::thread rest;
  int swaps = 0;
  second.context.waits = TestWaits(3000, 300);
  {
    ScopedSavePointHook hook([&](SavePoint point, const std::string& path) {
      if (point != SavePoint::BeforeSwap || swaps++ != 0) return;
#ifdef _WIN32
      std::FILE* held = ::_wfopen(WideText(path).c_str(), L"wb");
#else
      std::FILE* held = std::fopen(path.c_str(), "wb");
#endif
      ASSERT_NE(held, nullptr);
      std::fwrite(game.data(), 1, game.size() / 2, held);
      std::fflush(held);
      rest = std::thread([&game, held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::fwrite(game.data() + game.size() / 2, 1, game.size() - game.size() / 2, held);
        std::fclose(held);
      });
    });
    EXPECT_TRUE(second.sink.Build(second.context));
  }
  if (rest.joinable()) rest.join();
  EXPECT_EQ(second.sink.messages, std::vector<std::string>{reason::kBuiltOnNewContent.english});
  EXPECT_EQ(swaps, 2);
  std::string v;
  ReadProfileString(first.character, "Misc", "Saved", v, 16);
  EXPECT_EQ(v, "1");
  EXPECT_EQ(first.Key(0), "45,1300200,,-1");
  EXPECT_EQ(first.Key(0, "Quickbar2"), "45,1300200,,-1");
  EXPECT_EQ(ReadFile(ListBackups(first.character).at(0).path), game);

  // The game saves in every attempt: the run gives up after three restarts,
  // with the game's last save in place, and says nothing of new content.
  second.sink.messages.clear();
  const std::string bare = "[Quickbar]\r\nHotkey_15=keep\r\n";
  WriteFile(first.character, bare);
  int attempts = 0;
  std::string last;
  {
    ScopedSavePointHook hook([&](SavePoint point, const std::string& path) {
      if (point != SavePoint::BeforeSwap) return;
      last = bare + "[Attempt]\r\nNumber=" + std::to_string(++attempts) + "\r\n";
      WriteFile(path, last);
    });
    EXPECT_FALSE(second.sink.Build(second.context));
  }
  EXPECT_EQ(attempts, 4);
  EXPECT_EQ(ReadFile(first.character), last);
  ASSERT_EQ(second.sink.messages.size(), 1u);
  EXPECT_NE(second.sink.messages[0].find("changed by another program"), std::string::npos);
}
