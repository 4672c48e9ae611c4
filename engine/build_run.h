// The build run: template + configuration -> crafting hotkeys on the bars.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct BuildContext;
struct PlacedHotkey;

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

/// The same run, as a dry run when `dryRun` (what a preview shows), with
/// every hotkey it placed, in order, in `placed`.
bool RunBuildJob(BuildContext& context, bool dryRun, std::vector<PlacedHotkey>& placed);

/// The realm index of a realm text: 'A'/'a' 0, 'M'/'m' 1, 'H'/'h' 2, else 0.
int RealmIndexOf(const char* realmText);

/// Opens the job's character file (taking its lock) and has every save of
/// it keep a backup first, noted as a `run` ("build") of the job's template
/// onto its bar range. False, with the file failed, when it cannot be opened.
bool OpenCharacterFile(BuildContext& context, const char* run);

/// Ends the work on the character file: saves it when `save` is set and
/// nothing failed, then closes it (releasing its lock). When anything failed,
/// shows "can't write character file" with the reason on the next line and
/// returns false.
bool FinishCharacterFile(BuildContext& context, bool save);

/// Runs `attempt`, which opens, changes and finishes the character file. When
/// another program (the game) changed the file while an attempt worked on it,
/// the attempt is run again on the new content, up to three times; only the
/// messages and placed hotkeys of the attempt that counts are passed on, and a
/// save that succeeded after such a restart adds kBuiltOnNewContent.
bool RunOnCharacterFile(BuildContext& context, const std::function<bool()>& attempt);

/// The message of a build that could not change the character file.
extern const char* const kCannotWriteCharacter;  // "can't write character file"
/// The message of a build that needs a spacer macro when every macro number is taken.
extern const char* const kNoFreeMacro;  // "no free macro number (Macro_0 to Macro_99 are all used)"
/// The note of a run that started over because the game saved the file meanwhile.
extern const char* const kBuiltOnNewContent;  // "the game saved the file meanwhile; built on its new content"
