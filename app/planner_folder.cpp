#include "planner_folder.h"

#include <filesystem>
#include <wx/stdpaths.h>
#include <wx/translation.h>

#include "paths.h"
#include "folder_dlg.h"
#include "message_box_sink.h"
#include "config_files.h"
#include "settings_store.h"
#include "wx_text.h"

namespace {

bool HoldsConfig(const std::string& folder) { return FileOrFolderExists(JoinPath(folder, "config.xml")); }
bool HoldsBothFiles(const std::string& folder) {
  return HoldsConfig(folder) && FileOrFolderExists(JoinPath(folder, "config_gem.xml"));
}

std::string CurrentFolder() {
  std::error_code ignored;
  return PathText(std::filesystem::current_path(ignored));
}

// The folder to read config.xml and config_gem.xml from, always named in
// full so that a message says where it looked: the one given, else the
// current folder when it holds both, else the folder kept last when it holds
// both (a start folder with one of them, the planner's half copied, does not
// hide a good one), else whichever holds config.xml, the current first.
std::string ChooseConfigFolder(const std::string& given) {
  if (!given.empty()) return AbsolutePath(given);
  const std::string current = CurrentFolder();
  if (HoldsBothFiles(current)) return current;
  const std::string kept = LoadConfigFolder();
  if (!kept.empty() && HoldsBothFiles(kept)) return kept;
  return !HoldsConfig(current) && !kept.empty() && HoldsConfig(kept) ? kept : current;
}

// Works in `folder` when it is the planner's (it holds config.xml).
void EnterConfigFolder(BuildContext& context, const std::string& folder) {
  if (HoldsConfig(folder)) context.workFolder = folder;
}

// Loads both files from `folder` into `context` (keeping the folder as
// "config_dir" with `keep`) and works there; on a failure `failure` holds
// the load message and the files in use stay.
bool UsePlannerFolder(BuildContext& context, const std::string& folder, bool keep, Reason& failure) {
  ConfigLoad load = LoadConfigFiles(folder);  // loaded beside the files in use
  if (!load.index) {
    failure = std::move(load.reason);
    return false;
  }
  context.config = std::move(load.index);
  if (keep) SaveConfigFolder(folder);
  EnterConfigFolder(context, folder);
  return true;
}

// Where the browser opens: the planner's folder in use, else the one kept
// last, else the user's documents (where the planner keeps its files; the
// program's own folder is no start).
std::string BrowseStart(const BuildContext& context) {
  if (!context.workFolder.empty()) return context.workFolder;
  const std::string kept = LoadConfigFolder();
  if (!kept.empty() && IsFolder(kept)) return kept;
  return FromWx(wxStandardPaths::Get().GetDocumentsDir());
}

// The folder browser, for the planner's folder; false when cancelled. A
// folder that is not there is said and the browser opens again.
bool BrowsePlannerFolder(wxWindow* parent, const BuildContext& context, std::string& folder) {
  for (;;) {
    CFolderDialog browser(parent, BrowseStart(context),
                          _("The spellcraft planner's folder (with config.xml and config_gem.xml)"));
    const int result = browser.RunModal();
    if (result == wxID_OK) {
      folder = browser.GetFolderPath();
      return true;
    }
    if (result != wxID_NONE || browser.MissingFolder().empty()) return false;
    MessageBoxSink(parent).ShowText(wxString::Format(_("This folder does not exist:\n%s"), ToWx(browser.MissingFolder())));
  }
}

// Says why the planner's files did not load and asks to choose the folder
// (again); true when a folder loaded.
bool OfferPlannerFolder(wxWindow* parent, BuildContext& context, Reason failure) {
  for (;;) {
    const wxString question = wxString::Format("%s\n\n%s", ShownMessage(failure),
                                               _("Choose the spellcraft planner's folder now? (It is remembered.)"));
    std::string folder;
    if (!AskYesNo(parent, question, DefaultAnswer::Yes) || !BrowsePlannerFolder(parent, context, folder)) return false;
    if (UsePlannerFolder(context, folder, true, failure)) return true;
  }
}

}  // namespace

void OpenPlannerFolder(wxWindow* parent, BuildContext& context, const std::string& given) {
  std::string folder = ChooseConfigFolder(given);
  Reason failure;
  // A folder given is kept for later starts only when both files loaded from
  // it: a mistyped one leaves the folder kept before as it was, and in use.
  if (UsePlannerFolder(context, folder, !given.empty(), failure)) return;
  const std::string kept = LoadConfigFolder();
  Reason ignored;
  if (!given.empty() && !kept.empty() && kept != folder && UsePlannerFolder(context, kept, false, ignored)) {
    MessageBoxSink(parent).ShowText(wxString::Format(
        "%s\n\n%s", ShownMessage(failure), wxString::Format(_("The planner's folder kept from before is used: %s"), ToWx(kept))));
    return;
  }
  EnterConfigFolder(context, folder);
  OfferPlannerFolder(parent, context, failure);
}

void ChangePlannerFolder(wxWindow* parent, BuildContext& context) {
  std::string folder;
  Reason failure;
  if (!BrowsePlannerFolder(parent, context, folder) || UsePlannerFolder(context, folder, true, failure)) return;
  OfferPlannerFolder(parent, context, failure);
}
