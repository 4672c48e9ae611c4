// Everything a build works on, owned by whoever runs builds (the main
// dialog, or the CLI for one command). The engine keeps nothing of its own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config_index.h"
#include "job_settings.h"
#include "character_file_session.h"
#include "run_outcome.h"
#include "slot_cursor.h"

struct BuildContext {
  JobSettings job;
  SlotCursor cursor;
  /// What builds read of config.xml and config_gem.xml: both files or none.
  std::unique_ptr<const ConfigIndex> config;
  /// The folder relative paths are taken in (a typed template path, the gem
  /// table's log): the spellcraft planner's, for a window that was not
  /// started there. Empty: the process's current folder.
  std::string workFolder;

  /// The character file during a run: read once, changed in memory, saved once.
  CharacterFileSession character;
  /// How long a run waits for the character file's lock and for the game's save to end.
  FileWaits waits;

  /// `path` taken in workFolder when it is relative; as it is otherwise.
  std::string InWorkFolder(const std::string& path) const;
  /// Both configuration files are loaded (their index is held).
  bool ConfigLoaded() const { return config != nullptr; }
};
