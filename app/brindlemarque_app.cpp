#include "brindlemarque_app.h"

#include <wx/cmdline.h>
#include <wx/image.h>
#include <wx/msgout.h>
#include <wx/xrc/xmlres.h>

#include "brindlemarque_dlg.h"
#include "command_line.h"
#include "environment.h"
#include "paths.h"
#include "resources.h"
#include "planner_folder.h"
#include "settings_store.h"
#include "translations.h"
#include "wx_text.h"

bool InitBrindlemarqueUi() {
  wxInitAllImageHandlers();
  wxXmlResource::Get()->InitAllHandlers();
  InitBrindlemarqueResources();
  return wxXmlResource::Get()->GetResourceNode("main_dialog") != nullptr;
}

void CBrindlemarqueApp::OnInitCmdLine(wxCmdLineParser& parser) {
  wxApp::OnInitCmdLine(parser);
  DescribeCommandLine(parser);
}

// Where --help and --version were not answered before the toolkit started
// (a Windows program has no console): in a message box, then no window.
bool CBrindlemarqueApp::OnCmdLineHelp(wxCmdLineParser& parser) {
  parser.Usage();
  m_answeredOnly = true;
  return true;
}

bool CBrindlemarqueApp::OnCmdLineParsed(wxCmdLineParser& parser) {
  if (parser.Found("version")) {
    wxMessageOutput::Get()->Printf("%s\n", VersionLine());
    m_answeredOnly = true;
  }
  wxString folder;
  if (parser.Found("config-dir", &folder)) m_configFolder = FromWx(folder);
  // In full: the window may work in the planner's folder, not the one it was started in.
  if (parser.GetParamCount() > 0) m_templateFile = AbsolutePath(FromWx(parser.GetParam(0)));
  return wxApp::OnCmdLineParsed(parser);
}

bool CBrindlemarqueApp::OnInit() {
  UseLanguage(LoadLanguage());  // before any window, and before the command line's own messages
  if (!wxApp::OnInit()) return false;  // reads the command line
  if (!InitBrindlemarqueUi()) {
    wxLogError("The program's window layouts are missing.");
    return false;
  }
  return true;
}

int CBrindlemarqueApp::OnRun() {
  if (m_answeredOnly) return 0;
  // The watch over the last build goes on in a window made again.
  auto watch = std::make_shared<CBuildWatch>();
  for (bool first = true;; first = false) {
    if (!first) UseLanguage(LoadLanguage());
    CBrindlemarqueDlg dialog(ProgramFileWaits(), watch);  // the environment is read here only
    // The planner's files, before the window shows (its messages too); a
    // window made again for another language works in the folder in use.
    OpenPlannerFolder(nullptr, dialog.Context(), first ? m_configFolder : std::string());
    SetTopWindow(&dialog);
    if (first && !m_templateFile.empty()) dialog.CallAfter([&dialog, this] { dialog.OpenTemplate(m_templateFile); });
    int result = dialog.ShowModal();
    SetTopWindow(nullptr);
    if (result != kLanguageChanged) break;
  }  // each dialog's destructor saves the settings
  return 0;
}
