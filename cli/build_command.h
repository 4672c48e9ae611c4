// The `build` and `preview` commands: one build run from the command line.
#pragma once

#include <string>

#include "file_waits.h"

namespace CLI {
class App;
}

struct BuildOptions {
  std::string templatePath;
  std::string characterPath;
  std::string configDir;  // empty: the current directory
  int quickbar = 2;
  int firstBar = 2;
  int lastBar = 7;
  bool spacer = true;
  bool reverse = false;
  bool cleanup = true;
  bool bars = false;  // preview: the bars as a picture instead of slot by slot
  bool noGameCheck = false;  // build, gemtest: no look for the running game
  FileWaits waits;           // from the environment, by the program
};

/// Adds the build options to `command`, storing into `options`.
void SetupBuildOptions(CLI::App& command, BuildOptions& options);

/// Runs one build (or, with `preview`, the same build without saving the
/// character file, printing every slot it would fill, or with `bars` the
/// range's bars as a picture). Returns the exit
/// status: 0 success, 1 failed build.
int RunBuildCommand(const BuildOptions& options, bool preview);

/// Runs the diagnostic gem table with the build options, writing sc_log.txt
/// into the current folder and saying where it went. Returns 0 when the
/// hotkeys and the log were written ("end of qbar" included), else 1.
int RunGemTableCommand(const BuildOptions& options);
