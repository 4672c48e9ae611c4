// brindlemarque-cli build killed with SIGKILL at moments spread over a whole
// run, the save included: the character file is always either the old bytes
// or the complete new result, the next run leaves no temporary file, and the
// backups kept are whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "backups.h"
#include "test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// A realistic character file with a large chat section ahead of the bars, so
// that reading and saving take long enough to be hit.
std::string BigCharacterFile() {
  std::string chat = "[Chat]\r\nFont=Arial\r\n";
  for (int i = 0; i < 400000; ++i) chat += "ChatFilter_" + std::to_string(i) + "=1,0,1,1,0,0,1,1\xe9\r\n";
  return chat + ReadFile(std::string(EXAMPLES_DIR) + "/appdata/Electronic Arts/Dark Age of Camelot/LotM/Alarion-4.ini");
}

std::vector<std::string> BuildCommand(const std::string& templ, const std::string& character) {
  return {CLI_PATH, "build", "--template", templ, "--character", character,
          "--config-dir", std::string(EXAMPLES_DIR) + "/vesko"};
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
    ASSERT_EQ(RunProgram(BuildCommand(templ, character), "").status, 0);
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
    pid_t pid = StartProgram(BuildCommand(templ, character));
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long>(moment(random))));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    std::string now = ReadFile(character);
    ASSERT_TRUE(now == before || now == after) << "kill " << i << " left a partial character file";
    (now == before ? oldBytes : newBytes)++;
    killedInSave += Leftovers(dir.path()) > 0;

    ASSERT_EQ(RunProgram(BuildCommand(templ, character), "").status, 0) << "kill " << i;
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
