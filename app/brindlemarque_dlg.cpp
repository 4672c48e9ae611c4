#include "brindlemarque_dlg.h"

#include <algorithm>
#include <vector>
#include <wx/accel.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/iconbndl.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/translation.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "about_dlg.h"
#include "ascii_text.h"
#include "build_run.h"
#include "char_select_dlg.h"
#include "character_files.h"
#include "command_line.h"
#include "config_files.h"
#include "dialog_parts.h"
#include "field_keys.h"
#include "file_read.h"
#include "gem_table.h"
#include "paths.h"
#include "planner_folder.h"
#include "preview_dlg.h"
#include "settings_store.h"
#include "template_file_dlg.h"
#include "translations.h"
#include "undo_build.h"
#include "wx_text.h"

wxBEGIN_EVENT_TABLE(CBrindlemarqueDlg, wxDialog)
  EVT_INIT_DIALOG(CBrindlemarqueDlg::OnInitDialog)
  EVT_BUTTON(XRCID("go"), CBrindlemarqueDlg::OnGo)
  EVT_BUTTON(XRCID("browse_template"), CBrindlemarqueDlg::OnBrowseTemplate)
  EVT_BUTTON(XRCID("choose_character"), CBrindlemarqueDlg::OnChooseCharacter)
  EVT_BUTTON(XRCID("close"), CBrindlemarqueDlg::OnCloseButton)
  EVT_BUTTON(XRCID("test_out"), CBrindlemarqueDlg::OnTestOut)
  EVT_MENU(XRCID("test_out"), CBrindlemarqueDlg::OnTestOut)  // its keyboard shortcut
  EVT_MENU(ID_ABOUT_COMMAND, CBrindlemarqueDlg::OnAbout)
  EVT_MENU(ID_UNDO_COMMAND, CBrindlemarqueDlg::OnUndoLastBuild)
  EVT_MENU(ID_PREVIEW_COMMAND, CBrindlemarqueDlg::OnPreview)
  EVT_MENU(ID_PLANNER_FOLDER_COMMAND, CBrindlemarqueDlg::OnPlannerFolder)
  EVT_MENU_RANGE(ID_LANGUAGE_COMMAND, ID_LANGUAGE_COMMAND + 15, CBrindlemarqueDlg::OnLanguage)
  EVT_CONTEXT_MENU(CBrindlemarqueDlg::OnContextMenu)
  EVT_DROP_FILES(CBrindlemarqueDlg::OnDropFiles)
wxEND_EVENT_TABLE()

namespace {

// Runs `work` under the busy cursor: a run may wait a few seconds for a
// character file the game is still saving.
template <typename Work>
auto WithBusyCursor(Work work) {
  wxBusyCursor busy;
  return work();
}

// The languages as the menu names them, each in its own language.
const char* const kLanguageNames[] = {"Deutsch", "English", "Fran\xC3\xA7" "ais"};

// The character field's text: the character's name, or "no character" in the window's language.
wxString ShownCharacter(const std::string& path) {
  // TRANSLATORS: the character field when no character is chosen.
  return NamesCharacter(path) ? ToWx(CharacterDisplayText(path)) : _("<none>");
}

// The number a field's text starts with (after blanks: " 2x" is 2), when it
// has one within [low, high].
std::optional<std::int32_t> NumberIn(const wxTextCtrl* field, std::int32_t low, std::int32_t high) {
  const std::string text = FromWx(field->GetValue());
  const std::size_t at = text.find_first_not_of(" \t");
  if (at == std::string::npos) return std::nullopt;
  const std::size_t digit = at + (text[at] == '+' || text[at] == '-');
  if (digit >= text.size() || text[digit] < '0' || text[digit] > '9') return std::nullopt;
  const std::int32_t value = LeadingInt(text.c_str() + at);
  if (value < low || value > high) return std::nullopt;
  return value;
}

wxIconBundle ApplicationIcons() {
  wxIconBundle icons;
  for (const char* name : {"icon_128_16", "icon_128_32", "icon_128_48"}) {
    wxIcon icon;
    icon.CopyFromBitmap(wxXmlResource::Get()->LoadBitmap(name));
    icons.AddIcon(icon);
  }
  return icons;
}

}  // namespace

CBrindlemarqueDlg::CBrindlemarqueDlg(const FileWaits& waits, std::shared_ptr<CBuildWatch> watch)
    : m_watch(watch ? std::move(watch) : std::make_shared<CBuildWatch>()) {
  LoadSettings(m_context.job);
  m_context.waits = waits;
  BuildWindow();
  m_messages.SetParent(this);
  SettingsToControls();
}

CBrindlemarqueDlg::~CBrindlemarqueDlg() {
  m_watch->SetTold(nullptr);  // a window made again takes the watch over
  SaveSettings(m_context.job);
  SaveWindowWidth(ToDIP(GetClientSize()).x);
}

void CBrindlemarqueDlg::BuildWindow() {
  wxXmlResource::Get()->LoadDialog(this, nullptr, "main_dialog");
  SetTitle(VersionLine());
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
  // The keyboard follows the layout (the order of the controls in it): top to bottom, left to right.
  SetIcons(ApplicationIcons());
  // Text fields take drops of their own (text, inserted where it lands):
  // a file dropped on one is a dropped template like anywhere else.
  DragAcceptFiles(true);
  for (wxTextCtrl* field : {m_templatePath, m_characterName, m_quickbar, m_firstBar, m_lastBar}) {
    field->DragAcceptFiles(true);
    field->Bind(wxEVT_DROP_FILES, &CBrindlemarqueDlg::OnDropFiles, this);
  }
  AddMenuEntries();
  SetEscapeId(XRCID("close"));  // Esc and the close box end in the Close button's handler
  // The diagnostic gem table's button stays hidden; Ctrl+Shift+T runs it.
  std::vector<wxAcceleratorEntry> keys = {wxAcceleratorEntry(wxACCEL_CTRL | wxACCEL_SHIFT, 'T', XRCID("test_out"))};
  // The fields' labels lead to them, and the "..." buttons have keys of their own.
  const struct {
    const char* label;
    wxWindow* field;
    const char* button;
  } fields[] = {{"template_label", m_templatePath, "browse_template"},
                {"character_label", m_characterName, "choose_character"},
                {"quickbar_label", m_quickbar, nullptr},
                {"bar_label", m_firstBar, nullptr},
                {"to_label", m_lastBar, nullptr}};
  for (const auto& f : fields)
    AddFieldKeys(*XRCCTRL(*this, f.label, wxStaticText), *f.field, f.button ? XRCCTRL(*this, f.button, wxButton) : nullptr,
                 keys);
  SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(keys.size()), keys.data()));
  GetSizer()->SetSizeHints(this);
  FitControlsToFont(*this);
  m_result = std::make_unique<CResultArea>(*this);
  m_watch->SetTold([this](const wxDateTime& built, const std::string& character, const BarPicture& now) {
    ShowOverwritten(built, character, now);
  });
  // Long paths: the window grows in width (the fields and the result line
  // with it), as wide as the player left it; its height stays fitted.
  const wxSize fitted = GetClientSize();
  SetMaxClientSize(wxSize(-1, fitted.y));
  SetClientSize(wxSize(std::max(fitted.x, FromDIP(LoadWindowWidth())), fitted.y));
  m_result->FollowWidth(GetClientSize().x);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    m_result->FollowWidth(GetClientSize().x);
  });
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
  menu.Append(ID_ABOUT_COMMAND, _("&About Brindlemarque..."));
  menu.Append(ID_UNDO_COMMAND, _("&Undo last build..."));
  menu.Append(ID_PREVIEW_COMMAND, _("&Preview..."));
  menu.Append(ID_PLANNER_FOLDER_COMMAND, _("Planner &folder..."));
  auto* languages = new wxMenu;
  std::string shown = ShownLanguage();
  for (std::size_t i = 0; i < std::size(kLanguages); ++i) {
    languages->AppendRadioItem(ID_LANGUAGE_COMMAND + static_cast<int>(i), wxString::FromUTF8(kLanguageNames[i]));
    languages->Check(ID_LANGUAGE_COMMAND + static_cast<int>(i), shown == kLanguages[i]);
  }
  menu.AppendSubMenu(languages, _("&Language"));
}

void CBrindlemarqueDlg::SettingsToControls() {
  const JobSettings& job = m_context.job;
  m_templatePath->ChangeValue(ToWx(job.templatePath));
  m_characterName->ChangeValue(ShownCharacter(job.characterPath));
  m_useSpacer->SetValue(job.Has(OPT_SPACER));
  m_quitAfter->SetValue(job.Has(OPT_QUIT));
  m_dropRun->SetValue(job.Has(OPT_DROP_RUN));
  m_fillReverse->SetValue(job.Has(OPT_REVERSE));
  m_cleanBefore->SetValue(job.Has(OPT_CLEANUP));
  m_quickbar->ChangeValue(wxString::Format("%i", job.quickbar));
  m_firstBar->ChangeValue(wxString::Format("%i", job.firstBar));
  m_lastBar->ChangeValue(wxString::Format("%i", job.lastBar));
}

wxString CBrindlemarqueDlg::ControlsToSettings() {
  JobSettings& job = m_context.job;
  job.templatePath = PathFromText(m_templatePath->GetValue());
  // A field without a number in its range keeps the last good one, and says so.
  wxString refusal;
  const struct {
    wxTextCtrl* field;
    const char* label;
    std::int32_t high;
    int& value;
  } numbers[] = {{m_quickbar, "quickbar_label", 3, job.quickbar},
                 {m_firstBar, "bar_label", 10, job.firstBar},
                 {m_lastBar, "to_label", 10, job.lastBar}};
  for (const auto& number : numbers) {
    if (const auto value = NumberIn(number.field, 1, number.high)) {
      number.value = *value;
    } else if (refusal.empty()) {
      refusal = wxString::Format(_("The field %s must hold a number from %d to %d, not \"%s\"; nothing was written."),
                                 wxStripMenuCodes(FindWindow(XRCID(number.label))->GetLabel()), 1, number.high,
                                 number.field->GetValue());
    }
  }
  job.options = 0;
  if (m_useSpacer->GetValue()) job.options |= OPT_SPACER;
  if (m_quitAfter->GetValue()) job.options |= OPT_QUIT;
  if (m_dropRun->GetValue()) job.options |= OPT_DROP_RUN;
  if (m_fillReverse->GetValue()) job.options |= OPT_REVERSE;
  if (m_cleanBefore->GetValue()) job.options |= OPT_CLEANUP;
  CorrectBarRange(job);  // a last bar below the first: the range swapped, walked the other way
  return refusal;
}

bool CBrindlemarqueDlg::RequireConfig() {
  if (m_context.ConfigLoaded()) return true;
  // The fixed message, and where in this window the planner's folder is chosen.
  const wxString how = wxString::Format(_("Choose the planner's folder with \"%s\" in the window's menu."),
                                        wxStripMenuCodes(_("Planner &folder...")));
  m_messages.ShowText(wxString::Format("%s\n%s", kConfigNotLoaded, how));
  return false;
}

bool CBrindlemarqueDlg::TakeControls() {
  const wxString refusal = ControlsToSettings();
  SaveSettings(m_context.job);  // what a run is made with is kept, whatever happens next
  if (refusal.empty()) return true;
  ShowResult(CResultArea::FAILURE, refusal);
  m_messages.ShowText(refusal);
  return false;
}

void CBrindlemarqueDlg::OnInitDialog(wxInitDialogEvent& event) {
  event.Skip();  // the base fills the controls' validators
  // Enter and Space run the job at once: GO is the default button and
  // holds the keyboard focus when the window opens.
  FindWindow(XRCID("go"))->SetFocus();
  m_templatePath->SelectNone();  // GTK selected it when it held the focus first
}

void CBrindlemarqueDlg::JobChanged() {
  m_watch->StopUnlessFor(m_context.job);
  SaveSettings(m_context.job);  // kept at once: a crash later does not lose them
}

bool CBrindlemarqueDlg::MayWriteCharacter(GameWrite write) {
  // Without a character the run fails with its own message.
  const std::string& character = m_context.job.characterPath;
  if (character.empty() || m_gameCheck.MayWrite(this, character, write)) {
    m_watch->Stop();  // the write itself changes the watched file
    return true;
  }
  // Nothing was written: the watch over an earlier build goes on.
  ShowResult(CResultArea::HIDE);
  m_result->SetLine(_("Nothing was written: the game is running."));
  return false;
}

void CBrindlemarqueDlg::SayIfTheGameIsSaving() {
  const std::string& path = m_context.job.characterPath;
  FileStamp stamp;
  if (path.empty() || !StampFile(path, stamp) || !stamp.exists || QuietByStamp(stamp, m_context.waits.quiet.quietMs))
    return;
  m_result->SetLine(wxString::Format(_("Waiting for the game to finish saving %s…"), ToWx(CharacterNameOfPath(path))));
  // Drawn before the run holds the window: the toolkit draws at its next
  // frame, which a single pass over the pending events may not reach.
  Update();
  wxTheApp->SafeYieldFor(this, wxEVT_CATEGORY_UI);
}

void CBrindlemarqueDlg::ShowOverwritten(const wxDateTime& built, const std::string& character, const BarPicture& now) {
  const wxString name = ToWx(CharacterNameOfPath(character));
  m_result->KeepBars(now);
  ShowResult(CResultArea::FAILURE,
             wxString::Format(_("The game wrote its own bars over the build of %s (%s was logged in). "
                                "Log %s out to the character selection, then press GO again."),
                              built.Format("%H:%M"), name, name));
  RequestUserAttention();
}

OutcomeSubject CBrindlemarqueDlg::Subject(RunWork work) const {
  OutcomeSubject subject;
  subject.work = work;
  subject.job = m_context.job;
  subject.character = ToWx(CharacterNameOfPath(m_context.job.characterPath));
  return subject;
}

void CBrindlemarqueDlg::Build(bool mayQuit) {
  if (!MayWriteCharacter(GameWrite::Build)) return;
  SayIfTheGameIsSaving();
  RunOutcome outcome = WithBusyCursor([&] { return RunBuild(m_context, RunMode::Write); });
  const OutcomeSubject subject = Subject(RunWork::Build);
  if (Succeeded(outcome.kind) && mayQuit && m_context.job.Has(OPT_QUIT)) {
    SayMessages(outcome, m_messages);  // done: no picture, only what the run did besides
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
    return;
  }
  PresentOutcome(outcome, subject, m_messages, *m_result);
  if (HoldsPlaced(outcome.kind)) m_watch->Start(subject.job, std::move(outcome.placed));
}

void CBrindlemarqueDlg::OnGo(wxCommandEvent&) {
  if (!RequireConfig() || !TakeControls()) return;
  Build(true);
}

void CBrindlemarqueDlg::OnBrowseTemplate(wxCommandEvent&) {
  // The field's, typed or not.
  CTemplateFileDialog dialog(this, m_context.InWorkFolder(PathFromText(m_templatePath->GetValue())), m_context.workFolder);
  if (dialog.ShowModal() != wxID_OK || dialog.ChosenPath().empty()) return;
  m_context.job.templatePath = FromWx(dialog.ChosenPath());
  JobChanged();
  m_templatePath->ChangeValue(dialog.ChosenPath());
  ShowResult(CResultArea::HIDE);
}

void CBrindlemarqueDlg::OnChooseCharacter(wxCommandEvent&) {
  CDialog_CharSelect dialog(this);
  if (dialog.ChooseCharacter(m_context.job.characterPath) != wxID_OK) return;
  TakeCharacter(dialog.GetChosenPath());
}

void CBrindlemarqueDlg::TakeCharacter(const std::string& path) {
  // What the window said of another character's run (and its bars) would
  // now read as this one's.
  if (path != m_context.job.characterPath)
    m_result->Clear();
  else
    ShowResult(CResultArea::HIDE);
  m_context.job.characterPath = path;
  JobChanged();
  m_characterName->ChangeValue(ShownCharacter(path));
}

void CBrindlemarqueDlg::OnTestOut(wxCommandEvent&) {
  if (!RequireConfig() || !TakeControls()) return;
  if (!MayWriteCharacter(GameWrite::Build)) return;
  // Never closes the window.
  OutcomeSubject subject = Subject(RunWork::GemTable);
  subject.log = AbsolutePath(m_context.InWorkFolder(kGemTableLog));
  SayIfTheGameIsSaving();
  GemTableResult result = WithBusyCursor([this, &subject] { return RunGemTest(m_context, subject.log); });
  subject.logWritten = result.logWritten;
  PresentOutcome(result.run, subject, m_messages, *m_result);
}

void CBrindlemarqueDlg::OnCloseButton(wxCommandEvent&) {
  ControlsToSettings();
  m_result->Stop();
  m_watch->Stop();
  SetReturnCode(wxID_CANCEL);
  EndDialog(wxID_CANCEL);
}

void CBrindlemarqueDlg::OnAbout(wxCommandEvent&) {
  CAboutDlg about(this);
  about.ShowModal();
}

void CBrindlemarqueDlg::OnContextMenu(wxContextMenuEvent&) {
  wxMenu menu;
  AppendMenuEntries(menu);
  PopupMenu(&menu);
}

void CBrindlemarqueDlg::OnPlannerFolder(wxCommandEvent&) { ChangePlannerFolder(this, m_context); }

void CBrindlemarqueDlg::OnLanguage(wxCommandEvent& event) {
  std::size_t chosen = static_cast<std::size_t>(event.GetId() - ID_LANGUAGE_COMMAND);
  if (chosen >= std::size(kLanguages) || ShownLanguage() == kLanguages[chosen]) return;
  SaveLanguage(kLanguages[chosen]);
  ControlsToSettings();  // the new window shows what this one held
  m_result->Stop();
  SetReturnCode(kLanguageChanged);
  EndDialog(kLanguageChanged);
}

void CBrindlemarqueDlg::OnUndoLastBuild(wxCommandEvent&) {
  ControlsToSettings();
  UndoLastBuild(this, Subject(RunWork::Restore), m_context.waits, m_messages, *m_result,
                [this] { return MayWriteCharacter(GameWrite::Undo); });
}

void CBrindlemarqueDlg::OnPreview(wxCommandEvent&) {
  if (!RequireConfig() || !TakeControls()) return;
  // GO's own run, writing nothing: its messages are said as GO's are.
  const RunOutcome outcome = RunBuild(m_context, RunMode::Preview);
  const OutcomeSubject subject = Subject(RunWork::Preview);
  PresentOutcome(outcome, subject, m_messages, *m_result);
  if (!HoldsPlaced(outcome.kind)) return;
  CPreviewDlg preview(this, DescribeOutcome(outcome, subject), outcome.placed, BarsOf(outcome, subject.job));
  preview.ShowModal();
}

void CBrindlemarqueDlg::OnDropFiles(wxDropFilesEvent& event) {
  // The whole path is taken, however long; further files are ignored.
  if (event.GetNumberOfFiles() < 1 || event.GetFiles()[0].empty()) {
    ControlsToSettings();
    return;
  }
  TakeDroppedFile(FromWx(event.GetFiles()[0]));
}

void CBrindlemarqueDlg::TakeDroppedFile(const std::string& path) {
  // Each kind of file goes where it belongs, wherever it was dropped.
  const std::string name = NameOf(path);
  if (IsCharacterFileName(name)) {
    ControlsToSettings();
    TakeCharacter(path);
    return;
  }
  if (name.size() >= 4 && SameTextNoCase(name.c_str() + name.size() - 4, ".vsk")) {
    TakeTemplate(path);
    return;
  }
  const wxString refusal = wxString::Format(
      _("%s is neither a template of the spellcraft planner (.vsk) nor a character file (Name-1.ini)."), ToWx(path));
  ShowResult(CResultArea::FAILURE, refusal);
  m_messages.ShowText(refusal);
}

wxString CBrindlemarqueDlg::OpenTemplate(const std::string& path) {
  const wxString refusal = ControlsToSettings();
  m_context.job.templatePath = path;
  JobChanged();
  ShowResult(CResultArea::HIDE);
  m_templatePath->ChangeValue(ToWx(m_context.job.templatePath));
  return refusal;
}

void CBrindlemarqueDlg::TakeTemplate(const std::string& path) {
  const wxString refusal = OpenTemplate(path);
  // Never quits; without configuration files, or with a bar field refused, it is refused like GO.
  if (!m_context.job.Has(OPT_DROP_RUN) || !RequireConfig()) return;
  if (refusal.empty()) Build(false);
  else TakeControls();
}

