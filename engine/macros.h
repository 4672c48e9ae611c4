// The character's macros: spacer macros that stand ahead of each item on the
// bars, and the compaction that removes old spacers and renumbers the rest.
#pragma once

#include <string>

#include "job_settings.h"
#include "slot_cursor.h"

class IniDocument;

/// The command text that marks a spacer macro as ours.
extern const char* const kSpacerCommand;  // "/rofl (by Brindlemarque)"

/// Drops every macro hotkey of Quickbar, Quickbar2 and Quickbar3 whose macro
/// is missing, empty or a spacer, then renumbers the remaining macros from 0
/// in hotkey order (Quickbar Hotkey_0..99, then Quickbar2, then Quickbar3),
/// rewriting their hotkeys. Macros no hotkey names are not kept. Values are
/// kept whole. Returns false when the file refused a change (file.Failed()).
bool CompactMacros(IniDocument& file);

/// Writes the spacer macro "<label>,/rofl (by Brindlemarque)" under the first
/// free Macro_0..Macro_99 and its hotkey "52,<n>,Macro <n>,-1" at the cursor.
/// Returns false when all hundred macro numbers are taken (nothing written),
/// when the cursor is exhausted (the macro entry stays, the next compaction
/// drops it), or when the label holds a line break or the file refused a
/// write (file.Failed(), with the reason).
bool AddSpacerMacro(IniDocument& file, const JobSettings& job, SlotCursor& cursor, const std::string& label);
