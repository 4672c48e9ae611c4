// Slot codes and the walk over a bar range.
#include "slot_cursor.h"

#include "ini_document.h"

std::string QuickbarSection(int quickbar) {
  return quickbar < 2 ? "Quickbar" : "Quickbar" + std::to_string(quickbar);
}

SlotKey GetSlotKey(SlotCode code) {
  SlotKey key;
  key.section = QuickbarSection(code / 1000);
  key.key = "Hotkey_" + std::to_string(code % 1000 - 10);
  return key;
}

void ResetSlotCursor(const JobSettings& job, SlotCursor& cursor) {
  std::int32_t startBar = job.Has(OPT_REVERSE) ? job.lastBar : job.firstBar;
  cursor.code = job.quickbar * 1000 + startBar * 10;
  cursor.exhausted = false;
}

bool AdvanceSlot(const JobSettings& job, SlotCursor& cursor) {
  if (cursor.code % 10 != 9) {
    ++cursor.code;
    return true;
  }
  std::int32_t bar = (cursor.code % 1000) / 10;
  // Comparing with >= and <= keeps even unchecked settings from walking past bar 10 or below bar 1.
  bool atEnd = job.Has(OPT_REVERSE) ? (bar <= job.firstBar || bar <= 1) : (bar >= job.lastBar || bar >= 10);
  if (atEnd) {
    cursor.exhausted = true;
    return false;
  }
  cursor.code += job.Has(OPT_REVERSE) ? -19 : 1;
  return true;
}

bool WriteHotkey(IniDocument& file, const JobSettings& job, SlotCursor& cursor, const std::string& text) {
  if (cursor.exhausted) return false;
  SlotKey slot = GetSlotKey(cursor.code);
  if (!file.Write(slot.section, slot.key, text)) return false;
  AdvanceSlot(job, cursor);
  return true;
}

bool ClearSlotRange(IniDocument& file, const JobSettings& job, SlotCursor& cursor) {
  ResetSlotCursor(job, cursor);
  if (!job.Has(OPT_CLEANUP)) return true;
  do {
    SlotKey slot = GetSlotKey(cursor.code);
    if (!file.Delete(slot.section, slot.key)) return false;
  } while (AdvanceSlot(job, cursor));
  ResetSlotCursor(job, cursor);
  return true;
}
