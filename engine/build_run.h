// The build run: template + configuration -> crafting hotkeys on the bars.
#pragma once

#include <string>

struct BuildContext;

/// The whole run on `context`: loads the template, opens the character file,
/// empties the bar range (OPT_CLEANUP), compacts the macros and fills the bars
/// (25 passes over the position order of config_gem.xml; per crafted item a
/// spacer with OPT_SPACER, then up to four recipe hotkeys for effects not yet
/// made), then saves the character file in one atomic step (not in a dry run).
/// Returns true on success. Failures show their message through the context:
/// "can't read SC-File"; "not enough slots" or kNoFreeMacro (what fitted is
/// still saved); or "can't write character file" (nothing is saved). A
/// template without `player` fails silently after the clearing and
/// compaction are saved.
bool RunBuildJob(BuildContext& context);

/// The realm index of a realm text: 'A'/'a' 0, 'M'/'m' 1, 'H'/'h' 2, else 0.
int RealmIndexOf(const char* realmText);

/// The message of a build that could not change the character file.
extern const char* const kCannotWriteCharacter;  // "can't write character file"
/// The message of a build that needs a spacer macro when every macro number is taken.
extern const char* const kNoFreeMacro;  // "no free macro number (Macro_0 to Macro_99 are all used)"
