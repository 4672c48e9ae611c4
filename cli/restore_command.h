// The `restore` command: a character file's backups, listed or put back.
#pragma once

#include <string>

#include "file_waits.h"

namespace CLI {
class App;
}

struct RestoreOptions {
  std::string characterPath;
  bool list = false;
  int backup = 1;  // 1: the newest
  bool noGameCheck = false;
  FileWaits waits;  // from the environment, by the program
};

/// Adds the command's arguments to `command`, storing into `options`.
void SetupRestoreOptions(CLI::App& command, RestoreOptions& options);

/// Lists the backups (number, time, size, what the run after it wrote), or
/// restores one. Returns 0 on success, 1 when there is no such backup or the
/// file could not be written.
int RunRestoreCommand(const RestoreOptions& options);
