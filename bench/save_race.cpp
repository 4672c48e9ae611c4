// Races another program's saves of the character file against builds, the
// way the running game saves it, and counts what became of each save:
//
//   save_race [--trials N] [--quiet-ms MS] [--seed S] [--without-exchange-and-links]
//
// Per writer style (in place; by renaming a file of its own over it; in place
// in two parts with a pause between, so that a build may see it half written;
// in place over the same length without truncating first) N trials: a build starts, and at a random moment within its duration (taken
// from five builds first) the other program saves the
// file with markers at its start and end. Afterwards the file must hold both
// markers (the save was kept: built on, or written after the build) or the
// build must have failed cleanly; a file without the markers after a
// successful build is a save lost without a message, one with a single
// marker a half-written file left behind. The quiet time (how long a file
// must be unchanged before a build reads it) is shortened from its default of
// a second so that the trials do not take an hour; the two-part writer's
// pause stays well below it, as a real save's steps do.
//
// With --without-exchange-and-links the build runs as on a file system that
// has neither RENAME_EXCHANGE nor hard links (FAT, exFAT, many FUSE file
// systems): those calls fail the way such file systems fail them.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "file_call_log.h"
#include "build_context.h"
#include "build_run.h"
#include "file_read.h"
#include "message_sink.h"
#include "profile_file.h"
#include "recipe_lookup.h"

namespace {

enum class Writer { InPlace, ByRename, TwoParts, SameLength };
const char* const kWriterNames[] = {"in place", "by rename", "in two parts", "same length"};

struct Counts {
  int kept = 0, restarted = 0, cleanFailures = 0, lost = 0, torn = 0, otherFailures = 0;
};

class LastMessages : public MessageSink {
 public:
  void ShowMessage(const std::string& text) override { all += text + "\n"; }
  std::string all;
};

// Saves `bytes` over `path` as a game would, in the given style.
void Save(Writer style, const std::string& path, const std::string& bytes) {
  if (style == Writer::ByRename) {
    std::ofstream(path + ".game", std::ios::binary | std::ios::trunc) << bytes;
    std::filesystem::rename(path + ".game", path);
    return;
  }
  if (style == Writer::SameLength) {  // overwritten from the start, never shorter for a moment
    std::fstream(path, std::ios::binary | std::ios::in | std::ios::out) << bytes;
    return;
  }
  // In place: truncated at the opening, then written (in two parts with a pause).
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::size_t first = style == Writer::TwoParts ? bytes.size() / 2 : bytes.size();
  out.write(bytes.data(), static_cast<std::streamsize>(first)).flush();
  std::this_thread::sleep_for(std::chrono::milliseconds(style == Writer::TwoParts ? 3 : 0));
  out.write(bytes.data() + first, static_cast<std::streamsize>(bytes.size() - first));
}

}  // namespace

int main(int argc, char** argv) {
  int trials = 500, quietMs = 100;
  unsigned seed = 20261207;
  bool plainFileSystem = false;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--without-exchange-and-links") {
      plainFileSystem = true;
      continue;
    }
    if (i + 1 >= argc) break;
    ++i;
    if (option == "--trials") trials = std::atoi(argv[i]);
    else if (option == "--quiet-ms") quietMs = std::atoi(argv[i]);
    else if (option == "--seed") seed = static_cast<unsigned>(std::strtoul(argv[i], nullptr, 10));
  }
  const std::string folder = MakeBenchFolder();
  const std::string character = folder + "/Alarion-4.ini";
  const std::string templ = std::string(EXAMPLES_DIR) + "/vesko/templates/Alarion_Armsman.vsk";
  const std::string before = MakeCharacterFile(64 * 1024);
  ProfileFile::SetQuietTime(quietMs);

  LastMessages messages;
  BuildContext context;
  context.messages = &messages;
  if (!LoadConfigFiles(context, std::string(EXAMPLES_DIR) + "/vesko")) {
    std::cerr << messages.all;
    return 1;
  }
  context.job.templatePath = templ;
  context.job.characterPath = character;
  std::unique_ptr<FileCallLog> plain;
  if (plainFileSystem) {
    plain = std::make_unique<FileCallLog>(character);
    plain->FailCalls("exchange", EINVAL);
    plain->FailCalls("noreplace", EINVAL);
    plain->FailCalls("link", EPERM);
  }

  // The saves are spread over a whole build and a little beyond.
  std::vector<long> runs;
  for (int i = 0; i < 5; ++i) {
    WriteBenchFile(character, before);
    auto start = std::chrono::steady_clock::now();
    if (!RunBuildJob(context)) {
      std::cerr << messages.all;
      return 1;
    }
    runs.push_back(static_cast<long>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count()));
  }
  std::sort(runs.begin(), runs.end());
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> delayUs(0, runs[2] * 12 / 10);
  if (plainFileSystem) std::cout << "as on a file system without RENAME_EXCHANGE and hard links\n";
  std::cout << "a build takes " << runs[2] / 1000.0 << " ms; the other program saves 0-" << runs[2] * 1.2 / 1000
            << " ms after it starts; quiet time " << quietMs << " ms\n";
  std::cout << "writer style   trials  kept  (built on it after a restart)  clean failures  lost silently  "
               "half-written left  other failures\n";
  int lostInAll = 0;
  for (Writer style : {Writer::InPlace, Writer::ByRename, Writer::TwoParts, Writer::SameLength}) {
    Counts counts;
    for (int trial = 0; trial < trials; ++trial) {
      WriteBenchFile(character, before);
      const std::string begin = "[Game]\r\nBegin=" + std::to_string(trial) + "\r\n";
      const std::string end = "\r\n[GameEnd]\r\nEnd=" + std::to_string(trial) + "\r\n";
      std::string game = begin + before + end;
      if (style == Writer::SameLength) {  // the markers over the file's own first and last bytes
        game = before;
        game.replace(0, begin.size(), begin);
        game.replace(game.size() - end.size(), end.size(), end);
      }
      messages.all.clear();
      long delay = delayUs(random);
      std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        Save(style, character, game);
      });
      bool ok = RunBuildJob(context);
      writer.join();

      std::string after;
      ReadFileBytes(character, after);
      bool hasBegin = after.find(begin) != std::string::npos, hasEnd = after.find(end) != std::string::npos;
      if (messages.all.find(kBuiltOnNewContent) != std::string::npos) ++counts.restarted;
      if (hasBegin != hasEnd) ++counts.torn;
      else if (hasBegin) ++counts.kept;
      else if (ok) ++counts.lost;
      if (!ok) {
        bool clean = messages.all.find("changed by another program") != std::string::npos && hasBegin && hasEnd;
        ++(clean ? counts.cleanFailures : counts.otherFailures);
        if (!clean) std::cerr << "trial " << trial << ": " << messages.all;
      }
    }
    lostInAll += counts.lost + counts.torn;
    std::printf("%-13s  %6d  %4d  %29d  %14d  %13d  %17d  %14d\n", kWriterNames[static_cast<int>(style)], trials,
                counts.kept, counts.restarted, counts.cleanFailures, counts.lost, counts.torn, counts.otherFailures);
  }
  std::filesystem::remove_all(folder);
  return lostInAll == 0 ? 0 : 1;
}
