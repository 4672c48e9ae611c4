// The build run: template + configuration -> crafting hotkeys on the bars.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backup_note.h"
#include "bar_picture.h"
#include "build_context.h"
#include "build_plan.h"
#include "run_outcome.h"
#include "template_loader.h"

/// Whether a run writes the character file or only shows what it would write.
enum class RunMode { Write, Preview };

/// The whole run on `context`, in `mode`: loads the template, opens the
/// character file, empties the bar range (OPT_CLEANUP), compacts the macros
/// and fills the bars (25 passes over the position order of config_gem.xml;
/// per crafted item a spacer with OPT_SPACER, then up to four recipe hotkeys
/// for effects not yet made), then saves the character file in one atomic
/// step (a preview changes nothing on disk). Refused, with kConfigNotLoaded
/// without both configuration files or "can't read SC-File" (also for a file
/// without `player`), before anything is touched; Partial with "not enough
/// slots" or kNoFreeMacro (what fitted is still saved); Failed with "can't
/// write character file" and the reason on the next line (nothing saved);
/// UpToDate when a build would write nothing.
RunOutcome RunBuild(BuildContext& context, RunMode mode);

/// The template a run of `context` works from (its repair saved when
/// `saveRepair`), or why the run is refused: kConfigNotLoaded when either
/// configuration file is missing (without it a run has no recipe to write
/// and would only empty the player's bars), else the template's reason.
LoadedTemplate TemplateForRun(const BuildContext& context, bool saveRepair);

/// The outcome of a run refused for `why`, before it touched anything.
RunOutcome RefusedRun(Reason why);

/// What writing a plan did.
struct PlanApplied {
  bool filled = true;    ///< every planned hotkey was written
  Reason stop;           ///< else what stopped it (none when the file refused a write: its error says)
  SlotCode stoppedAt = 0;  ///< and the slot the hotkey that did not fit was meant for
};

/// Writes the planned hotkeys in order at the walk's slots, each that was
/// placed into `placed`, until one does not fit (a full range, or a spacer
/// that found every macro number taken); what was written before it stays.
PlanApplied ApplyPlan(BuildContext& context, const std::vector<PlannedHotkey>& plan, std::vector<PlacedHotkey>& placed);

/// The bars of the job's range as a run found and left them.
BarPicture BarsOf(const RunOutcome& outcome, const JobSettings& job);


/// Opens the job's character file (taking its lock) and has every save of
/// it keep a backup first, noted as a `run` (Build or GemTable) of the job's
/// template onto its bar range. False, with the file failed, when it cannot be opened.
bool OpenCharacterFile(BuildContext& context, BackupNote::Kind run);

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
/// counts, with the notes of every attempt (and, for a save that succeeded
/// after a restart, reason::kBuiltOnNewContent) as its details.
RunOutcome RunOnCharacterFile(BuildContext& context, const std::function<RunOutcome()>& attempt);

/// The message of a build that could not change the character file.
extern const char* const kCannotWriteCharacter;  // "can't write character file"
/// The message of a build that needs a spacer macro when every macro number is taken.
extern const char* const kNoFreeMacro;  // "no free macro number (Macro_0 to Macro_99 are all used)"
