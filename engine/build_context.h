// Everything a build works on, owned by whoever runs builds (the main
// dialog, or the CLI for one command). The engine keeps nothing of its own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "config_index.h"
#include "job_settings.h"
#include "message_sink.h"
#include "character_file_session.h"
#include "slot_cursor.h"

/// One hotkey a build placed, in walk order: for observers such as a preview.
struct PlacedHotkey {
  SlotCode code = 0;
  std::string section, key, value;
  bool spacer = false;        ///< a spacer macro's hotkey; `label` is its name
  std::string label;          ///< a spacer's item label; the gem of the gem table's hotkeys
  std::string bonus, amount;  ///< for a recipe: the effect's id and text
  std::string group;          ///< for a recipe: its bonus's group in config.xml ("stat", "resist"...)

  /// The hotkey `value` placed at `code`, with its section and key.
  static PlacedHotkey At(SlotCode code, const std::string& value);
};

/// How many of `placed` are spacers' hotkeys (the others are recipes).
std::size_t CountSpacers(const std::vector<PlacedHotkey>& placed);

struct BuildContext {
  JobSettings job;
  SlotCursor cursor;
  std::unique_ptr<TiXmlDocument> templateDoc;  ///< the newest template, once loaded
  /// What builds read of config.xml and config_gem.xml: both files or none.
  std::unique_ptr<const ConfigIndex> config;
  MessageSink* messages = nullptr;             ///< not owned; messages are dropped without one
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
  /// Passes `message` to the message sink.
  void ShowMessage(const Reason& message) const;
  /// Both configuration files are loaded (their index is held).
  bool ConfigLoaded() const { return config != nullptr; }
};
