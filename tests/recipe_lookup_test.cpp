// Configuration loading and the gem lookup's first-match and last-match rules.
#include "config_files.h"
#include "recipe_lookup.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <tinyxml.h>
#include <unistd.h>

#include "build_context.h"
#include "paths.h"
#include "test_support.h"

namespace {

std::unique_ptr<TiXmlDocument> Parse(const std::string& xml) {
  auto doc = std::make_unique<TiXmlDocument>();
  doc->Parse(xml.c_str());
  EXPECT_FALSE(doc->Error()) << doc->ErrorDesc();
  return doc;
}

const char* const kBonus = R"(<Vesko><bonuses>
  <bonus id="str"><group>stat</group><gem id="fiery"/></bonus>
  <bonus id="Hits"><group>hits</group><gem id="blood"/></bonus>
  <bonus id="dup"><group>skill</group><gem id="sigil"/></bonus>
  <bonus id="dup"><group>stat</group><gem id="fiery"/></bonus>
  <bonus id="nogem"><group>stat</group></bonus>
  <bonus id="neg"><group>odd</group><gem id="fiery"/></bonus>
  <bonus id="twin"><group>stat</group><gem id="twin"/></bonus>
  <bonus id="big"><group>odd</group><gem id="big"/></bonus>
  <bonus id="lost"><group>stat</group><gem id="nowhere"/></bonus>
  <bonus id="nogroup"><gem id="fiery"/></bonus>
</bonuses><groups>
  <group id="stat"><gemlevel bonus="1">1</gemlevel><gemlevel bonus="15">6</gemlevel><gemlevel bonus="28">10</gemlevel></group>
  <group id="hits"><gemlevel bonus="4">1</gemlevel><gemlevel bonus=" 12">2</gemlevel><gemlevel bonus="015">3</gemlevel></group>
  <group id="skill"><gemlevel bonus="3">3</gemlevel></group>
  <group id="odd"><gemlevel bonus="1">-2</gemlevel><gemlevel bonus="2">150</gemlevel><gemlevel bonus="3"> +7x</gemlevel><gemlevel bonus="4"></gemlevel><gemlevel bonus="5">0</gemlevel></group>
  <group id="stat"><gemlevel bonus="99">9</gemlevel></group>
</groups></Vesko>)";

const char* const kGem = R"(<data><gems>
  <gem id="fiery" r0="7" r1="8" r2="9"/>
  <gem id="blood" r0="3" r1="4"/>
  <gem id="sigil" r0="20"/>
  <gem id="twin" r0="1"/>
  <gem id="TWIN" r0="2"/>
  <gem id="big" r0="500" r1="99999999999" r2="-3"/>
</gems></data>)";

// A context whose messages are recorded, and a folder for configuration files.
struct ConfigFolder {
  TempDir dir;
  RecordingSink sink;
  BuildContext context;
};

struct Lookup {
  std::unique_ptr<TiXmlDocument> bonus = Parse(kBonus), gem = Parse(kGem);
  std::string operator()(const char* id, const char* text, int realm = 0) const {
    return LookupRecipeHotkey(bonus.get(), gem.get(), id, text, realm);
  }
};

}  // namespace

TEST(RecipeHotkey, FormatsWithPaddingSignsAndWideNumbers) {
  EXPECT_EQ(FormatRecipeHotkey(14, 2), "45,1301402,,-1");
  EXPECT_EQ(FormatRecipeHotkey(1000, 149), "45,131000149,,-1");
  EXPECT_EQ(FormatRecipeHotkey(-2, -1), "45,13-02-1,,-1");
  EXPECT_EQ(FormatRecipeHotkey(0, 0), "45,1300000,,-1");
}

TEST(LookupRecipeHotkey, MatchesIdsIgnoringCaseAndAmountsAsWholeText) {
  Lookup lookup;
  EXPECT_EQ(lookup("STR", "15"), "45,1301405,,-1");  // N = 7, L = 6
  EXPECT_EQ(lookup("hits", "4", 1), "45,1300800,,-1");
  EXPECT_EQ(lookup("hits", "12"), "");  // the amount " 12" has a blank
  EXPECT_EQ(lookup("hits", "15"), "");  // 015 is not 15
  EXPECT_EQ(lookup("str", "99"), "");   // a later group of the same name is not tried
  EXPECT_EQ(lookup("unknown", "15"), "");
  EXPECT_EQ(lookup(nullptr, "15"), "");
  EXPECT_EQ(lookup("str", nullptr), "");
}

TEST(LookupRecipeHotkey, FirstBonusDecidesLastGemDecides) {
  Lookup lookup;
  EXPECT_EQ(lookup("dup", "15"), "");             // the first "dup" has no level 15 in "skill"
  EXPECT_EQ(lookup("dup", "3"), "45,1304002,,-1");
  EXPECT_EQ(lookup("twin", "1"), "45,1300400,,-1");  // TWIN (r0 = 2) overrides twin
}

TEST(LookupRecipeHotkey, MalformedOrMissingPiecesGiveNoRecipe) {
  Lookup lookup;
  EXPECT_EQ(lookup("nogem", "15"), "");
  EXPECT_EQ(lookup("nogroup", "15"), "");
  EXPECT_EQ(lookup("neg", "1"), "");     // negative level
  EXPECT_EQ(lookup("neg", "4"), "");     // level without text
  EXPECT_EQ(lookup("lost", "15"), "");   // no gem of that key
  EXPECT_EQ(lookup("str", "15", 2), "45,1301805,,-1");
  EXPECT_EQ(lookup("hits", "4", 2), "");  // no r2 on blood
  EXPECT_EQ(lookup("str", "15", 3), lookup("str", "15", 0));  // a realm out of range reads r0
  EXPECT_EQ(lookup("str", "15", -1), lookup("str", "15", 0));
  EXPECT_EQ(LookupRecipeHotkey(nullptr, nullptr, "str", "15", 0), "");
  auto bonus = Parse(kBonus);
  EXPECT_EQ(LookupRecipeHotkey(bonus.get(), nullptr, "str", "15", 0), "");
}

TEST(LookupRecipeHotkey, NumbersAreReadFromTheirStartAndWrittenInFull) {
  Lookup lookup;
  EXPECT_EQ(lookup("neg", "5"), "45,13014-1,,-1");       // level 0 gives -1
  EXPECT_EQ(lookup("big", "2"), "45,131000149,,-1");     // 2 x 500 and level 150
  EXPECT_EQ(lookup("big", "3"), "45,13100006,,-1");      // " +7x" reads 7
  EXPECT_EQ(lookup("big", "3", 1), "45,13429496729406,,-1");  // held at the 32-bit limit, doubled
  EXPECT_EQ(lookup("big", "3", 2), "45,13-0606,,-1");
}

// Each failure follows a load of another folder that succeeded: no build
// may go on with what that one loaded.
TEST(LoadConfigFiles, AMissingConfigXmlStopsBeforeTheGemFileAndABadGemFileLeavesBothAbsent) {
  ConfigFolder load;
  auto& [dir, sink, context] = load;
  auto fails = [&] {
    EXPECT_TRUE(sink.LoadConfig(context, std::string(EXAMPLES_DIR) + "/vesko"));
    sink.messages.clear();
    const bool loaded = sink.LoadConfig(context, dir.path());
    EXPECT_FALSE(context.config);
    return !loaded;
  };
  WriteFile(dir.file("config_gem.xml"), kGem);
  EXPECT_TRUE(fails());
  EXPECT_EQ(sink.messages, std::vector<std::string>{"can't load config.xml\n\n" +
                                                    JoinPath(dir.path(), "config.xml") + ": no such file or directory"});
  EXPECT_FALSE(context.config);

  std::filesystem::remove(FsPath(dir.file("config_gem.xml")));
  WriteFile(JoinPath(dir.path(), "config.xml"), kBonus);
  EXPECT_TRUE(fails());
  EXPECT_EQ(sink.messages, std::vector<std::string>{"can't load config_gem.xml\n\n" +
                                                    JoinPath(dir.path(), "config_gem.xml") + ": no such file or directory"});
  WriteFile(dir.file("config_gem.xml"), "<data><gems></data>");
  sink.messages.clear();
  EXPECT_FALSE(sink.LoadConfig(context, dir.path()));
  ASSERT_EQ(sink.messages.size(), 1u);
  // One reason line, with the path, as for a template.
  EXPECT_EQ(sink.messages[0], "can't load config_gem.xml\n\n" + JoinPath(dir.path(), "config_gem.xml") +
                                  ": Error reading end tag. (line 1, column 13)");
  // An empty file and a folder in its place: one line each, with the path.
  for (const bool folder : {false, true}) {
    std::filesystem::remove(FsPath(dir.file("config_gem.xml")));
    if (folder)
      std::filesystem::create_directory(FsPath(dir.file("config_gem.xml")));
    else
      WriteFile(dir.file("config_gem.xml"), "");
    sink.messages.clear();
    EXPECT_FALSE(sink.LoadConfig(context, dir.path()));
    ASSERT_EQ(sink.messages.size(), 1u);
    const std::string reason = sink.messages[0].substr(sink.messages[0].find("\n\n") + 2);
    EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
    EXPECT_EQ(reason.rfind(JoinPath(dir.path(), "config_gem.xml") + ": ", 0), 0u) << reason;
  }
  std::filesystem::remove(FsPath(dir.file("config_gem.xml")));
  EXPECT_FALSE(context.ConfigLoaded());

  // Well-formed files that are not the planner's are refused, not taken as empty tables.
  WriteFile(dir.file("config_gem.xml"), "<data><order><ord n=\"0\" id=\"Helm\">Helm</ord></order></data>");
  sink.messages.clear();
  EXPECT_FALSE(sink.LoadConfig(context, dir.path()));
  EXPECT_EQ(sink.messages, std::vector<std::string>{"can't load config_gem.xml\n\n" + JoinPath(dir.path(), "config_gem.xml") +
                                                    ": holds no gem table (data/gems/gem); is it the planner's file?"});
  WriteFile(JoinPath(dir.path(), "config.xml"), "<Vesko><groups/></Vesko>");
  sink.messages.clear();
  EXPECT_FALSE(sink.LoadConfig(context, dir.path()));
  EXPECT_EQ(sink.messages, std::vector<std::string>{"can't load config.xml\n\n" + JoinPath(dir.path(), "config.xml") +
                                                    ": holds no bonus table (Vesko/bonuses/bonus); is it the planner's file?"});
  EXPECT_FALSE(context.config);
}

TEST(LoadConfigFiles, LoadsBothFromTheCurrentDirectoryByBareName) {
  ConfigFolder load;
  auto& [dir, sink, context] = load;
  WriteFile(JoinPath(dir.path(), "config.xml"), kBonus);
  WriteFile(dir.file("config_gem.xml"), kGem);
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(FsPath(dir.path()));
  bool loaded = sink.LoadConfig(context);
  std::filesystem::current_path(cwd);
  EXPECT_TRUE(loaded);
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(context.config->Lookup("str", "28", 1),
            "45,1301609,,-1");
}

TEST(LoadConfigFiles, ADeeplyNestedFileIsRefusedWithAParserStyleReason) {
  ConfigFolder load;
  auto& [dir, sink, context] = load;
  std::string deep;
  for (int i = 0; i < 40000; ++i) deep += "<Vesko>";
  WriteFile(JoinPath(dir.path(), "config.xml"), deep);
  WriteFile(dir.file("config_gem.xml"), kGem);
  EXPECT_FALSE(sink.LoadConfig(context, dir.path()));
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{"can't load config.xml\n\n" + JoinPath(dir.path(), "config.xml") +
                                     ": Error: elements nested deeper than 1000 levels"});
}
