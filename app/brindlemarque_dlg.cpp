#include "brindlemarque_dlg.h"

#include <filesystem>
#include <wx/accel.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/iconbndl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "about_dlg.h"
#include "ascii_text.h"
#include "backups.h"
#include "build_run.h"
#include "char_select_dlg.h"
#include "gem_test.h"
#include "character_files.h"
#include "control_ids.h"
#include "file_bytes.h"
#include "folder_dlg.h"
#include "game_text.h"
#include "label_wrap.h"
#include "message_box_sink.h"
#include "preview_dlg.h"
#include "recipe_lookup.h"
#include "settings_store.h"
#include "version.h"
#include "wx_text.h"

// Keyed by the fixed control ids (the layouts' names are registered to them).
wxBEGIN_EVENT_TABLE(CBrindlemarqueDlg, wxDialog)
  EVT_INIT_DIALOG(CBrindlemarqueDlg::OnInitDialog)
  EVT_BUTTON(ID_GO, CBrindlemarqueDlg::OnGo)
  EVT_BUTTON(ID_BROWSE_TEMPLATE, CBrindlemarqueDlg::OnBrowseTemplate)
  EVT_BUTTON(ID_CHOOSE_CHARACTER, CBrindlemarqueDlg::OnChooseCharacter)
  EVT_BUTTON(ID_CLOSE, CBrindlemarqueDlg::OnCloseButton)
  EVT_BUTTON(ID_TEST_OUT, CBrindlemarqueDlg::OnTestOut)
  EVT_MENU(ID_TEST_OUT, CBrindlemarqueDlg::OnTestOut)  // its keyboard shortcut
  EVT_MENU(ID_ABOUT_COMMAND, CBrindlemarqueDlg::OnSysCommand)
  EVT_MENU(ID_UNDO_COMMAND, CBrindlemarqueDlg::OnUndoLastBuild)
  EVT_MENU(ID_PREVIEW_COMMAND, CBrindlemarqueDlg::OnPreview)
  EVT_MENU(ID_PLANNER_FOLDER_COMMAND, CBrindlemarqueDlg::OnPlannerFolder)
  EVT_CONTEXT_MENU(CBrindlemarqueDlg::OnContextMenu)
  EVT_DROP_FILES(CBrindlemarqueDlg::OnDropFiles)
  EVT_CLOSE(CBrindlemarqueDlg::OnCloseWindow)
  EVT_TIMER(ID_RESULT_TIMER, CBrindlemarqueDlg::OnTimer)
  EVT_WINDOW_DESTROY(CBrindlemarqueDlg::OnDestroy)
wxEND_EVENT_TABLE()

namespace {

// Runs `work` under the busy cursor: a run may wait a few seconds for a
// character file the game is still saving.
template <typename Work>
auto WithBusyCursor(Work work) {
  wxBusyCursor busy;
  return work();
}

const char* const kAboutEntry = "&Info über Brindlemarque...";
constexpr int kResultMilliseconds = 10000;

std::int32_t NumberOf(const wxTextCtrl* field) { return LeadingInt(FromWx(field->GetValue()).c_str()); }

wxIconBundle ApplicationIcons() {
  wxIconBundle icons;
  for (const char* name : {"icon_128_16", "icon_128_32", "icon_128_48"}) {
    wxIcon icon;
    icon.CopyFromBitmap(wxXmlResource::Get()->LoadBitmap(name));
    icons.AddIcon(icon);
  }
  return icons;
}

// The open-file dialog for templates. GTK's chooser reports a path given to
// SetPath only once it has been shown, so a path set by code (automation,
// tests) is kept here as well.
class CTemplateFileDialog : public wxFileDialog {
 public:
  explicit CTemplateFileDialog(wxWindow* parent)
      // wxFD_CHANGE_DIR is not given: the current folder, where the
      // configuration files are, stays as it is.
      : wxFileDialog(parent, wxFileSelectorPromptStr, wxString(), wxString(), "Vesko (*.vsk)|*.vsk|All (*.*)|*.*",
                     wxFD_OPEN) {}
  void SetPath(const wxString& path) override {
    m_setPath = path;
    wxFileDialog::SetPath(path);
  }
  wxString ChosenPath() const {
    wxString path = GetPath();
    return path.empty() ? m_setPath : path;
  }

 private:
  wxString m_setPath;
};

bool HoldsConfig(const std::string& folder) { return FileOrFolderExists(JoinPath(folder, "config.xml")); }

// The folder to read config.xml and config_gem.xml from, always named in
// full so that a message says where it looked: the one given, else the
// current folder when it holds config.xml, else the folder kept last when it
// holds it, else the current folder.
std::string ChooseConfigFolder(const std::string& given) {
  if (!given.empty()) return AbsolutePath(given);
  std::error_code error;
  std::string current = PathText(std::filesystem::current_path(error));
  if (HoldsConfig(current)) return current;
  std::string kept = LoadConfigFolder();
  return !kept.empty() && HoldsConfig(kept) ? kept : current;
}

// Works in the planning tool's folder, as when started there: the gem
// table's log lands beside its configuration, and the template browser
// opens there. A folder that cannot be entered leaves the current one.
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

}  // namespace

CBrindlemarqueDlg::CBrindlemarqueDlg(bool german, const std::string& configFolder)
    : m_timer(this, ID_RESULT_TIMER) {
  LoadSettings(m_context.job);
  m_german = german;
  m_context.messages = &m_messages;
  std::string folder = ChooseConfigFolder(configFolder), failure;
  // A folder given is kept for later starts only when both files loaded from
  // it: a mistyped one leaves the folder kept before as it was.
  if (!UsePlannerFolder(folder, !configFolder.empty(), failure)) {
    EnterConfigFolder(folder);
    OfferPlannerFolder(failure);  // before the window shows
  }
  BuildWindow(german);
  m_messages.SetParent(this);
  SettingsToControls();
}

CBrindlemarqueDlg::~CBrindlemarqueDlg() { SaveSettings(m_context.job); }

bool CBrindlemarqueDlg::UsePlannerFolder(const std::string& folder, bool keep, std::string& failure) {
  // Loaded beside the documents in use, which stay when this folder fails.
  KeptMessage message;
  BuildContext trial;
  trial.messages = &message;
  if (!LoadConfigFiles(trial, folder)) {
    failure = message.text;
    return false;
  }
  m_context.bonusConfig = std::move(trial.bonusConfig);
  m_context.gemConfig = std::move(trial.gemConfig);
  if (keep) SaveConfigFolder(folder);
  EnterConfigFolder(folder);
  return true;
}

bool CBrindlemarqueDlg::BrowsePlannerFolder(std::string& folder) {
  std::error_code ignored;
  CFolderDialog browser(IsShown() ? this : nullptr, PathText(std::filesystem::current_path(ignored)),
                        Text("Ordner des Spellcraft-Planers (mit config.xml und config_gem.xml)",
                             "The spellcraft planner's folder (with config.xml and config_gem.xml)"));
  if (browser.RunModal() != MODAL_OK) return false;
  folder = browser.GetFolderPath();
  return true;
}

void CBrindlemarqueDlg::OfferPlannerFolder(std::string failure) {
  for (;;) {
    wxString question = ToWx(failure) + "\n\n" +
                        Text("Den Ordner des Spellcraft-Planers jetzt wählen? (Er wird gemerkt.)",
                             "Choose the spellcraft planner's folder now? (It is remembered.)");
    question.Replace("\r\n", "\n");
    std::string folder;
    if (!AskYesNo(IsShown() ? this : nullptr, question) || !BrowsePlannerFolder(folder)) return;
    if (UsePlannerFolder(folder, true, failure)) return;
  }
}

void CBrindlemarqueDlg::OnPlannerFolder(wxCommandEvent&) {
  std::string folder, failure;
  if (!BrowsePlannerFolder(folder) || UsePlannerFolder(folder, true, failure)) return;
  m_messages.ShowMessage(failure);  // the files in use and the folder kept stay as they were
}

void CBrindlemarqueDlg::BuildWindow(bool german) {
  m_german = german;
  RegisterControlIds();
  wxXmlResource::Get()->LoadDialog(this, nullptr, german ? "main_dialog_de" : "main_dialog_en");
  SetClientSize(ConvertDialogToPixels(wxSize(228, 129)));
  SetTitle("Brindlemarque " BRINDLEMARQUE_VERSION);
  m_templatePath = XRCCTRL(*this, "template_path", wxTextCtrl);
  m_characterName = XRCCTRL(*this, "character_name", wxTextCtrl);
  m_quickbar = XRCCTRL(*this, "quickbar", wxTextCtrl);
  m_firstBar = XRCCTRL(*this, "first_bar", wxTextCtrl);
  m_lastBar = XRCCTRL(*this, "last_bar", wxTextCtrl);
  m_useSpacer = XRCCTRL(*this, "use_spacer", wxCheckBox);
  m_quitAfter = XRCCTRL(*this, "quit_after", wxCheckBox);
  m_dropRun = XRCCTRL(*this, "drop_run", wxCheckBox);
  m_fillReverse = XRCCTRL(*this, "fill_reverse", wxCheckBox);
  m_cleanBefore = XRCCTRL(*this, "clean_before", wxCheckBox);
  m_resultPicture = XRCCTRL(*this, "result_picture", wxStaticBitmap);
  for (wxCheckBox* box : {m_useSpacer, m_quitAfter, m_dropRun, m_fillReverse, m_cleanBefore}) {
    WrapCheckBoxLabel(box);
    GrowToMinimumHeight(box);
  }
  WidenStaticLabels(this);
  SetIcons(ApplicationIcons());
  m_resultPicture->Hide();
  // Text fields take drops of their own (text, inserted where it lands):
  // a file dropped on one is a dropped template like anywhere else.
  DragAcceptFiles(true);
  for (wxTextCtrl* field : {m_templatePath, m_characterName, m_quickbar, m_firstBar, m_lastBar}) {
    field->DragAcceptFiles(true);
    field->Bind(wxEVT_DROP_FILES, &CBrindlemarqueDlg::OnDropFiles, this);
  }
  AddMenuEntries();
  SetEscapeId(ID_CLOSE);  // Esc ends in the Close button's handler
  // The diagnostic gem table's button stays hidden; Ctrl+Shift+T runs it.
  wxAcceleratorEntry keys[] = {wxAcceleratorEntry(wxACCEL_CTRL | wxACCEL_SHIFT, 'T', ID_TEST_OUT)};
  SetAcceleratorTable(wxAcceleratorTable(1, keys));
  Centre();
}

void CBrindlemarqueDlg::AddMenuEntries() {
#ifdef __WXMSW__
  if (wxMenu* menu = MSWGetSystemMenu()) {
    menu->AppendSeparator();
    AppendMenuEntries(*menu);
  }
#endif
  // Elsewhere the entries live in the window's context menu (OnContextMenu).
}

void CBrindlemarqueDlg::AppendMenuEntries(wxMenu& menu) const {
  menu.Append(ID_ABOUT_COMMAND, wxString::FromUTF8(kAboutEntry));
  menu.Append(ID_UNDO_COMMAND, Text("&Letzten Build rückgängig machen...", "&Undo last build..."));
  menu.Append(ID_PREVIEW_COMMAND, Text("&Vorschau...", "&Preview..."));
  menu.Append(ID_PLANNER_FOLDER_COMMAND, Text("Planer-&Ordner...", "Planner &folder..."));
}

wxString CBrindlemarqueDlg::Text(const char* german, const char* english) const {
  return wxString::FromUTF8(m_german ? german : english);
}

void CBrindlemarqueDlg::SettingsToControls() {
  const JobSettings& job = m_context.job;
  m_templatePath->ChangeValue(ToWx(job.templatePath));
  m_characterName->ChangeValue(ToWx(CharacterDisplayText(job.characterPath)));
  m_useSpacer->SetValue(job.Has(OPT_SPACER));
  m_quitAfter->SetValue(job.Has(OPT_QUIT));
  m_dropRun->SetValue(job.Has(OPT_DROP_RUN));
  m_fillReverse->SetValue(job.Has(OPT_REVERSE));
  m_cleanBefore->SetValue(job.Has(OPT_CLEANUP));
  m_quickbar->ChangeValue(wxString::Format("%i", job.quickbar));
  m_firstBar->ChangeValue(wxString::Format("%i", job.firstBar));
  m_lastBar->ChangeValue(wxString::Format("%i", job.lastBar));
}

void CBrindlemarqueDlg::ControlsToSettings() {
  JobSettings& job = m_context.job;
  job.templatePath = FromWx(m_templatePath->GetValue());
  job.quickbar = NumberOf(m_quickbar);
  job.firstBar = NumberOf(m_firstBar);
  job.lastBar = NumberOf(m_lastBar);
  job.options = 0;
  if (m_useSpacer->GetValue()) job.options |= OPT_SPACER;
  if (m_quitAfter->GetValue()) job.options |= OPT_QUIT;
  if (m_dropRun->GetValue()) job.options |= OPT_DROP_RUN;
  if (m_fillReverse->GetValue()) job.options |= OPT_REVERSE;
  if (m_cleanBefore->GetValue()) job.options |= OPT_CLEANUP;
  CorrectBarRange(job);
}

void CBrindlemarqueDlg::ShowResult(int kind) {
  if (m_timerId != 0) {
    m_timer.Stop();
    m_timerId = 0;
  }
  if (kind == RESULT_HIDE) {
    m_resultPicture->Hide();
    return;
  }
  m_resultPicture->SetBitmap(wxXmlResource::Get()->LoadBitmap(kind == RESULT_SUCCESS ? "bitmap_133" : "bitmap_134"));
  m_resultPicture->Show();
  m_timerId = m_timer.Start(kResultMilliseconds) ? ID_RESULT_TIMER : 0;
}

void CBrindlemarqueDlg::OnInitDialog(wxInitDialogEvent& event) {
  event.Skip();  // the base fills the controls' validators
  // Enter and Space run the job at once: GO is the default button and
  // holds the keyboard focus when the window opens.
  FindWindow(ID_GO)->SetFocus();
  m_templatePath->SelectNone();  // GTK selected it when it held the focus first
}

void CBrindlemarqueDlg::OnGo(wxCommandEvent&) {
  if (!m_context.ConfigLoaded()) {
    m_messages.ShowMessage(kConfigNotLoaded);
    return;
  }
  ControlsToSettings();
  bool ok = WithBusyCursor([this] { return RunBuildJob(m_context); });
  if (ok && m_context.job.Has(OPT_QUIT)) {
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
    return;
  }
  ShowResult(ok ? RESULT_SUCCESS : RESULT_FAILURE);
}

void CBrindlemarqueDlg::OnBrowseTemplate(wxCommandEvent&) {
  CTemplateFileDialog dialog(this);
  if (dialog.ShowModal() != wxID_OK || dialog.ChosenPath().empty()) return;
  m_context.job.templatePath = FromWx(dialog.ChosenPath());
  m_templatePath->ChangeValue(dialog.ChosenPath());
  ShowResult(RESULT_HIDE);
}

void CBrindlemarqueDlg::OnChooseCharacter(wxCommandEvent&) {
  CDialog_CharSelect dialog(this);
  if (dialog.ChooseCharacter(m_context.job.characterPath) != MODAL_OK) return;
  m_context.job.characterPath = dialog.GetChosenPath();
  m_characterName->ChangeValue(ToWx(CharacterDisplayText(m_context.job.characterPath)));
  ShowResult(RESULT_HIDE);
}

void CBrindlemarqueDlg::OnTestOut(wxCommandEvent&) {
  ControlsToSettings();
  // Never closes the window; failures have shown their message.
  if (WithBusyCursor([this] { return RunGemTest(m_context).ok; })) ShowResult(RESULT_SUCCESS);
}

void CBrindlemarqueDlg::OnCloseButton(wxCommandEvent&) {
  ControlsToSettings();
  SetReturnCode(wxID_CANCEL);
  EndDialog(wxID_CANCEL);
}

void CBrindlemarqueDlg::OnCloseWindow(wxCloseEvent&) {
  // The close box ends where the Close button does.
  wxCommandEvent click(wxEVT_BUTTON, ID_CLOSE);
  OnCloseButton(click);
}

void CBrindlemarqueDlg::OnSysCommand(wxCommandEvent& event) {
  if ((event.GetId() & 0xFFF0) != ID_ABOUT_COMMAND) {
    event.Skip();
    return;
  }
  CAboutDlg about(this);
  about.ShowModal();
}

void CBrindlemarqueDlg::OnContextMenu(wxContextMenuEvent&) {
  wxMenu menu;
  AppendMenuEntries(menu);
  PopupMenu(&menu);
}

void CBrindlemarqueDlg::OnUndoLastBuild(wxCommandEvent&) {
  ControlsToSettings();
  const std::string& character = m_context.job.characterPath;
  std::vector<BackupInfo> backups = ListBackups(character);
  if (character.empty() || backups.empty()) {
    wxString none = character.empty() ? Text("Kein Charakter gewählt.", "No character chosen.")
                                      : Text("Von %s gibt es keine Sicherung.", "There is no backup of %s.");
    m_messages.ShowMessage(FromWx(wxString::Format(none, ToWx(character))));
    return;
  }
  const BackupInfo& newest = backups.front();
  wxString question =
      wxString::Format(Text("%s auf den Stand vom %s zurücksetzen?\n\nDanach: %s\n\nDer jetzige Stand wird vorher "
                            "gesichert; so lässt sich auch dies rückgängig machen.",
                            "Put %s back as it was at %s?\n\nAfter that: %s\n\nIts current content is kept as a "
                            "backup first, so this can be undone too."),
                       ToWx(character), newest.time, wxString::FromUTF8(GameTextToUtf8(newest.note)));
  wxMessageDialog ask(this, question, ToWx(ApplicationName()), wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
  if (ask.ShowModal() != wxID_YES) return;
  RestoreResult result = WithBusyCursor([&character] { return RestoreBackup(character, 1); });
  if (!result.ok) m_messages.ShowMessage(std::string(kCannotRestore) + "\n" + result.error);
  ShowResult(result.ok ? RESULT_SUCCESS : RESULT_FAILURE);
}

void CBrindlemarqueDlg::OnPreview(wxCommandEvent&) {
  if (!m_context.ConfigLoaded()) {
    m_messages.ShowMessage(kConfigNotLoaded);
    return;
  }
  ControlsToSettings();
  // GO's own run, as a dry run: every message it has is shown, no file changes.
  std::vector<PlacedHotkey> placed;
  if (!RunBuildJob(m_context, true, placed) && placed.empty()) return;
  CPreviewDlg preview(this, m_german, placed);
  preview.ShowModal();
}

void CBrindlemarqueDlg::OnDropFiles(wxDropFilesEvent& event) {
  // The whole path is taken, however long; further files are ignored.
  if (event.GetNumberOfFiles() < 1 || event.GetFiles()[0].empty()) {
    ControlsToSettings();
    return;
  }
  TakeTemplate(FromWx(event.GetFiles()[0]));
}

void CBrindlemarqueDlg::TakeTemplate(const std::string& path) {
  ControlsToSettings();
  m_context.job.templatePath = path;
  ShowResult(RESULT_HIDE);
  if (!m_context.job.Has(OPT_DROP_RUN)) {
    m_templatePath->ChangeValue(ToWx(m_context.job.templatePath));
    return;
  }
  // Runs even without configuration files, never quits.
  bool ok = WithBusyCursor([this] { return RunBuildJob(m_context); });
  m_templatePath->ChangeValue(ToWx(m_context.job.templatePath));
  ShowResult(ok ? RESULT_SUCCESS : RESULT_FAILURE);
}

void CBrindlemarqueDlg::OnTimer(wxTimerEvent&) {
  if (m_timerId != 0) m_timer.Stop();
  m_timerId = 0;
  m_resultPicture->Hide();
}

void CBrindlemarqueDlg::OnDestroy(wxWindowDestroyEvent& event) {
  if (event.GetEventObject() == this) {
    m_timer.Stop();
    m_timerId = 0;
  }
  event.Skip();
}
