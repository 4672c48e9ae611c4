// What a run on a character file did (a build, a preview, the gem table, a
// restore), as one value: the only way a run tells its front end anything.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "job_settings.h"
#include "reason_text.h"
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

/// The hotkey values of slots (absent: empty).
using SlotValues = std::map<SlotCode, std::string>;

/// How many of `placed` are spacers' hotkeys (the others are recipes).
std::size_t CountSpacers(const std::vector<PlacedHotkey>& placed);

/// What a run did to the character file, as the player is told it.
enum class RunKind {
  Built,     ///< the file was written as the run meant (a backup of what it replaced kept first)
  UpToDate,  ///< the file already held what the run would write: nothing written, no backup kept
  Partial,   ///< not everything fitted: what fitted was written; the headline says what stopped it
  Refused,   ///< refused before the character file was touched (no configuration, no template, no backup)
  Failed     ///< the character file could not be changed: it is as it was
};

/// Whether a run that ended as `kind` changed the character file.
bool Wrote(RunKind kind);
/// Whether it did all it was asked to (the file holds what the run meant).
bool Succeeded(RunKind kind);
/// Whether the file holds what the run placed, all of it or what fitted.
bool HoldsPlaced(RunKind kind);

/// What a run was asked to do, for the words a front end says of its outcome.
enum class RunWork {
  Build,     ///< GO: the template's hotkeys written
  Preview,   ///< what GO would write, nothing written
  GemTable,  ///< the diagnostic gem table
  Restore    ///< a backup put back
};

/// The job's bar range in words: "Quickbar2 bars 2-7", "... (reverse)" for a
/// walk backwards; `dash` between the bars' numbers.
Reason DescribeBarRange(const JobSettings& job, const char* dash = "-");

/// A run's outcome.
struct RunOutcome {
  RunKind kind = RunKind::Refused;
  /// Every hotkey the run placed (a preview: would place), in walk order.
  std::vector<PlacedHotkey> placed;
  /// How many hotkeys the template asks for (a Partial run placed fewer).
  std::size_t planned = 0;
  /// The bar range as the run found it and as it left it (as a preview
  /// would leave it); empty for a run refused before it read the file.
  SlotValues before, after;
  /// The message that ended a Partial, Refused or Failed run, or a gem
  /// table early; empty when the run did what it was asked.
  Reason headline;
  /// What the run did besides, each a message of its own, said after the
  /// headline: a file a stopped run left, put back or kept as a backup; a
  /// restart on the game's save.
  std::vector<Reason> details;
  /// A restore: when the backup it put back was made (local time).
  std::string backupTime;
};
