// Races another program's saves of the character file against builds, the
// way the running game saves it, and counts what became of each save:
//
//   save_race [--trials N] [--quiet-ms MS] [--seed S] [--file-system KIND] [--right-after-the-check]
//             [--kill-at aside|in|keeping] [--writer STYLE]
//
// Per writer style (in place; by renaming a file of its own over it; in place
// in two parts with a pause between, so that a build may see it half written;
// in place over the same length without truncating first; "opens early":
// opened without truncating and written over the same length 15 ms later,
// so that the open may fall before a swap and the write after it) N trials: a build starts, and at a random moment within its duration (taken
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
// --right-after-the-check aims every save at the moment random timing
// hardly reaches: right after the build's final check, before its swap. The
// writers then truncate the file and write part of it there, finishing 3, 30
// or 150 ms later through the same handle, rename a file of their own
// over it there, or open it there and write it all 15 ms later.
//
// --kill-at kills the build (a process of its own) at one moment, the game
// having saved in place right after the final check: "aside" once the file
// is moved aside and before the new one goes in (on a file system without
// the exchange), "in" once the new file is in and before the one it
// displaced is looked at, "keeping" as "in" and then the next run too,
// while it writes the game's save it found beside the file as a backup.
// A build then runs as the player's next one; the save must be the file, or
// a backup that build named.
//
// --file-system makes the build run as on a file system that lacks some of
// the calls a replacement uses, failing them the way such file systems do:
// "links" (no RENAME_EXCHANGE, no RENAME_NOREPLACE; hard links: many FUSE
// file systems), "free-names" (no exchange, no links; RENAME_NOREPLACE: the
// kernel's exFAT and FAT), "neither" (none of the three: other FUSE file
// systems; also --without-exchange-and-links). Default: all of them (ext4).
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>
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
#include <utility>
#include <vector>

#include "backups.h"
#include "bench_support.h"
#include "file_call_log.h"
#include "build_context.h"
#include "build_run.h"
#include "file_read.h"
#include "character_file_session.h"
#include "save_points.h"
#include "config_files.h"

namespace {

enum class Writer { InPlace, ByRename, TwoParts, SameLength, OpensEarly, Finish3, Finish30, Finish150 };
const char* const kWriterNames[] = {"in place",     "by rename",    "in two parts",  "same length",
                                    "opens early",  "part, +3 ms", "part, +30 ms", "part, +150 ms"};

// How long a writer that opens early waits before it writes.
constexpr int kOpensEarlyWriteMs = 15;

// How long after its first part a writer aimed at the check finishes.
int FinishMs(Writer style) { return style == Writer::Finish3 ? 3 : style == Writer::Finish30 ? 30 : 150; }

struct Counts {
  int kept = 0, keptBeside = 0, restarted = 0, cleanFailures = 0, lost = 0, torn = 0, otherFailures = 0;
};

// Whether a backup of `character` that `messages` name holds exactly `save`.
bool InNamedBackup(const std::string& character, const std::string& save, const std::string& messages) {
  for (const BackupInfo& b : ListBackups(character)) {
    std::string bytes;
    if (ReadFileBytes(b.path, bytes) == ReadStatus::Ok && bytes == save && messages.find(b.path) != std::string::npos)
      return true;
  }
  return false;
}

// The messages of builds, as the command line prints them.
struct LastMessages {
  std::string all;
  // A build on `context`: whether it succeeded, its messages kept.
  bool Build(BuildContext& context) {
    const RunOutcome outcome = RunBuild(context, RunMode::Write);
    if (!outcome.headline.empty()) all += outcome.headline.Text() + "\n";
    for (const Reason& detail : outcome.details) all += detail.Text() + "\n";
    return Succeeded(outcome.kind);
  }
};

// How often a writer that opens without creating found no file by the name
// (without exchange the name is missing for a moment between moving the
// file aside and putting the new one in) and tried again.
std::atomic<int> namesMissing{0};

// Opens `path` without creating or truncating it, as a save in place does,
// trying again 1 ms later (three times in all) while the name is missing.
void OpenAsTheGame(std::fstream& out, const std::string& path) {
  for (int attempt = 0; attempt < 3 && !out.is_open(); ++attempt) {
    if (attempt > 0) {
      ++namesMissing;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    out.open(path, std::ios::binary | std::ios::in | std::ios::out);
  }
}

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
  if (style == Writer::OpensEarly) {  // opened without truncating, written a moment later
    std::fstream out;
    OpenAsTheGame(out, path);
    std::this_thread::sleep_for(std::chrono::milliseconds(kOpensEarlyWriteMs));
    out << bytes;
    return;
  }
  // In place: truncated at the opening, then written (in two parts with a pause).
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::size_t first = style == Writer::TwoParts ? bytes.size() / 2 : bytes.size();
  out.write(bytes.data(), static_cast<std::streamsize>(first)).flush();
  std::this_thread::sleep_for(std::chrono::milliseconds(style == Writer::TwoParts ? 3 : 0));
  out.write(bytes.data() + first, static_cast<std::streamsize>(bytes.size() - first));
}

// Right after a build's final check: the first part of an in-place save
// (the rest is written `FinishMs` later by the thread returned), or a whole
// save by rename.
std::thread SaveAtTheCheck(Writer style, const std::string& path, const std::string& bytes) {
  if (style == Writer::ByRename) {
    Save(style, path, bytes);
    return std::thread();
  }
  if (style == Writer::OpensEarly) {  // opened before the swap, written after the run's look would be
    auto out = std::make_shared<std::fstream>();
    OpenAsTheGame(*out, path);
    return std::thread([out, bytes] {
      std::this_thread::sleep_for(std::chrono::milliseconds(kOpensEarlyWriteMs));
      *out << bytes;
    });
  }
  auto out = std::make_shared<std::ofstream>(path, std::ios::binary | std::ios::trunc);
  const std::size_t first = bytes.size() / 3;
  out->write(bytes.data(), static_cast<std::streamsize>(first)).flush();
  return std::thread([out, bytes, first, style] {
    std::this_thread::sleep_for(std::chrono::milliseconds(FinishMs(style)));
    out->write(bytes.data() + first, static_cast<std::streamsize>(bytes.size() - first)).flush();
  });
}

// Runs `context`'s build in a process of its own that `arm` prepares to be
// killed (exit status 9); true when it was killed.
template <typename Arm>
bool KilledBuild(BuildContext& context, Arm arm) {
  const pid_t run = ::fork();
  if (run == 0) {
    arm();
    RunBuild(context, RunMode::Write);
    ::_exit(0);
  }
  int status = 0;
  return ::waitpid(run, &status, 0) == run && WIFEXITED(status) && WEXITSTATUS(status) == 9;
}

// Kill trials at `moment` ("aside", "in", "keeping"): a build is killed
// there, the game having saved in place right after its final check; the
// next build must leave the save as the file or in a backup it names.
// Returns the number of saves lost.
int RaceKills(BuildContext& context, LastMessages& messages, FileCallLog& log, const std::string& moment,
              const std::string& character, const std::string& before, int trials) {
  int asFile = 0, asBackup = 0, lost = 0, notReached = 0, leftBeside = 0;
  for (int trial = 0; trial < trials; ++trial) {
    WriteBenchFile(character, before);
    const std::string game = "[Game]\r\nBegin=" + std::to_string(trial) + "\r\n" + before + "\r\n[GameEnd]\r\n";
    const SavePoint killAt = moment == "aside" ? SavePoint::Aside : SavePoint::AfterSwap;
    bool killed = KilledBuild(context, [&] {
      SetSavePointHook([&](SavePoint point, const std::string& path) {
        if (point == SavePoint::BeforeSwap) Save(Writer::InPlace, path, game);
        if (point == killAt) ::_exit(9);
      });
    });
    // The next run, killed while it writes the backup of what it found
    // (right before that backup gets its name).
    if (killed && moment == "keeping")
      killed = KilledBuild(context, [&] { log.ActBefore("rename", [] { ::_exit(9); }); });
    if (!killed) {
      ++notReached;
      continue;
    }
    messages.all.clear();
    messages.Build(context);
    std::string after;
    ReadFileBytes(character, after);
    const bool inBackup = InNamedBackup(character, game, messages.all);
    const std::string mine = "." + std::filesystem::path(character).filename().string() + ".";  // the runs' names
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(character).parent_path()))
      leftBeside += entry.path().filename().string().rfind(mine, 0) == 0;
    if (after.find("Begin=" + std::to_string(trial) + "\r\n") != std::string::npos && after.find("[GameEnd]") != std::string::npos)
      ++asFile;
    else if (inBackup)
      ++asBackup;
    else
      ++lost;
  }
  std::printf("killed %-8s  %6d  the save as the file %4d  in a named backup %4d  lost %4d  moment not reached %4d  "
              "left beside the file %4d\n",
              moment.c_str(), trials, asFile, asBackup, lost, notReached, leftBeside);
  return lost + notReached + leftBeside;
}

}  // namespace

int main(int argc, char** argv) {
  int trials = 500, quietMs = 100;
  unsigned seed = 20261207;
  std::string fileSystem = "ext4";
  bool atTheCheck = false;
  std::string killAt, onlyWriter;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--without-exchange-and-links") {
      fileSystem = "neither";
      continue;
    }
    if (option == "--right-after-the-check") {
      atTheCheck = true;
      continue;
    }
    if (i + 1 >= argc) break;
    ++i;
    if (option == "--trials") trials = std::atoi(argv[i]);
    else if (option == "--quiet-ms") quietMs = std::atoi(argv[i]);
    else if (option == "--seed") seed = static_cast<unsigned>(std::strtoul(argv[i], nullptr, 10));
    else if (option == "--file-system") fileSystem = argv[i];
    else if (option == "--kill-at") killAt = argv[i];
    else if (option == "--writer") onlyWriter = argv[i];
  }
  if (fileSystem != "ext4" && fileSystem != "links" && fileSystem != "free-names" && fileSystem != "neither") {
    std::cerr << "save_race: --file-system is ext4, links, free-names or neither\n";
    return 2;
  }
  const std::string folder = MakeBenchFolder();
  const std::string character = folder + "/Alarion-4.ini";
  const std::string templ = std::string(EXAMPLES_DIR) + "/vesko/templates/Alarion_Armsman.vsk";
  const std::string before = MakeCharacterFile(64 * 1024);

  LastMessages messages;
  BuildContext context;
  context.waits.quiet.quietMs = quietMs;
  ConfigLoad load = LoadConfigFiles(std::string(EXAMPLES_DIR) + "/vesko");
  context.config = std::move(load.index);
  if (!context.ConfigLoaded()) {
    std::cerr << load.reason.Text() << '\n';
    return 1;
  }
  context.job.templatePath = templ;
  context.job.characterPath = character;
  std::unique_ptr<FileCallLog> plain;
  if (fileSystem != "ext4") {
    plain = std::make_unique<FileCallLog>(character);
    plain->FailCalls("statfs", ENOSYS);
    plain->FailCalls("exchange", EINVAL);
    if (fileSystem != "free-names") plain->FailCalls("noreplace", EINVAL);
    if (fileSystem != "links") plain->FailCalls("link", EPERM);
  }
  if (!killAt.empty()) {
    if (killAt != "aside" && killAt != "in" && killAt != "keeping") {
      std::cerr << "save_race: --kill-at is aside, in or keeping\n";
      return 2;
    }
    if (!plain) plain = std::make_unique<FileCallLog>(character);
    std::cout << "file system: " << fileSystem << "; quiet time " << quietMs << " ms\n";
    const int failed = RaceKills(context, messages, *plain, killAt, character, before, trials);
    std::filesystem::remove_all(folder);
    return failed == 0 ? 0 : 1;
  }

  // The saves are spread over a whole build and a little beyond.
  std::vector<long> runs;
  for (int i = 0; i < 5; ++i) {
    WriteBenchFile(character, before);
    auto start = std::chrono::steady_clock::now();
    if (!messages.Build(context)) {
      std::cerr << messages.all;
      return 1;
    }
    runs.push_back(static_cast<long>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count()));
  }
  std::sort(runs.begin(), runs.end());
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> delayUs(0, runs[2] * 12 / 10);
  std::cout << "file system: " << fileSystem << "\n";
  if (atTheCheck)
    std::cout << "the other program saves right after the final check; quiet time " << quietMs << " ms\n";
  else
    std::cout << "a build takes " << runs[2] / 1000.0 << " ms; the other program saves 0-" << runs[2] * 1.2 / 1000
              << " ms after it starts; quiet time " << quietMs << " ms\n";
  std::cout << "writer style   trials  kept  (built on it after a restart)  kept beside, named  clean failures  "
               "lost  half-written left  other failures\n";
  int lostInAll = 0;
  std::vector<Writer> styles =
      atTheCheck ? std::vector<Writer>{Writer::Finish3, Writer::Finish30, Writer::Finish150, Writer::ByRename,
                                       Writer::OpensEarly}
                 : std::vector<Writer>{Writer::InPlace, Writer::ByRename, Writer::TwoParts, Writer::SameLength,
                                       Writer::OpensEarly};
  if (!onlyWriter.empty()) {  // --writer opens-early: that style alone
    styles.erase(std::remove_if(styles.begin(), styles.end(),
                                [&](Writer style) {
                                  std::string name = kWriterNames[static_cast<int>(style)];
                                  std::replace(name.begin(), name.end(), ' ', '-');
                                  return name != onlyWriter;
                                }),
                 styles.end());
    if (styles.empty()) {
      std::cerr << "save_race: no writer style " << onlyWriter << " here\n";
      return 2;
    }
  }
  for (Writer style : styles) {
    Counts counts;
    namesMissing = 0;
    for (int trial = 0; trial < trials; ++trial) {
      WriteBenchFile(character, before);
      const std::string begin = "[Game]\r\nBegin=" + std::to_string(trial) + "\r\n";
      const std::string end = "\r\n[GameEnd]\r\nEnd=" + std::to_string(trial) + "\r\n";
      std::string game = begin + before + end;
      if (style == Writer::SameLength || style == Writer::OpensEarly) {  // the markers over the file's own first and last bytes
        game = before;
        game.replace(0, begin.size(), begin);
        game.replace(game.size() - end.size(), end.size(), end);
      }
      messages.all.clear();
      std::thread writer, rest;
      if (atTheCheck) {
        bool saved = false;
        SetSavePointHook([&](SavePoint point, const std::string& path) {
          if (point == SavePoint::BeforeSwap && !std::exchange(saved, true)) rest = SaveAtTheCheck(style, path, game);
        });
      } else {
        long delay = delayUs(random);
        writer = std::thread([&] {
          std::this_thread::sleep_for(std::chrono::microseconds(delay));
          Save(style, character, game);
        });
      }
      bool ok = messages.Build(context);
      SetSavePointHook(nullptr);
      if (writer.joinable()) writer.join();
      if (rest.joinable()) rest.join();

      std::string after;
      ReadFileBytes(character, after);
      bool hasBegin = after.find(begin) != std::string::npos, hasEnd = after.find(end) != std::string::npos;
      if (messages.all.find(reason::kBuiltOnNewContent.english) != std::string::npos) ++counts.restarted;
      if (hasBegin != hasEnd) ++counts.torn;
      else if (hasBegin) ++counts.kept;
      else if (InNamedBackup(character, game, messages.all)) ++counts.keptBeside;
      else ++counts.lost;
      if (!ok) {
        bool clean = messages.all.find("changed by another program") != std::string::npos && hasBegin && hasEnd;
        ++(clean ? counts.cleanFailures : counts.otherFailures);
        if (!clean) std::cerr << "trial " << trial << ": " << messages.all;
      }
    }
    lostInAll += counts.lost + counts.torn;
    std::printf("%-13s  %6d  %4d  %29d  %18d  %14d  %4d  %17d  %14d\n", kWriterNames[static_cast<int>(style)], trials,
                counts.kept, counts.restarted, counts.keptBeside, counts.cleanFailures, counts.lost, counts.torn,
                counts.otherFailures);
    if (namesMissing > 0) std::printf("  (the writer found no file by the name and tried again %d times)\n", namesMissing.load());
  }
  std::filesystem::remove_all(folder);
  return lostInAll == 0 ? 0 : 1;
}
