// brindlemarque-cli end to end on the bundled examples: whole resulting
// character files compared with checked-in expected files.
// BRINDLEMARQUE_UPDATE_EXPECTED=1 rewrites the expected files instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kVesko = std::string(EXAMPLES_DIR) + "/vesko";
const std::string kCharacters = std::string(EXAMPLES_DIR) + "/appdata/Electronic Arts/Dark Age of Camelot/LotM";

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct CliResult {
  int status = -1;
  std::string out, err;
};

// A copy of the examples to work on: templates and one character file.
struct Workspace {
  TempDir dir;
  std::string character;
  explicit Workspace(const std::string& characterName = "Alarion-4.ini") {
    fs::copy(kVesko + "/templates", dir.file("templates"));
    character = dir.file(characterName);
    fs::copy_file(kCharacters + "/" + characterName, character);
  }
  std::string Template(const std::string& name) const { return dir.file("templates/" + name); }

  // Runs the CLI in `folder` (default: the planning tool's folder).
  CliResult Cli(const std::string& args, const std::string& folder = kVesko) const {
    std::string cmd = "cd " + Quote(folder) + " && " + Quote(CLI_PATH) + " " + args + " >" +
                      Quote(dir.file("out.txt")) + " 2>" + Quote(dir.file("err.txt")) + " </dev/null";
    CliResult r;
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadFile(dir.file("out.txt"));
    r.err = ReadFile(dir.file("err.txt"));
    return r;
  }
  CliResult Build(const std::string& templateName, const std::string& options) const {
    return Cli("build --template " + Quote(Template(templateName)) + " --character " + Quote(character) + " " + options);
  }
};

void ExpectFileMatches(const std::string& actualPath, const std::string& expectedName) {
  std::string expectedPath = DataPath("expected/" + expectedName);
  std::string actual = ReadFile(actualPath);
  if (std::getenv("BRINDLEMARQUE_UPDATE_EXPECTED")) WriteFile(expectedPath, actual);
  EXPECT_EQ(actual, ReadFile(expectedPath)) << "differs from " << expectedName;
}

}  // namespace

TEST(CliBuild, ForwardWithSpacersAndCleanup) {
  Workspace ws;
  CliResult r = ws.Build("Alarion_Armsman.vsk", "");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("wrote 21 recipe hotkeys and 6 spacers to Quickbar2 bars 2-7"), std::string::npos) << r.out;
  ExpectFileMatches(ws.character, "Alarion-4.forward.ini");

  // The same build on its own result changes nothing.
  CliResult again = ws.Build("Alarion_Armsman.vsk", "");
  EXPECT_EQ(again.status, 0);
  ExpectFileMatches(ws.character, "Alarion-4.forward.ini");
}

TEST(CliBuild, ReverseWithoutSpacers) {
  Workspace ws("Brunhild-8.ini");
  CliResult r = ws.Build("Brunhild_Runemaster.vsk", "--quickbar 1 --first-bar 1 --last-bar 3 --reverse --no-spacer");
  EXPECT_EQ(r.status, 0) << r.err;
  ExpectFileMatches(ws.character, "Brunhild-8.reverse.ini");

  // Bars given backwards walk backwards: the same result.
  Workspace swapped("Brunhild-8.ini");
  r = swapped.Build("Brunhild_Runemaster.vsk", "--quickbar 1 --first-bar 3 --last-bar 1 --no-spacer");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(swapped.character), ReadFile(ws.character));
}

TEST(CliBuild, WithoutCleanupOldHotkeysStay) {
  Workspace ws;
  CliResult r = ws.Build("Brunhild_Runemaster.vsk", "--quickbar 2 --first-bar 2 --last-bar 8 --no-cleanup");
  EXPECT_EQ(r.status, 0) << r.err;
  ExpectFileMatches(ws.character, "Alarion-4.nocleanup.ini");
}

TEST(CliBuild, NotEnoughSlotsAfterRepairingTheTemplate) {
  Workspace ws("Caoimhe-19.ini");
  CliResult r = ws.Build("Caoimhe_Hero.vsk", "--quickbar 1 --first-bar 3 --last-bar 5");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "not enough slots\n");
  ExpectFileMatches(ws.character, "Caoimhe-19.full.ini");
  std::string repaired = ReadFile(ws.Template("Caoimhe_Hero.vsk"));
  EXPECT_EQ(repaired.find("<Keiner>"), std::string::npos);
  EXPECT_NE(repaired.find("<effect>Keiner</effect>"), std::string::npos);
}

TEST(CliBuild, MissingConfigurationFilesRefuseTheBuild) {
  Workspace ws;
  std::string before = ReadFile(ws.character);
  for (const char* command : {"build", "preview", "gemtest"}) {
    CliResult r = ws.Cli(std::string(command) + " --template " + Quote(ws.Template("Alarion_Armsman.vsk")) +
                         " --character " + Quote(ws.character) + " --config-dir " + Quote(ws.dir.path()));
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_EQ(r.err, "can't load config.xml\r\n\r\nFailed to open file\r\n" + ws.dir.file("config.xml") +
                         ": no such file or directory\nconfig files not loaded - sry can't do my job\n")
        << command;
  }
  EXPECT_EQ(ReadFile(ws.character), before);
  EXPECT_FALSE(fs::exists(ws.dir.file("sc_log.txt")));
}

TEST(CliBuild, ReadOnlyCharacterFileFails) {
  Workspace ws;
  std::string before = ReadFile(ws.character);
  ASSERT_EQ(::chmod(ws.character.c_str(), 0444), 0);
  CliResult r = ws.Build("Alarion_Armsman.vsk", "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "can't write character file\n" + ws.character + ": marked read-only\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadFile(ws.character), before);
}

TEST(CliBuild, UnreadableTemplateFails) {
  Workspace ws;
  std::string before = ReadFile(ws.character);
  CliResult r = ws.Cli("build --template " + Quote(ws.dir.file("none.vsk")) + " --character " + Quote(ws.character));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "can't read SC-File\n" + ws.dir.file("none.vsk") + ": no such file or directory\n");
  EXPECT_EQ(ReadFile(ws.character), before);
}

TEST(CliGemTest, FillsTheRangeWithEveryGemOfTheRealmAndLogsIt) {
  Workspace ws;
  WriteFile(ws.dir.file("sc_log.txt"), "an old log that is replaced\n");
  CliResult r = ws.Cli("gemtest --template " + Quote(ws.Template("Alarion_Armsman.vsk")) + " --character " +
                           Quote(ws.character) + " --config-dir " + Quote(kVesko) + " --quickbar 3 --first-bar 2 --last-bar 1",
                       ws.dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "end of qbar\n");  // 27 gems of Albion, 20 slots
  EXPECT_EQ(r.out, "wrote the gem table to " + ws.dir.file("sc_log.txt") + "\n");
  ExpectFileMatches(ws.dir.file("sc_log.txt"), "sc_log.Alarion-4.txt");
  ExpectFileMatches(ws.character, "Alarion-4.gemtest.ini");
}

TEST(CliUsage, BadOptionsAreUsageErrors) {
  Workspace ws;
  std::string base = "build --template " + Quote(ws.Template("Alarion_Armsman.vsk")) + " --character " + Quote(ws.character);
  for (const char* bad : {" --quickbar 0", " --quickbar 4", " --first-bar 11", " --last-bar 0", " --quickbar abc",
                          " --bogus"}) {
    CliResult r = ws.Cli(base + bad);
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_NE(r.err, "") << bad;
  }
  EXPECT_EQ(ws.Cli("build --character x").status, 2);
  EXPECT_EQ(ws.Cli("").status, 2);
  CliResult help = ws.Cli("preview --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--no-spacer"), std::string::npos);
}

TEST(CliPreview, ListsTheSlotsAndChangesNothing) {
  Workspace ws("Caoimhe-19.ini");
  std::string before = ReadFile(ws.character);
  std::string templ = ReadFile(ws.Template("Caoimhe_Hero.vsk"));
  CliResult r = ws.Cli("preview --template " + Quote(ws.Template("Caoimhe_Hero.vsk")) + " --character " +
                       Quote(ws.character) + " --quickbar 3 --first-bar 1 --last-bar 10");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Quickbar3\tHotkey_0\t52,1,Macro 1,-1\tspacer \"Helm\"\n"
                        "Quickbar3\tHotkey_1\t45,1300008,,-1\tbonus str amount 25\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("would write 25 recipe hotkeys and 7 spacers to Quickbar3 bars 1-10"), std::string::npos) << r.out;
  EXPECT_EQ(ReadFile(ws.character), before);
  EXPECT_EQ(ReadFile(ws.Template("Caoimhe_Hero.vsk")), templ);
}

TEST(CliCharacters, ListsTheSampleFolderAndFilters) {
  Workspace ws;
  CliResult all = ws.Cli("characters " + Quote(kCharacters));
  EXPECT_EQ(all.status, 0);
  std::string squeezed;  // columns with single blanks between them
  for (char c : all.out)
    if (c != ' ' || (!squeezed.empty() && squeezed.back() != ' ')) squeezed += c;
  for (const char* row : {"Lyonesse Alarion Alarion-4.ini yes\n", "Avalon Anne Anne-Marie-3.ini yes\n",
                          "Salisbury Caoimhe Caoimhe-19.ini \n", "5 Gwendolyn Gwendolyn-5.ini \n"})
    EXPECT_NE(squeezed.find(row), std::string::npos) << row << "\n" << all.out;

  std::string appdata = std::string(EXAMPLES_DIR) + "/appdata";
  // Without a folder, the game's folder under APPDATA is listed.
  std::string cmd = "APPDATA=" + Quote(appdata) + " " + Quote(CLI_PATH) + " characters --spellcrafters --server 8 >" +
                    Quote(ws.dir.file("o.txt"));
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::string out = ReadFile(ws.dir.file("o.txt"));
  EXPECT_EQ(out.rfind("folder: " + appdata + "/Electronic Arts/Dark Age of Camelot/LotM\n", 0), 0u) << out;
  EXPECT_NE(out.find("Brunhild-8.ini"), std::string::npos);
  EXPECT_EQ(out.find("Alarion"), std::string::npos);

  EXPECT_EQ(ws.Cli("characters --server x").status, 2);
}

TEST(CliCharacters, FolderThatCannotBeListedAndNamesThatWouldDriveTheTerminal) {
  Workspace ws;
  CliResult missing = ws.Cli("characters " + Quote(ws.dir.file("nowhere")));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "can't list the folder " + ws.dir.file("nowhere") + ": no such file or directory\n");
  CliResult file = ws.Cli("characters " + Quote(ws.character));
  EXPECT_EQ(file.status, 1);
  EXPECT_EQ(file.err, "can't list the folder " + ws.character + ": not a directory\n");

  // A folder this user may not read: as root, run the command as nobody.
  fs::create_directory(ws.dir.file("locked"));
  ASSERT_EQ(::chmod(ws.dir.file("locked").c_str(), 0), 0);
  std::string asUser = ::geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
  std::string cmd = asUser + Quote(CLI_PATH) + " characters " + Quote(ws.dir.file("locked")) + " 2>&1";
  FILE* pipe = ::popen(cmd.c_str(), "r");
  ASSERT_TRUE(pipe);
  char line[512] = {};
  std::string err = std::fgets(line, sizeof line, pipe) ? line : "";
  EXPECT_NE(::pclose(pipe), 0);
  EXPECT_EQ(err, "can't list the folder " + ws.dir.file("locked") + ": permission denied\n");

  fs::create_directory(ws.dir.file("odd"));
  WriteFile(ws.dir.file("odd/Evil\x1b]2;owned\x07-4.ini"), "");
  CliResult odd = ws.Cli("characters " + Quote(ws.dir.file("odd")));
  EXPECT_EQ(odd.status, 0);
  EXPECT_EQ(odd.out.find('\x1b'), std::string::npos);
  EXPECT_NE(odd.out.find("Evil\\x1B]2;owned\\x07-4.ini"), std::string::npos) << odd.out;
}
