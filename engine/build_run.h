// The build run: template + configuration -> crafting hotkeys on the bars.
#pragma once

#include <string>

struct BuildContext;

/// The whole run on `context`: loads the template, opens the character file,
/// empties the bar range (OPT_CLEANUP), compacts the macros and fills the bars,
/// then saves the character file in one atomic step (not in a dry run).
/// Returns true on success. Failures show their message through the context:
/// "can't read SC-File", "not enough slots" (what fitted is still saved), or
/// "can't write character file" (nothing is saved). A template without
/// `player` fails silently after the clearing and compaction are saved.
bool RunBuildJob(BuildContext& context);

/// The realm (0, 1, 2), then 25 passes (n = 0..24) over the position order of
/// config_gem.xml. Shows "not enough slots" and returns false when the range is
/// full; returns false without a message when there is no `player` or the
/// character file refused a write.
bool FillBars(BuildContext& context);

/// Every crafted item of the template at position `ordId`: a spacer labelled
/// `ordText` (OPT_SPACER), then up to four recipe hotkeys for effects not yet
/// made. Returns false when a write failed (range full or file refused).
bool FillPosition(BuildContext& context, const char* ordId, const char* ordText, int realmIndex);

/// The realm index of a realm text: 'A'/'a' 0, 'M'/'m' 1, 'H'/'h' 2, else 0.
int RealmIndexOf(const char* realmText);

/// The message of a build that could not change the character file.
extern const char* const kCannotWriteCharacter;  // "can't write character file"
