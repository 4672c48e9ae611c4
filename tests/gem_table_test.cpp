// The diagnostic gem table on a realistic character file: whole logs and
// whole character files compared.
#include "profile_calls.h"
#include "gem_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tinyxml.h>

#include "build_context.h"
#include "test_support.h"

namespace {

// Twelve gems of realm 0 (the first three 3, 3, 1; one without id), one of
// realm 1 only.
const char* const kGems = R"(<data><gems>
  <gem id="first3" r0="3" r1="5"/><gem id="second3" r0="3"/><gem id="one" r0="1"/>
  <gem r0="7"/><gem id="midgard_only" r1="2"/><gem id="zero" r0="0"/><gem id="twelve" r0="12"/>
  <gem id="two" r0="2"/><gem id="eleven" r0="11"/><gem id="four" r0="4"/><gem id="nine" r0=" 9x"/>
  <gem id="five" r0="5"/><gem id="ten" r0="10"/>
</gems></data>)";

struct GemTableFixture {
  TempDir dir;
  RecordingSink sink;
  BuildContext context;
  std::string character = dir.file("Morwen-4.ini");
  std::string log = dir.file("sc_log.txt");

  // config_gem.xml of `gems`; config.xml, which the gem table does not read, empty.
  void UseGems(const char* gems) {
    TiXmlDocument doc;
    doc.Parse(gems);
    context.config = std::make_unique<ConfigIndex>(nullptr, &doc);
  }

  GemTableFixture(int quickbar, int firstBar, int lastBar) {
    context.waits = TestWaits();
    UseGems(kGems);
    WriteFile(dir.file("t.vsk"), "<player><realm>albion</realm></player>");
    WriteFile(character, ReadFile(DataPath("character_crlf.ini")));
    WriteFile(log, "an old log\n");
    context.job.templatePath = dir.file("t.vsk");
    context.job.characterPath = character;
    context.job.quickbar = quickbar;
    context.job.firstBar = firstBar;
    context.job.lastBar = lastBar;
    context.job.options = OPT_SPACER | OPT_QUIT;  // no clean-up: the range is emptied all the same
  }
  GemTableResult Run() {
    GemTableResult result = RunGemTest(context, log);
    sink.Record(result.run);
    return result;
  }
};

const char* const kSortedGems[] = {"zero - 0 - 45,1300000,,-1",      "one - 1 - 45,1300200,,-1",
                                   "two - 2 - 45,1300400,,-1",       "second3 - 3 - 45,1300600,,-1",
                                   "first3 - 3 - 45,1300600,,-1",    "four - 4 - 45,1300800,,-1",
                                   "five - 5 - 45,1301000,,-1",      " - 7 - 45,1301400,,-1",
                                   "nine - 9 - 45,1301800,,-1",      "ten - 10 - 45,1302000,,-1",
                                   "eleven - 11 - 45,1302200,,-1",   "twelve - 12 - 45,1302400,,-1"};

// The log of the sorted gems from `first` on, numbered from slot `slot`,
// with headers as given.
std::string LogLines(int first, int count, int slot) {
  std::string log;
  for (int i = first; i < first + count; ++i) log += std::to_string(slot++) + " - " + kSortedGems[i] + "\n";
  return log;
}

}  // namespace

// (The template's <Keiner> markers are repaired on disk, as by a build.)
TEST(RunGemTest, TwelveGemsFillBarOneAndTwoSlotsOfBarTwo) {
  GemTableFixture run(1, 1, 2);
  WriteFile(run.dir.file("t.vsk"), "<player><realm>albion</realm><item><name><Keiner></name></item></player>");
  GemTableResult result = run.Run();
  EXPECT_EQ(ReadFile(run.dir.file("t.vsk")).find("<Keiner>"), std::string::npos);
  EXPECT_EQ(result.run.kind, RunKind::Built);
  EXPECT_NE(result.run.after, result.run.before);  // the bars as the table left them
  EXPECT_TRUE(Succeeded(result.run.kind));
  EXPECT_TRUE(result.logWritten);
  EXPECT_TRUE(run.sink.messages.empty());
  EXPECT_EQ(ReadFile(run.log), PlatformText("--- Bar 1 - 1\n" + LogLines(0, 10, 1) + "--- Bar 1 - 2\n" + LogLines(10, 2, 1)));
  EXPECT_EQ(ReadFile(run.character), ReadFile(DataPath("expected/character_crlf.gemtest.ini")));
}

TEST(RunGemTest, MoreGemsThanSlotsLogTheFirstMisfitThenEndOfQbar) {
  GemTableFixture run(3, 10, 10);
  GemTableResult result = run.Run();
  EXPECT_TRUE(Succeeded(result.run.kind));  // a full range still shows the success picture
  EXPECT_EQ(run.sink.messages, std::vector<std::string>{"end of qbar"});
  EXPECT_EQ(ReadFile(run.log), PlatformText("--- Bar 3 - 10\n" + LogLines(0, 10, 1) + LogLines(10, 1, 10)));
  std::string value;
  ReadProfileString(run.character, "Quickbar3", "Hotkey_99", value, 64);
  EXPECT_EQ(value, "45,1302000,,-1");  // the tenth gem; the eleventh was not written
}

// Equal numbers keep the order the exchange sort gives them: with nothing
// smaller between them, the first stays first (3, 3, 1 alone cannot tell).
TEST(RunGemTest, EqualNumbersWithNothingSmallerKeepTheirOrder) {
  GemTableFixture run(1, 1, 1);
  run.UseGems(R"(<data><gems><gem id="a" r0="4"/><gem id="b" r0="4"/><gem id="c" r0="6"/></gems></data>)");
  EXPECT_TRUE(Succeeded(run.Run().run.kind));
  EXPECT_EQ(ReadFile(run.log), PlatformText("--- Bar 1 - 1\n1 - a - 4 - 45,1300800,,-1\n2 - b - 4 - 45,1300800,,-1\n"
                                            "3 - c - 6 - 45,1301200,,-1\n"));
}

TEST(RunGemTest, FailuresWriteNoLog) {
  {  // a character file that cannot be written: nothing saved, no log claims a layout
    GemTableFixture run(1, 1, 2);
    std::string before = ReadFile(run.character);
    MakeReadOnly(run.character);
    const GemTableResult result = run.Run();
    EXPECT_FALSE(Succeeded(result.run.kind));
    EXPECT_FALSE(result.logWritten);
    EXPECT_EQ(run.sink.messages,
              std::vector<std::string>{"can't write character file\n" + run.character + ": marked read-only"});
    EXPECT_EQ(ReadFile(run.character), before);
    EXPECT_EQ(ReadFile(run.log), "an old log\n");
  }
  {  // not a template: refused before any change
    GemTableFixture run(1, 1, 2);
    WriteFile(run.dir.file("t.vsk"), "<notplayer/>");
    EXPECT_FALSE(Succeeded(run.Run().run.kind));
    EXPECT_EQ(run.sink.Heads(), std::vector<std::string>{"can't read SC-File"});
    EXPECT_EQ(ReadFile(run.log), "an old log\n");
    EXPECT_EQ(ReadFile(run.character), ReadFile(DataPath("character_crlf.ini")));
  }
}
