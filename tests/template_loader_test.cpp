// Loading the template file and its one repair.
#include "template_loader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

#include "build_context.h"
#include "xml_load.h"
#include "backups.h"
#include "backups.h"
#include "save_points.h"
#include "test_support.h"

namespace {

const std::string kGood =
    "<?xml version=\"1.0\"?>\r\n<player>\r\n  <realm>Midgard</realm>\r\n  <item>\r\n"
    "    <position>Brust</position>\r\n    <crafted/>\r\n    <effect id=\"str\">15</effect>\r\n"
    "  </item>\r\n</player>\r\n";

struct Loader {
  RecordingSink sink;
  BuildContext context;
  LoadedTemplate loaded;
  bool Load(const std::string& path) {
    context.job.templatePath = path;
    loaded = LoadTemplate(context);
    if (!loaded.reason.empty()) sink.ShowMessage(loaded.reason);
    return loaded.reason.empty();
  }
};

}  // namespace

TEST(LoadTemplate, WellFormedTemplateLoadsAndIsNeverWritten) {
  TempDir dir;
  std::string f = dir.file("good.vsk");
  WriteFile(f, kGood);
  auto inode = InodeOf(f);
  Loader loader;
  ASSERT_TRUE(loader.Load(f));
  EXPECT_TRUE(loader.sink.messages.empty());
  EXPECT_EQ(ReadFile(f), kGood);
  EXPECT_EQ(InodeOf(f), inode);
  EXPECT_STREQ(loader.loaded.doc->FirstChildElement("player")->FirstChildElement("realm")->GetText(),
               "Midgard");
}

TEST(LoadTemplate, KeinerMarkersAreRepairedOnceAndTheRunGoesOn) {
  TempDir dir;
  std::string f = dir.file("keiner.vsk");
  std::string broken = "<player><item><position>Hals</position><effect><Keiner></effect>"
                       "<effect><keiner></effect><note><KEINER></note></item></player>";
  WriteFile(f, broken);
#ifndef _WIN32
  ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
#endif
  Loader loader;
  ASSERT_TRUE(loader.Load(f));
  EXPECT_TRUE(loader.sink.messages.empty());
  EXPECT_EQ(ReadFile(f), "<player><item><position>Hals</position><effect>Keiner</effect>"
                         "<effect>keiner</effect><note>KEINER</note></item></player>");
#ifndef _WIN32
  struct stat st;
  ASSERT_EQ(::stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
#endif
}

TEST(LoadTemplate, OtherSpellingsAreNotRepaired) {
  TempDir dir;
  std::string f = dir.file("mixed.vsk");
  std::string broken = "<player><item><effect><kEiner></effect></item></player>";
  WriteFile(f, broken);
  Loader loader;
  EXPECT_FALSE(loader.Load(f));
  EXPECT_EQ(loader.sink.messages,
            std::vector<std::string>{"can't read SC-File\n" + f + ": Error reading end tag. (line 1, column 31)"});
  EXPECT_EQ(ReadFile(f), broken);
}

TEST(LoadTemplate, ARepairThatDoesNotHelpIsNotWritten) {
  TempDir dir;
  std::string f = dir.file("worse.vsk");
  WriteFile(f, "<player><Keiner><unclosed></player>");
  Loader loader;
  EXPECT_FALSE(loader.Load(f));
  EXPECT_EQ(loader.sink.messages.size(), 1u);
  EXPECT_EQ(ReadFile(f), "<player><Keiner><unclosed></player>");
  EXPECT_TRUE(ListBackups(f).empty());
}

TEST(LoadTemplate, BadFilesGiveOneMessageAndStayUnchanged) {
  TempDir dir;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"empty.vsk", ""},
      {"text.vsk", "this is not xml at all"},
      {"truncated.vsk", kGood.substr(0, kGood.size() / 2)},
      {"binary.vsk", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18)},
      {"Alarion-4.ini", "[Quickbar]\r\nHotkey_0=45,1,,-1\r\n"},  // a character file chosen as the template
  };
  for (const auto& [name, bytes] : cases) {
    WriteFile(dir.file(name), bytes);
    Loader loader;
    EXPECT_FALSE(loader.Load(dir.file(name))) << name;
    EXPECT_EQ(loader.sink.Heads(), std::vector<std::string>{"can't read SC-File"}) << name;
    EXPECT_EQ(ReadFile(dir.file(name)), bytes) << name;
    // No element at all: said in the player's words, not the parser's.
    const bool elementless = name != "truncated.vsk";
    EXPECT_EQ(loader.sink.messages[0] == "can't read SC-File\n" + dir.file(name) +
                                             ": not a template of the spellcraft planner",
              elementless)
        << loader.sink.messages[0];
  }
  for (const std::string& path : {dir.file("missing.vsk"), dir.path(), std::string()}) {
    Loader loader;
    EXPECT_FALSE(loader.Load(path)) << path;
    EXPECT_EQ(loader.sink.messages.size(), 1u) << path;
  }
#ifndef _WIN32
  std::string fifo = dir.file("fifo.vsk");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  Loader loader;
  EXPECT_FALSE(loader.Load(fifo));
#endif
}

TEST(RepairTemplate, KeepsEveryByteBehindAZeroByteAndAFailedWriteLeavesTheTemplateIntact) {
  TempDir dir;
  std::string zero = dir.file("zero.vsk");
  WriteFile(zero, std::string("<player>\0<Keiner>tail<KEINER>", 29));
  EXPECT_TRUE(RepairTemplate(zero));
  EXPECT_EQ(ReadFile(zero), std::string("<player>\0KeinertailKEINER", 25));

  std::string f = dir.file("locked.vsk");
  std::string broken = "<player><Keiner></player>";
  WriteFile(f, broken);
  MakeReadOnly(f);
  EXPECT_FALSE(RepairTemplate(f));
  EXPECT_EQ(ReadFile(f), broken);
  Loader loader;
  EXPECT_FALSE(loader.Load(f));
  EXPECT_EQ(loader.sink.messages, std::vector<std::string>{"can't read SC-File\n" + f + ": " +
                                                           "Error reading end tag. (line 1, column 17); " +
                                                           "the repaired file could not be written: marked read-only"});
  EXPECT_TRUE(ListBackups(f).empty());  // the template stayed as it was

  // The planner saves the template while it is repaired: its save stays.
  const std::string planner = dir.file("saved.vsk"), saved = "<player><realm>Midgard</realm></player>";
  WriteFile(planner, broken);
  ScopedSavePointHook save([&](SavePoint point, const std::string& path) {
    if (point == SavePoint::BeforeSwap) WriteFile(path, saved);
  });
  EXPECT_FALSE(RepairTemplate(planner));
  EXPECT_EQ(ReadFile(planner), saved);
  EXPECT_TRUE(ListBackups(planner).empty());
}

TEST(LoadTemplate, SecondRunHoldsOnlyTheNewestDocument) {
  TempDir dir;
  WriteFile(dir.file("a.vsk"), kGood);
  WriteFile(dir.file("b.vsk"), "<player><realm>Hibernia</realm></player>");
  Loader loader;
  ASSERT_TRUE(loader.Load(dir.file("a.vsk")));
  ASSERT_TRUE(loader.Load(dir.file("b.vsk")));
  EXPECT_EQ(loader.loaded.doc->ValueStr(), dir.file("b.vsk"));
  EXPECT_STREQ(loader.loaded.doc->FirstChildElement("player")->FirstChildElement("realm")->GetText(),
               "Hibernia");
  EXPECT_FALSE(loader.Load(dir.file("none.vsk")));
  ASSERT_TRUE(loader.loaded.doc);
  EXPECT_FALSE(loader.loaded.doc->FirstChildElement("player"));
}

TEST(LoadTemplate, HostileFilesAreRefusedBeforeTheParserSeesThem) {
  TempDir dir;
  auto nested = [](int levels) {  // <player> and levels - 1 elements inside it
    std::string open = "<player>", close = "</player>";
    for (int i = 1; i < levels; ++i) open += "<a x='>'>", close = "</a>" + close;
    return open + "<!-- <b><b> --><![CDATA[<c>]]>" + close;
  };
  auto attributes = [](int count) {
    std::string t = "<player";
    for (int i = 0; i < count; ++i) t += " a" + std::to_string(i) + "=\"<x=1>\"";
    return t + "/>";
  };
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"deep.vsk", nested(40000), "Error: elements nested deeper than 100 levels"},
      {"deeper.vsk", nested(101), "Error: elements nested deeper than 100 levels"},
      {"wide.vsk", attributes(20000), "Error: an element with more than 100 attributes"},
      {"wider.vsk", attributes(101), "Error: an element with more than 100 attributes"},
      {"huge.vsk", "<player>" + std::string(kTemplateLimits.bytes, ' ') + "</player>", "larger than 1 MiB"}};
  for (const auto& [name, bytes, reason] : cases) {
    WriteFile(dir.file(name), bytes);
    Loader loader;
    EXPECT_FALSE(loader.Load(dir.file(name))) << name;
    EXPECT_EQ(loader.sink.messages, std::vector<std::string>{"can't read SC-File\n" + dir.file(name) + ": " + reason});
  }
  for (const std::string& bytes : {nested(100), attributes(100)}) {  // the limits themselves are fine
    WriteFile(dir.file("fine.vsk"), bytes);
    Loader loader;
    EXPECT_TRUE(loader.Load(dir.file("fine.vsk")));
  }
}
