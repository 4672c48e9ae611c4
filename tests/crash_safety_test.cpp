// brindlemarque-cli build killed with SIGKILL at moments spread over a whole
// run, the save included: the character file is always either the old bytes
// or the complete new result, the next run leaves no temporary file, and the
// backups kept are whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "backups.h"
#include "test_support.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A realistic character file with a large chat section ahead of the bars, so
// that reading and saving take long enough to be hit.
std::string BigCharacterFile() {
  std::string chat = "[Chat]\r\nFont=Arial\r\n";
  for (int i = 0; i < 400000; ++i) chat += "ChatFilter_" + std::to_string(i) + "=1,0,1,1,0,0,1,1\xe9\r\n";
  return chat + ReadFile(std::string(EXAMPLES_DIR) + "/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini");
}

pid_t StartBuild(const std::string& templ, const std::string& character) {
  std::vector<std::string> args = {CLI_PATH, "build", "--template", templ, "--character", character,
                                   "--config-dir", std::string(EXAMPLES_DIR) + "/vesko"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, CLI_PATH, &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Runs a build to its end; its exit status, or -1 when it did not exit.
int RunBuild(const std::string& templ, const std::string& character) {
  pid_t pid = StartBuild(templ, character);
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Files in `folder` other than the template and the character file.
int Leftovers(const std::string& folder) {
  int count = 0;
  for (auto& e : std::filesystem::directory_iterator(folder)) {
    std::string name = e.path().filename().string();
    count += name != "t.vsk" && name != "Alarion-4.ini";
  }
  return count;
}

}  // namespace

TEST(CrashSafety, AKilledBuildLeavesTheOldOrTheNewFileAndNoLeftovers) {
  TempDir dir;
  const std::string templ = dir.file("t.vsk"), character = dir.file("Alarion-4.ini");
  WriteFile(templ, ReadFile(std::string(EXAMPLES_DIR) + "/vesko/templates/Alarion_Armsman.vsk"));
  const std::string before = BigCharacterFile();

  // The complete result, and how long a whole run takes.
  std::vector<double> runs;
  for (int i = 0; i < 3; ++i) {
    WriteFile(character, before);
    auto start = Clock::now();
    ASSERT_EQ(RunBuild(templ, character), 0);
    runs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::sort(runs.begin(), runs.end());
  const std::string after = ReadFile(character);
  ASSERT_NE(after, before);

  std::mt19937 random(20261207);
  std::uniform_real_distribution<double> moment(0.0, runs[1] * 1.2);
  int oldBytes = 0, newBytes = 0, killedInSave = 0;
  for (int i = 0; i < 200; ++i) {
    WriteFile(character, before);
    pid_t pid = StartBuild(templ, character);
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long>(moment(random))));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    std::string now = ReadFile(character);
    ASSERT_TRUE(now == before || now == after) << "kill " << i << " left a partial character file";
    (now == before ? oldBytes : newBytes)++;
    killedInSave += Leftovers(dir.path()) > 0;

    ASSERT_EQ(RunBuild(templ, character), 0) << "kill " << i;
    ASSERT_EQ(ReadFile(character), after);
    ASSERT_EQ(Leftovers(dir.path()), 0) << "kill " << i;
  }
  // What was kept before the saves is whole: the file as it was.
  for (const BackupInfo& backup : ListBackups(character)) EXPECT_EQ(ReadFile(backup.path), before) << backup.path;
  // The kills were spread over the run: some before the save, some during it.
  EXPECT_GT(oldBytes, 0);
  EXPECT_GT(killedInSave, 0);
  std::cout << "old bytes " << oldBytes << ", new bytes " << newBytes << ", killed while saving " << killedInSave
            << " (a whole run: " << runs[1] / 1000 << " ms)\n";
}
