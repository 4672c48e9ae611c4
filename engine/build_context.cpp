#include "build_context.h"

#include "paths.h"

void BuildContext::ShowMessage(const Reason& message) const {
  if (messages) messages->ShowMessage(message);
}

std::string BuildContext::InWorkFolder(const std::string& path) const {
  if (workFolder.empty() || path.empty() || IsAbsolutePath(path)) return path;
  return JoinPath(workFolder, path);
}

PlacedHotkey PlacedHotkey::At(SlotCode code, const std::string& value) {
  PlacedHotkey placed;
  SlotKey slot = GetSlotKey(code);
  placed.code = code;
  placed.section = slot.section;
  placed.key = slot.key;
  placed.value = value;
  return placed;
}

std::size_t CountSpacers(const std::vector<PlacedHotkey>& placed) {
  std::size_t spacers = 0;
  for (const PlacedHotkey& p : placed) spacers += p.spacer ? 1 : 0;
  return spacers;
}
