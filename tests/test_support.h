// Shared helpers for the suites: a temporary folder per test, whole-file
// reads and writes, running a program, and a message sink that records.
// They build on Linux and on Windows (paths are UTF-8 text there).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "paths.h"
#include "profile_calls.h"
#include "save_points.h"
#include "backup_note.h"
#include "build_run.h"
#include "config_files.h"

/// A fresh folder under the system's temporary folder, removed with its
/// contents. On Windows its name holds a non-ASCII letter, so that every
/// test there also checks that such paths work.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_path; }
  /// The path of `name` inside the folder.
  std::string file(const std::string& name) const { return JoinPath(m_path, name); }

 private:
  std::string m_path;
};

/// A path as messages show it: with the system's one separator.
std::string ShownPath(std::string path);

/// Writes `bytes` to `path`, creating or truncating it.
void WriteFile(const std::string& path, const std::string& bytes);
/// The whole file, or "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);
/// An identity of the file (inode, or the file index on Windows), to tell a
/// rewritten file from an untouched one.
unsigned long long InodeOf(const std::string& path);
/// Marks the file read-only (no write permission bits; the read-only attribute on Windows).
void MakeReadOnly(const std::string& path);
/// Renames `from` over the existing `to`, as a program saving by rename does.
void RenameOver(const std::string& from, const std::string& to);
/// `text` with the platform's text line ends (CR LF on Windows).
std::string PlatformText(const std::string& text);
/// The folder of test data files (tests/data).
std::string DataPath(const std::string& name);

/// This process's id, and the id of a process that has ended (none runs with it).
unsigned long ThisProcessId();
unsigned long EndedProcessId();

/// Sets (or with no value removes) an environment variable.
void SetEnvironment(const std::string& name, const std::optional<std::string>& value);


/// Calls `hook` at every SavePoint of the file layer (see SetSavePointHook)
/// until the scope ends.
class ScopedSavePointHook {
 public:
  explicit ScopedSavePointHook(std::function<void(SavePoint point, const std::string& path)> hook) {
    SetSavePointHook(std::move(hook));
  }
  ScopedSavePointHook(const ScopedSavePointHook&) = delete;
  ScopedSavePointHook& operator=(const ScopedSavePointHook&) = delete;
  ~ScopedSavePointHook() { SetSavePointHook(nullptr); }
};

/// Sets or removes environment variables for a scope and restores them after.
class ScopedEnv {
 public:
  ScopedEnv() = default;
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv();
  void Set(const std::string& name, const std::optional<std::string>& value);

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

/// Where builds keep their backups (see BackupRoot): set by every test
/// program to a temporary folder of its own.
#ifdef _WIN32
constexpr const char* kDataHomeVariable = "LOCALAPPDATA";
#else
constexpr const char* kDataHomeVariable = "XDG_DATA_HOME";
#endif

/// What a program run gave.
struct ProgramResult {
  int status = -1;  ///< the exit status; -1 when it did not end normally
  std::string out, err;
};

/// Runs `args` (the program first) in `folder` with the environment changes
/// `env` (a missing value removes the variable), no input, and its output
/// and errors caught (on Windows with the text mode's CR LF made LF again).
ProgramResult RunProgram(const std::vector<std::string>& args, const std::string& folder,
                         const std::map<std::string, std::optional<std::string>>& env = {});

#ifndef _WIN32
/// Starts `args` as RunProgram does, without waiting, its output and errors
/// going to `outPath` and `errPath`. The process id, or -1.
int StartProgram(const std::vector<std::string>& args, const std::string& folder = std::string(),
                 const std::map<std::string, std::optional<std::string>>& env = {},
                 const std::string& outPath = "/dev/null", const std::string& errPath = "/dev/null");
#endif

/// A reason in test failures: its English text.
inline void PrintTo(const Reason& reason, std::ostream* out) { *out << '"' << reason.Text() << '"'; }

/// A backup's note in English words, as the command line lists it.
inline std::string NoteText(const BackupNote& note) { return DescribeBackupNote(note).Text(); }

/// Records the messages a front end would show of runs' outcomes.
class RecordingSink {
 public:
  void ShowMessage(const Reason& message) {
    reasons.push_back(message);
    messages.push_back(message.Text());
  }
  /// The outcome's headline, then its details, as the front ends say them.
  const RunOutcome& Record(const RunOutcome& outcome) {
    if (!outcome.headline.empty()) ShowMessage(outcome.headline);
    for (const Reason& detail : outcome.details) ShowMessage(detail);
    return outcome;
  }
  /// Loads the configuration of `folder` into `context` (none when either
  /// file fails), its reason recorded: whether both loaded.
  bool LoadConfig(BuildContext& context, const std::string& folder = std::string()) {
    ConfigLoad load = LoadConfigFiles(folder);
    if (!load.reason.empty()) ShowMessage(load.reason);
    context.config = std::move(load.index);
    return context.ConfigLoaded();
  }
  /// A build on `context`, its messages recorded: whether it succeeded.
  bool Build(BuildContext& context) { return Succeeded(Record(RunBuild(context, RunMode::Write)).kind); }
  /// Each message's first line (the fixed text; a second line tells the details).
  std::vector<std::string> Heads() const {
    std::vector<std::string> heads;
    for (const std::string& m : messages) heads.push_back(m.substr(0, m.find('\n')));
    return heads;
  }
  std::vector<Reason> reasons;
  std::vector<std::string> messages;  ///< in English
};

/// A process whose program file is named as the game's client (a copy of
/// an idle test program as "game.dll"), running from construction until
/// destruction; the constructor returns once a scan finds it. The programs
/// look only at the stand-ins the test has running (BRINDLEMARQUE_GAME_IDS,
/// "none" from the start): a game running on the machine is not seen.
class GameClientStandIn {
 public:
  GameClientStandIn();
  ~GameClientStandIn();
  GameClientStandIn(const GameClientStandIn&) = delete;
  GameClientStandIn& operator=(const GameClientStandIn&) = delete;
#ifndef _WIN32
  /// Ends the client without reaping it: its entries stay, name and all,
  /// in state Z, until destruction.
  void EndUnreaped();
#endif

 private:
  TempDir m_dir;
  unsigned long m_id = 0;
};
