// brindlemarque-cli end to end on the bundled examples: whole resulting
// character files compared with checked-in expected files.
// BRINDLEMARQUE_UPDATE_EXPECTED=1 rewrites the expected files instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "character_files.h"
#include "paths.h"
#include "test_support.h"
#include "version.h"

namespace fs = std::filesystem;

namespace {

const std::string kVesko = std::string(EXAMPLES_DIR) + "/vesko";
const std::string kCharacters = std::string(EXAMPLES_DIR) + "/appdata/Electronic Arts/Dark Age of Camelot/LotM";

using Args = std::vector<std::string>;

// A copy of the examples to work on, so that a faulty program cannot write
// into the checkout: the planning tool's folder (configuration and
// templates) and one character file beside it.
struct Workspace {
  TempDir dir;
  std::string planner = dir.file("vesko");
  std::string character;
  explicit Workspace(const std::string& characterName = "Alarion-4.ini") {
    fs::copy(FsPath(kVesko), FsPath(planner), fs::copy_options::recursive);
    character = dir.file(characterName);
    fs::copy_file(FsPath(kCharacters + "/" + characterName), FsPath(character));
  }
  std::string Template(const std::string& name) const { return planner + "/templates/" + name; }

  // Runs the CLI in `folder` (default: the copied planning tool's folder).
  ProgramResult Cli(Args args, const std::string& folder = std::string(),
                    const std::map<std::string, std::optional<std::string>>& env = {}) const {
    args.insert(args.begin(), CLI_PATH);
    return RunProgram(args, folder.empty() ? planner : folder, env);
  }
  ProgramResult Build(const std::string& templateName, Args options = {}) const {
    Args args = {"build", "--template", Template(templateName), "--character", character};
    args.insert(args.end(), options.begin(), options.end());
    return Cli(args);
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
  ProgramResult r = ws.Build("Alarion_Armsman.vsk");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("wrote 21 recipe hotkeys and 6 spacers to Quickbar2 bars 2-7"), std::string::npos) << r.out;
  ExpectFileMatches(ws.character, "Alarion-4.forward.ini");

  // The same build on its own result changes nothing, and says so.
  ProgramResult again = ws.Build("Alarion_Armsman.vsk");
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out.rfind("nothing to write: Quickbar2 bars 2-7 of ", 0), 0u) << again.out;
  ExpectFileMatches(ws.character, "Alarion-4.forward.ini");
}

TEST(CliBuild, ReverseWithoutSpacers) {
  Workspace ws("Brunhild-8.ini");
  ProgramResult r = ws.Build("Brunhild_Runemaster.vsk", {"--quickbar", "1", "--first-bar", "1", "--last-bar", "3", "--reverse", "--no-spacer"});
  EXPECT_EQ(r.status, 0) << r.err;
  ExpectFileMatches(ws.character, "Brunhild-8.reverse.ini");
  EXPECT_NE(r.out.find(" to Quickbar bars 1-3 (reverse) of "), std::string::npos) << r.out;

  // Bars given backwards walk backwards: the same result.
  Workspace swapped("Brunhild-8.ini");
  r = swapped.Build("Brunhild_Runemaster.vsk", {"--quickbar", "1", "--first-bar", "3", "--last-bar", "1", "--no-spacer"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(swapped.character), ReadFile(ws.character));
}

TEST(CliBuild, WithoutCleanupOldHotkeysStay) {
  Workspace ws;
  ProgramResult r = ws.Build("Brunhild_Runemaster.vsk", {"--quickbar", "2", "--first-bar", "2", "--last-bar", "8", "--no-cleanup"});
  EXPECT_EQ(r.status, 0) << r.err;
  ExpectFileMatches(ws.character, "Alarion-4.nocleanup.ini");
}

TEST(CliBuild, NotEnoughSlotsAfterRepairingTheTemplate) {
  Workspace ws("Caoimhe-19.ini");
  ProgramResult r = ws.Build("Caoimhe_Hero.vsk", {"--quickbar", "1", "--first-bar", "3", "--last-bar", "5"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "not enough slots\n");
  EXPECT_EQ(r.out.rfind("wrote only 30 of 32 hotkeys: 23 recipe hotkeys and 7 spacers to Quickbar bars 3-5 of ", 0), 0u) << r.out;
  ExpectFileMatches(ws.character, "Caoimhe-19.full.ini");
  std::string repaired = ReadFile(ws.Template("Caoimhe_Hero.vsk"));
  EXPECT_EQ(repaired.find("<Keiner>"), std::string::npos);
  EXPECT_NE(repaired.find("<effect>Keiner</effect>"), std::string::npos);
}

// (A folder whose name holds "%s" and "%d" is named as it is.)
TEST(CliBuild, MissingConfigurationFilesRefuseTheBuild) {
  Workspace ws;
  std::string before = ReadFile(ws.character);
  const std::string empty = ws.dir.file("50%s off %d");
  fs::create_directory(FsPath(empty));
  for (const char* command : {"build", "preview", "gemtest"}) {
    ProgramResult r = ws.Cli({command, "--template", ws.Template("Alarion_Armsman.vsk"), "--character", ws.character,
                              "--config-dir", empty});
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_EQ(r.err, "can't load config.xml\n\n" + ShownPath(JoinPath(empty, "config.xml")) +
                         ": no such file or directory\nconfig files not loaded - sry can't do my job\n")
        << command;
  }
  EXPECT_EQ(ReadFile(ws.character), before);
  EXPECT_FALSE(fs::exists(FsPath(ws.planner + "/sc_log.txt")));  // where the gem table would write it
}

TEST(CliBuild, ReadOnlyCharacterFileFails) {
  Workspace ws;
  std::string before = ReadFile(ws.character);
  MakeReadOnly(ws.character);
  ProgramResult r = ws.Build("Alarion_Armsman.vsk");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "can't write character file\n" + ws.character + ": marked read-only\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadFile(ws.character), before);
}

TEST(CliBuild, UnreadableTemplateFails) {
  Workspace ws;
  std::string before = ReadFile(ws.character);
  ProgramResult r = ws.Cli({"build", "--template", ws.dir.file("none.vsk"), "--character", ws.character});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "can't read SC-File\n" + ShownPath(ws.dir.file("none.vsk")) + ": no such file or directory\n");
  EXPECT_EQ(ReadFile(ws.character), before);
}

TEST(CliGemTest, FillsTheRangeWithEveryGemOfTheRealmAndLogsIt) {
  Workspace ws;
  WriteFile(ws.dir.file("sc_log.txt"), "an old log that is replaced\n");
  const Args gemtest = {"gemtest", "--template", ws.Template("Alarion_Armsman.vsk"), "--character", ws.character,
                        "--config-dir", ws.planner, "--quickbar", "3", "--first-bar", "2", "--last-bar", "1"};
  ProgramResult r = ws.Cli(gemtest, ws.dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "end of qbar\n");  // 27 gems of Albion, 20 slots
  const std::string said = "wrote the gem table to ";
  ASSERT_EQ(r.out.rfind(said, 0), 0u) << r.out;
  EXPECT_EQ(FsPath(r.out.substr(said.size(), r.out.size() - said.size() - 1)), FsPath(ws.dir.file("sc_log.txt")));
  EXPECT_EQ(ReadFile(ws.dir.file("sc_log.txt")), PlatformText(ReadFile(DataPath("expected/sc_log.Alarion-4.txt"))));
  ExpectFileMatches(ws.character, "Alarion-4.gemtest.ini");
  // A log that cannot be written (a folder in its place) fails the command, and says so.
  std::filesystem::remove(FsPath(ws.dir.file("sc_log.txt")));
  std::filesystem::create_directory(FsPath(ws.dir.file("sc_log.txt")));
  ProgramResult noLog = ws.Cli(gemtest, ws.dir.path());
  EXPECT_EQ(noLog.status, 1);
  EXPECT_NE(noLog.err.find("can't write "), std::string::npos) << noLog.err;
  EXPECT_EQ(noLog.out, "");
}

TEST(CliUsage, BadOptionsAreUsageErrors) {
  Workspace ws;
  for (const Args& bad : {Args{"--quickbar", "0"}, Args{"--quickbar", "4"}, Args{"--first-bar", "11"},
                          Args{"--last-bar", "0"}, Args{"--quickbar", "abc"}, Args{"--bogus"}}) {
    ProgramResult r = ws.Build("Alarion_Armsman.vsk", bad);
    EXPECT_EQ(r.status, 2) << bad[0];
    EXPECT_NE(r.err, "") << bad[0];
  }
  EXPECT_EQ(ws.Cli({"build", "--character", "x"}).status, 2);
  EXPECT_EQ(ws.Cli({}).status, 2);
  EXPECT_EQ(ws.Cli({"--version"}).out, "brindlemarque-cli " BRINDLEMARQUE_VERSION "\n");
  ProgramResult help = ws.Cli({"preview", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--no-spacer"), std::string::npos);
}

TEST(CliPreview, ListsTheSlotsAndChangesNothing) {
  Workspace ws("Caoimhe-19.ini");
  std::string before = ReadFile(ws.character);
  std::string templ = ReadFile(ws.Template("Caoimhe_Hero.vsk"));
  ProgramResult r = ws.Cli({"preview", "--template", ws.Template("Caoimhe_Hero.vsk"), "--character", ws.character,
                            "--quickbar", "3", "--first-bar", "1", "--last-bar", "10"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Quickbar3\tHotkey_0\t52,1,Macro 1,-1\tspacer \"Helm\"\n"
                        "Quickbar3\tHotkey_1\t45,1300008,,-1\tbonus str amount 25\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("would write 25 recipe hotkeys and 7 spacers to Quickbar3 bars 1-10"), std::string::npos) << r.out;
  // The configuration's Windows-1252 labels come out as UTF-8.
  EXPECT_NE(r.out.find("\tspacer \"F\xC3\xBC\xC3\x9F" "e\"\n"), std::string::npos) << r.out;
  EXPECT_EQ(ReadFile(ws.character), before);
  EXPECT_EQ(ReadFile(ws.Template("Caoimhe_Hero.vsk")), templ);

  // The bars as a picture: a reverse walk over the player's keys.
  Workspace alarion;
  ProgramResult bars = alarion.Cli({"preview", "--bars", "--reverse", "--no-cleanup", "--template",
                                    alarion.Template("Alarion_Armsman.vsk"), "--character", alarion.character},
                                   "", {{"LC_ALL", "C.UTF-8"}});
  EXPECT_EQ(bars.status, 0) << bars.err;
  EXPECT_EQ(bars.out.substr(0, bars.out.rfind("would write")), ReadFile(DataPath("expected/Alarion-4.bars.txt")));
}

TEST(CliCharacters, ListsTheSampleFolderAndFilters) {
  Workspace ws;
  ProgramResult all = ws.Cli({"characters", kCharacters});
  EXPECT_EQ(all.status, 0);
  std::string squeezed;  // columns with single blanks between them
  for (char c : all.out)
    if (c != ' ' || (!squeezed.empty() && squeezed.back() != ' ')) squeezed += c;
  for (const char* row : {"Lyonesse Alarion Alarion-4.ini yes\n", "Avalon Anne-Marie Anne-Marie-3.ini yes\n",
                          "Salisbury Caoimhe Caoimhe-19.ini \n", "5 Gwendolyn Gwendolyn-5.ini \n"})
    EXPECT_NE(squeezed.find(row), std::string::npos) << row << "\n" << all.out;

  // Without a folder, every game folder found is listed: here the one under
  // APPDATA and (on Linux) a Wine prefix's in an otherwise empty home.
  std::string appdata = std::string(EXAMPLES_DIR) + "/appdata";
  std::string wine = ws.dir.file(".wine/drive_c/users/anna/AppData/Roaming/Electronic Arts/Dark Age of Camelot/LotM");
  fs::create_directories(FsPath(wine));
  fs::copy_file(FsPath(std::string(kCharacters) + "/Brunhild-8.ini"), FsPath(wine + "/Brunhild-8.ini"));
  std::map<std::string, std::optional<std::string>> home = {
      {"APPDATA", appdata}, {"HOME", ws.dir.path()}, {"USER", "anna"}, {"WINEPREFIX", std::nullopt},
      {"XDG_CONFIG_HOME", std::nullopt}, {"XDG_DATA_HOME", std::nullopt}};
  std::string lotm = JoinPath(JoinPath(JoinPath(appdata, "Electronic Arts"), "Dark Age of Camelot"), "LotM");
  ProgramResult listed = ws.Cli({"characters", "--spellcrafters", "--server", "8"}, "", home);
  ASSERT_EQ(listed.status, 0) << listed.err;
  const std::string& out = listed.out;
  EXPECT_EQ(out.rfind("folder: " + ShownPath(lotm) + " (%APPDATA% \xE2\x80\x93 LotM)\n", 0), 0u) << out;
  EXPECT_NE(out.find("Brunhild-8.ini"), std::string::npos);
  EXPECT_EQ(out.find("Alarion"), std::string::npos);
  std::string expectedFolders = "%APPDATA% \xE2\x80\x93 LotM\t" + ShownPath(lotm) + "\n";
#ifndef _WIN32
  EXPECT_NE(out.find("\nfolder: " + wine + " (Wine (~/.wine) \xE2\x80\x93 LotM)\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Brunhild-8.ini", out.find("Wine")), std::string::npos) << out;
  expectedFolders += "Wine (~/.wine) \xE2\x80\x93 LotM\t" + wine + "\n";
#endif
  EXPECT_EQ(ws.Cli({"characters", "--folders"}, "", home).out, expectedFolders);
  home["APPDATA"] = std::nullopt;
  home["HOME"] = ws.dir.file("empty");
  ProgramResult none = ws.Cli({"characters"}, "", home);
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no game folder found"), std::string::npos) << none.err;

  EXPECT_EQ(ws.Cli({"characters", "--server", "x"}).status, 2);
}

TEST(CliCharacters, FolderThatCannotBeListedAndNamesThatWouldDriveTheTerminal) {
  Workspace ws;
  ProgramResult missing = ws.Cli({"characters", ws.dir.file("nowhere")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "can't list the folder " + ShownPath(ws.dir.file("nowhere")) + ": no such file or directory\n");
  ProgramResult file = ws.Cli({"characters", ws.character});
  EXPECT_EQ(file.status, 1);
  EXPECT_EQ(file.err, "can't list the folder " + ShownPath(ws.character) + ": not a directory\n");

#ifndef _WIN32
  // A folder no user can open, root included: a link that leads to itself.
  ASSERT_EQ(::symlink("locked", ws.dir.file("locked").c_str()), 0);
  ProgramResult locked = ws.Cli({"characters", ws.dir.file("locked")});
  EXPECT_EQ(locked.status, 1);
  EXPECT_EQ(locked.err, "can't list the folder " + ws.dir.file("locked") + ": too many levels of symbolic links\n");

  // Windows has no such names: control characters are not allowed there.
  fs::create_directory(FsPath(ws.dir.file("odd")));
  WriteFile(ws.dir.file("odd/Evil\x1b]2;owned\x07\x7f-4.ini"), "");
  ProgramResult odd = ws.Cli({"characters", ws.dir.file("odd")});
  EXPECT_EQ(odd.status, 0);
  EXPECT_EQ(odd.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(odd.out.find('\x7f'), std::string::npos);  // DEL too
  EXPECT_NE(odd.out.find("Evil\\x1B]2;owned\\x07\\x7F-4.ini"), std::string::npos) << odd.out;

  // A Latin-1 name reads as UTF-8; a C1 control in a UTF-8 name is escaped too.
  fs::create_directory(FsPath(ws.dir.file("latin")));
  WriteFile(ws.dir.file("latin/H\xE4nde-4.ini"), "");
  WriteFile(ws.dir.file("latin/Csi\xC2\x9B" "2J-4.ini"), "");
  ProgramResult latin = ws.Cli({"characters", ws.dir.file("latin")});
  EXPECT_NE(latin.out.find("H\xC3\xA4nde-4.ini"), std::string::npos) << latin.out;
  EXPECT_NE(latin.out.find("Csi\\x9B2J-4.ini"), std::string::npos) << latin.out;
  // A terminal of one byte per character gets the names in its own set.
  ProgramResult narrow = ws.Cli({"characters", ws.dir.file("latin")}, "", {{"LC_ALL", "de_DE.ISO-8859-1"}});
  EXPECT_NE(narrow.out.find("H\xE4nde-4.ini"), std::string::npos) << narrow.out;
  EXPECT_EQ(narrow.out.find("H\xC3\xA4nde"), std::string::npos) << narrow.out;
#endif
}

TEST(CliRestore, UndoesABuildByteForByteAndTheUndoItself) {
  Workspace ws;
  std::string original = ReadFile(ws.character);
  ASSERT_EQ(ws.Build("Alarion_Armsman.vsk").status, 0);
  ASSERT_EQ(ws.Build("Alarion_Armsman.vsk").status, 0);  // changes nothing: no second backup
  std::string built = ReadFile(ws.character);
  Args restore = {"restore", "--character", ws.character};

  ProgramResult list = ws.Cli({"restore", "--character", ws.character, "--list"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out.find("\n2 "), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("\n1   "), std::string::npos) << list.out;
  EXPECT_NE(list.out.find(" bytes       build of Alarion_Armsman.vsk onto Quickbar2 bars 2-7\n"), std::string::npos)
      << list.out;

  ProgramResult undo = ws.Cli(restore);
  EXPECT_EQ(undo.status, 0) << undo.err;
  EXPECT_EQ(ReadFile(ws.character), original);
  EXPECT_EQ(undo.out.rfind("restored " + ShownPath(ws.character) + " to the backup of ", 0), 0u) << undo.out;
  ProgramResult same = ws.Cli({"restore", "--character", ws.character, "--backup", "2"});  // the original again
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out.rfind(ShownPath(ws.character) + " already holds the backup of ", 0), 0u) << same.out;
  EXPECT_EQ(ws.Cli(restore).status, 0);  // the undo undone
  EXPECT_EQ(ReadFile(ws.character), built);
  EXPECT_EQ(ws.Cli({"restore", "--character", ws.character, "--backup", "3"}).status, 0);
  EXPECT_EQ(ReadFile(ws.character), original);

  ProgramResult missing = ws.Cli({"restore", "--character", ws.character, "--backup", "9"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "can't restore the backup\n" + ws.character + ": no backup 9 (there are 4)\n");
  EXPECT_EQ(ReadFile(ws.character), original);
  ProgramResult zero = ws.Cli({"restore", "--character", ws.character, "--backup", "0"});
  EXPECT_EQ(zero.status, 2);
  EXPECT_EQ(zero.err.substr(0, zero.err.find('\n')), "--backup: must be 1 or more");

  // A file that cannot be replaced: nothing changes, and no backup of it
  // stays to stand in the way of the next undo.
  ASSERT_EQ(ws.Cli(restore).status, 0);  // back to the build's result
  Args listing = {"restore", "--character", ws.character, "--list"};
  std::string kept = ws.Cli(listing).out;
  MakeReadOnly(ws.character);
  ProgramResult refused = ws.Cli(restore);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "can't restore the backup\n" + ws.character + ": marked read-only\n");
  EXPECT_EQ(ReadFile(ws.character), built);
  EXPECT_EQ(ws.Cli(listing).out, kept);
}

// A version of the file a stopped run left beside it: the restore keeps it
// as a backup and says so on standard error, as a build does.
TEST(CliRestore, SaysWhatItKeptOfAStoppedRun) {
  Workspace ws;
  const std::string original = ReadFile(ws.character);
  ASSERT_EQ(ws.Build("Alarion_Armsman.vsk").status, 0);
  WriteFile(FolderOf(ws.character) + "/.Alarion-4.ini.brindlemarque-" + std::to_string(EndedProcessId()) +
                "-0123456789abcdef-AbCdEf-old",
            "[Chat]\r\nsaved=by the game\r\n");
  ProgramResult undo = ws.Cli({"restore", "--character", ws.character});
  EXPECT_EQ(undo.status, 0) << undo.err;
  EXPECT_EQ(undo.err.rfind("a version of " + ShownPath(ws.character) + " that a stopped run had displaced", 0), 0u)
      << undo.err;
  EXPECT_EQ(ReadFile(ws.character), original);
}

// While the game's client runs, a command that writes warns on standard
// error and does what it would do otherwise; --no-game-check skips the look.
TEST(CliGameRunning, WritingCommandsWarnAndGoOn) {
  Workspace quiet, warned;
  ProgramResult before = quiet.Build("Alarion_Armsman.vsk");
  ASSERT_EQ(before.status, 0) << before.err;
  EXPECT_EQ(before.err, "");

  GameClientStandIn game;
  const std::string warning =
      "warning: the game is running; if Alarion is logged in, the game puts its own bars back when Alarion logs out "
      "and this build is lost: log Alarion out to the character selection (or quit the game) first\n";
  ProgramResult build = warned.Build("Alarion_Armsman.vsk");
  EXPECT_EQ(build.status, 0);
  EXPECT_EQ(build.err, warning);
  EXPECT_EQ(build.out, before.out.substr(0, before.out.rfind(" of ")) + " of " + ShownPath(warned.character) + "\n");
  EXPECT_EQ(ReadFile(warned.character), ReadFile(quiet.character));

  ProgramResult unchecked = warned.Build("Alarion_Armsman.vsk", {"--no-game-check"});
  EXPECT_EQ(unchecked.status, 0);
  EXPECT_EQ(unchecked.err, "");
  ProgramResult preview = warned.Cli({"preview", "--template", warned.Template("Alarion_Armsman.vsk"), "--character",
                                      warned.character});
  EXPECT_EQ(preview.err, "");  // writes nothing: no warning
  ProgramResult gems = warned.Cli({"gemtest", "--template", warned.Template("Alarion_Armsman.vsk"), "--character",
                                   warned.character});
  EXPECT_EQ(gems.status, 0);
  EXPECT_EQ(gems.err, warning);
  EXPECT_EQ(warned.Cli({"gemtest", "--template", warned.Template("Alarion_Armsman.vsk"), "--character",
                        warned.character, "--no-game-check"}).err, "");
  EXPECT_EQ(warned.Cli({"restore", "--character", warned.character, "--list"}).err, "");
  ProgramResult restore = warned.Cli({"restore", "--character", warned.character});
  EXPECT_EQ(restore.status, 0);
  EXPECT_EQ(restore.err, std::string(warning).replace(warning.find("this build"), 10, "this restore"));
  EXPECT_EQ(ReadFile(warned.character), ReadFile(quiet.character));  // the gem table undone
}
