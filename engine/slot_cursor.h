// Quickbar slots: one integer per slot, its INI section and key, and the walk
// over a bar range that fills the bars slot by slot.
#pragma once

#include <cstdint>
#include <string>

#include "job_settings.h"

class IniDocument;

/// One slot of the three quickbars, the only way slots are numbered:
/// quickbar * 1000 + bar * 10 + slot (quickbar 1-3, bar 1-10, slot 0-9).
/// Its hotkey is "Hotkey_<(bar - 1) * 10 + slot>" of the quickbar's section.
using SlotCode = std::int32_t;

/// Hotkey_0 to Hotkey_99 per quickbar: ten bars of ten.
constexpr int kHotkeysPerQuickbar = 100;

/// The slot whose hotkey is "Hotkey_<index>" (0-99) of quickbar `quickbar`.
constexpr SlotCode SlotOfHotkey(int quickbar, int index) { return quickbar * 1000 + 10 + index; }

/// The INI place of one slot.
struct SlotKey {
  std::string section;  ///< "Quickbar", "Quickbar2" or "Quickbar3"
  std::string key;      ///< "Hotkey_0" (bar 1 slot 0) to "Hotkey_99" (bar 10 slot 9)
};

/// The current slot of a walk, and whether the walk has run past its end.
struct SlotCursor {
  SlotCode code = 0;
  bool exhausted = false;
};

/// The section of quickbar `quickbar`: "Quickbar" (1), "Quickbar2", "Quickbar3".
std::string QuickbarSection(int quickbar);

/// The section and key that hold the hotkey of slot `code`.
SlotKey GetSlotKey(SlotCode code);

/// Puts the cursor on slot 0 of the walk's first bar (the last bar with
/// OPT_REVERSE, else the first bar), not exhausted.
void ResetSlotCursor(const JobSettings& job, SlotCursor& cursor);

/// Moves to the next slot of the walk and returns true; on the range's final
/// slot marks the cursor exhausted, leaves it there and returns false.
bool AdvanceSlot(const JobSettings& job, SlotCursor& cursor);

/// Writes `text` under the cursor's slot, then moves the cursor on.
/// Returns false, writing nothing, once the cursor is exhausted, and false
/// when the file refused the write (then file.Failed() is true).
bool WriteHotkey(IniDocument& file, const JobSettings& job, SlotCursor& cursor, const std::string& text);

/// Resets the cursor; with OPT_CLEANUP first deletes the hotkey of every slot
/// of the range. Returns false when a delete failed (file.Failed()).
bool ClearSlotRange(IniDocument& file, const JobSettings& job, SlotCursor& cursor);
