#include "macros.h"

#include <vector>

#include "ini_document.h"
#include "reason_text.h"
#include "xml_text.h"

const char* const kSpacerCommand = "/rofl (by Brindlemarque)";

namespace {

const char* const kMacros = "Macros";
constexpr int kMacroCount = 100;

std::string MacroKey(int number) { return "Macro_" + std::to_string(number); }

struct MacroHotkey {
  int macro;
  SlotKey slot;
};

// A macro value worth keeping: not empty and not one of our spacers.
bool IsKeptMacro(const std::string& value) {
  if (value.empty()) return false;
  auto comma = value.find(',');
  if (comma == std::string::npos) return true;
  return !SameTextNoCase(value.c_str() + comma + 1, kSpacerCommand);
}

// The macro hotkey "52,<n>,Macro <n>,-1".
std::string FormatMacroHotkey(int number) {
  return "52," + std::to_string(number) + ",Macro " + std::to_string(number) + ",-1";
}

}  // namespace

bool CompactMacros(IniDocument& file) {
  // Scan: macro hotkeys in bar order.
  std::vector<MacroHotkey> hotkeys;
  for (int s = 1; s <= 3; ++s) {
    for (int k = 0; k < kHotkeysPerQuickbar; ++k) {
      SlotKey slot = GetSlotKey(SlotOfHotkey(s, k));
      std::string value = file.Read(slot.section, slot.key);
      auto comma = value.find(',');
      if (value.empty() || LeadingInt(value.c_str()) != 52 || comma == std::string::npos) continue;
      hotkeys.push_back({LeadingInt(value.c_str() + comma + 1), std::move(slot)});
    }
  }

  // Sift: a hotkey whose macro is gone or a spacer goes too.
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < hotkeys.size();) {
    std::string value = file.Read(kMacros, MacroKey(hotkeys[i].macro));
    if (IsKeptMacro(value)) {
      kept.push_back(std::move(value));
      ++i;
      continue;
    }
    if (!file.Delete(hotkeys[i].slot.section, hotkeys[i].slot.key)) return false;
    hotkeys.erase(hotkeys.begin() + static_cast<std::ptrdiff_t>(i));
  }

  // Rewrite: macro i belongs to hotkey i.
  if (!file.EmptySection(kMacros)) return false;
  for (std::size_t i = 0; i < kept.size(); ++i)
    if (!file.Write(kMacros, MacroKey(static_cast<int>(i)), kept[i])) return false;
  for (std::size_t j = 0; j < hotkeys.size(); ++j) {
    const SlotKey& slot = hotkeys[j].slot;
    if (!file.Write(slot.section, slot.key, FormatMacroHotkey(static_cast<int>(j)))) return false;
  }
  return true;
}

bool AddSpacerMacro(IniDocument& file, const JobSettings& job, SlotCursor& cursor, const std::string& label) {
  if (label.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
    file.Fail(R_("spacer label holds a line break"));
    return false;
  }
  int number = 0;
  while (number < kMacroCount && !file.Read(kMacros, MacroKey(number)).empty()) ++number;
  if (number == kMacroCount) return false;  // never overwrite one of the player's macros
  if (!file.Write(kMacros, MacroKey(number), label + "," + kSpacerCommand)) return false;
  return WriteHotkey(file, job, cursor, FormatMacroHotkey(number));
}
