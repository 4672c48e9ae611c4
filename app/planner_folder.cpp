#include "planner_folder.h"

#include <filesystem>
#include <wx/translation.h>

#include "paths.h"
#include "folder_dlg.h"
#include "message_box_sink.h"
#include "recipe_lookup.h"
#include "settings_store.h"
#include "wx_text.h"

namespace {

bool HoldsConfig(const std::string& folder) { return FileOrFolderExists(JoinPath(folder, "config.xml")); }

std::string CurrentFolder() {
  std::error_code ignored;
  return PathText(std::filesystem::current_path(ignored));
}

// The folder to read config.xml and config_gem.xml from, always named in
// full so that a message says where it looked: the one given, else the
// current folder when it holds config.xml, else the folder kept last when it
// holds it, else the current folder.
std::string ChooseConfigFolder(const std::string& given) {
  if (!given.empty()) return AbsolutePath(given);
  std::string current = CurrentFolder();
  if (HoldsConfig(current)) return current;
  std::string kept = LoadConfigFolder();
  return !kept.empty() && HoldsConfig(kept) ? kept : current;
}

// A folder that cannot be entered leaves the current one.
void EnterConfigFolder(const std::string& folder) {
  std::error_code ignored;
  if (HoldsConfig(folder)) std::filesystem::current_path(FsPath(folder), ignored);
}

// Keeps the configuration's message (a load stops at its first failure).
class KeptMessage : public MessageSink {
 public:
  void ShowMessage(const std::string& message) override { text = message; }
  std::string text;
};

// Loads both files from `folder` into `context` (keeping the folder as
// "config_dir" with `keep`) and works there; on a failure `failure` holds
// the load message and the files in use stay.
bool UsePlannerFolder(BuildContext& context, const std::string& folder, bool keep, std::string& failure) {
  KeptMessage message;
  BuildContext trial;  // loaded beside the documents in use
  trial.messages = &message;
  if (!LoadConfigFiles(trial, folder)) {
    failure = message.text;
    return false;
  }
  context.bonusConfig = std::move(trial.bonusConfig);
  context.gemConfig = std::move(trial.gemConfig);
  if (keep) SaveConfigFolder(folder);
  EnterConfigFolder(folder);
  return true;
}

// The folder browser, for the planner's folder; false when cancelled.
bool BrowsePlannerFolder(wxWindow* parent, std::string& folder) {
  CFolderDialog browser(parent, CurrentFolder(),
                        _("The spellcraft planner's folder (with config.xml and config_gem.xml)"));
  if (browser.RunModal() != MODAL_OK) return false;
  folder = browser.GetFolderPath();
  return true;
}

}  // namespace

void OpenPlannerFolder(wxWindow* parent, BuildContext& context, const std::string& given) {
  std::string folder = ChooseConfigFolder(given), failure;
  // A folder given is kept for later starts only when both files loaded from
  // it: a mistyped one leaves the folder kept before as it was.
  if (UsePlannerFolder(context, folder, !given.empty(), failure)) return;
  EnterConfigFolder(folder);
  for (;;) {
    wxString question = ShownMessage(failure) + "\n\n" + _("Choose the spellcraft planner's folder now? (It is remembered.)");
    if (!AskYesNo(parent, question) || !BrowsePlannerFolder(parent, folder)) return;
    if (UsePlannerFolder(context, folder, true, failure)) return;
  }
}

void ChangePlannerFolder(wxWindow* parent, BuildContext& context) {
  std::string folder, failure;
  if (!BrowsePlannerFolder(parent, folder) || UsePlannerFolder(context, folder, true, failure)) return;
  MessageBoxSink(parent).ShowMessage(failure);
}
