// The build run: template + configuration -> crafting hotkeys on the bars.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bar_picture.h"
#include "build_context.h"
#include "build_plan.h"

/// What a run did to the character file, as the player is told it.
enum class RunKind {
  Built,     ///< the hotkeys were written (a backup of what they replaced kept first)
  UpToDate,  ///< the file already held what the run would write: nothing written, no backup kept
  Partial,   ///< not everything fitted: what fitted was written; `reason` says what stopped it
  Refused,   ///< refused before the character file was touched (no configuration, no template)
  Failed     ///< the character file could not be changed: it is as it was
};

/// Whether a run writes the character file or only shows what it would write.
enum class RunMode { Write, Preview };

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
  /// table early (also shown through the context's sink), without the notes
  /// that may follow it.
  Reason reason;
  /// What the run did besides (a file a stopped run left, put back or kept
  /// as a backup; a restart on the game's save), also shown through the sink.
  std::vector<Reason> notes;
};

/// The whole run on `context`: loads the template, opens the character file,
/// empties the bar range (OPT_CLEANUP), compacts the macros and fills the bars
/// (25 passes over the position order of config_gem.xml; per crafted item a
/// spacer with OPT_SPACER, then up to four recipe hotkeys for effects not yet
/// made), then saves the character file in one atomic step (not in a dry run).
/// Returns true on success. Failures show their message through the context:
/// kConfigNotLoaded without both configuration files (nothing is touched);
/// "can't read SC-File" (also for a file without `player`, before anything is
/// changed); "not enough slots" or kNoFreeMacro (what fitted is still saved);
/// or "can't write character file" with the file and the reason on the next
/// line (nothing is saved).
bool RunBuildJob(BuildContext& context);

/// The same run, in `mode`, with what it did: a preview changes nothing on
/// disk, and is "up to date" when a build would write nothing.
RunOutcome RunBuild(BuildContext& context, RunMode mode);

/// Checks the configuration and loads the template (its repair saved when
/// `saveRepair`): a refused outcome, its message shown and kept as the
/// reason, when either is missing (kConfigNotLoaded: without the
/// configuration a run has no recipe to write and would only empty the
/// player's bars); none when the run may go on.
std::optional<RunOutcome> RefusedRun(BuildContext& context, bool saveRepair);

/// The bars of the job's range as a run found and left them.
BarPicture BarsOf(const RunOutcome& outcome, const JobSettings& job);


/// Opens the job's character file (taking its lock) and has every save of
/// it keep a backup first, noted as a `run` ("build") of the job's template
/// onto its bar range. False, with the file failed, when it cannot be opened.
bool OpenCharacterFile(BuildContext& context, const char* run);

/// Ends an attempt's work on the character file: saves it when `save` is
/// set and nothing failed, then closes it (releasing its lock), and gives
/// `attempt` what it did. Failed, with "can't write character file" and the
/// reason on the next line, when anything failed (its bars as it found
/// them); else, when not everything it meant to write was `filled`, Partial
/// if the file changed (failed if not), with `stop` as the reason; else
/// Built, or UpToDate when the bytes are what was read.
RunOutcome EndAttempt(BuildContext& context, RunOutcome attempt, bool save, bool filled, Reason stop);

/// Runs `attempt`, which opens, changes and finishes the character file and
/// gives what it did. When another program (the game) changed the file
/// while an attempt worked on it, the attempt is run again on the new
/// content, up to three times. The outcome is that of the attempt that
/// counts; its reason, then the notes of every attempt (and, for a save that
/// succeeded after a restart, reason::kBuiltOnNewContent) are shown through
/// the context's sink.
RunOutcome RunOnCharacterFile(BuildContext& context, const std::function<RunOutcome()>& attempt);

/// The message of a build that could not change the character file.
extern const char* const kCannotWriteCharacter;  // "can't write character file"
/// The message of a build that needs a spacer macro when every macro number is taken.
extern const char* const kNoFreeMacro;  // "no free macro number (Macro_0 to Macro_99 are all used)"
