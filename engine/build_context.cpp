#include "build_context.h"

#include "paths.h"
#include "config_files.h"

void BuildContext::ShowMessage(const std::string& text) const {
  if (messages) messages->ShowMessage(text);
}

std::string BuildContext::InWorkFolder(const std::string& path) const {
  if (workFolder.empty() || path.empty() || IsAbsolutePath(path)) return path;
  return JoinPath(workFolder, path);
}

bool BuildContext::RequireConfig() const {
  if (!ConfigLoaded()) ShowMessage(kConfigNotLoaded);
  return ConfigLoaded();
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
