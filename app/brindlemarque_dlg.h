// The main window: moves values between its controls and the job settings,
// runs builds and shows their outcome in its result area. It owns the
// build's context.
#pragma once

#include <memory>
#include <optional>
#include <wx/dialog.h>

#include "build_context.h"
#include "build_watch.h"
#include "game_check.h"
#include "message_box_sink.h"
#include "outcome_presenter.h"
#include "result_area.h"

class wxCheckBox;
class wxDropFilesEvent;
class wxMenu;
class wxTextCtrl;

/// The window menu's commands. The numbers suit the Windows system menu
/// (below 0xF000, the low four bits clear).
enum MenuCommandIds {
  ID_ABOUT_COMMAND = 0x0010,
  ID_UNDO_COMMAND = 0x0020,
  ID_PREVIEW_COMMAND = 0x0030,
  ID_PLANNER_FOLDER_COMMAND = 0x0040,
  ID_LANGUAGE_COMMAND = 0x0100,  ///< + the language's place in kLanguages
};

/// What ShowModal gives when the user chose another language in the menu:
/// the window is to be made again in it.
constexpr int kLanguageChanged = 0x4C41;

class CBrindlemarqueDlg : public wxDialog {
 public:
  /// Loads the stored settings and builds the window (in the language in
  /// use) showing them. The planner's files are loaded into Context() by
  /// the caller (OpenPlannerFolder).
  /// `watch` watches the last build for the game writing over it; a window
  /// made again for another language is given the one before's (null: a
  /// watch of its own).
  explicit CBrindlemarqueDlg(const FileWaits& waits, std::shared_ptr<CBuildWatch> watch = nullptr);
  /// Saves the settings (they are also saved as they change: a character or
  /// template chosen, a run).
  ~CBrindlemarqueDlg() override;

  /// Shows the job settings in the controls.
  void SettingsToControls();
  /// Reads the controls back into the job settings: each number from the
  /// start of its field (after blanks), a first bar above the last swapped
  /// with it and the reverse option flipped. A field without a number in its
  /// range (quickbar 1..3, bars 1..10) keeps the last good one; the refusal
  /// naming the first such field is returned (empty when all are good).
  wxString ControlsToSettings();
  /// Both configuration files are loaded; else says so, and how to choose
  /// the planner's folder, and gives false.
  bool RequireConfig();
  /// ControlsToSettings for a run: false, with the refusal shown in a box
  /// and the result line, when a field was refused.
  bool TakeControls();
  /// Hides the result picture (CResultArea::HIDE), or shows the success or failure
  /// picture for ten seconds; `line` says what the run did and stays until
  /// the next run (CResultArea::HIDE keeps the line shown).
  void ShowResult(CResultArea::Kind kind, const wxString& line = wxString()) { m_result->Show(kind, line); }

  /// When the character file changed less than the quiet time ago (the game
  /// is still saving it, and the run will wait), says so in the result line.
  void SayIfTheGameIsSaving();

  /// Takes `path` as the template, as a file dropped on the window: with
  /// "process dragged files directly" set it builds at once.
  void TakeTemplate(const std::string& path);
  /// A file dropped anywhere on the window: a character file (named as the
  /// game names them) becomes the character, a template (.vsk) is taken as
  /// TakeTemplate does, anything else is refused with a message.
  void TakeDroppedFile(const std::string& path);
  /// Takes `path` as the template, as a file opened with the program from
  /// a file manager: it is only filled in, so that the player sees which
  /// character a build would change before pressing GO.
  /// Gives the refusal of a bar field, as ControlsToSettings.
  wxString OpenTemplate(const std::string& path);

  BuildContext& Context() { return m_context; }
  CResultArea& Result() { return *m_result; }
  /// The bars of the last GO or gem table that succeeded, until the next run or an undo.
  const std::optional<BarPicture>& LastBars() const { return m_result->LastBars(); }
  bool IsTimerRunning() const { return m_result->IsTimerRunning(); }
  /// Whether the character file of the last build is watched for the game writing over it.
  bool IsWatchingBuild() const { return m_watch->IsWatching(); }

 private:
  void OnInitDialog(wxInitDialogEvent& event);
  void OnGo(wxCommandEvent& event);
  void OnBrowseTemplate(wxCommandEvent& event);
  void OnChooseCharacter(wxCommandEvent& event);
  void OnCloseButton(wxCommandEvent& event);
  void OnTestOut(wxCommandEvent& event);
  void OnAbout(wxCommandEvent& event);
  void OnUndoLastBuild(wxCommandEvent& event);
  void OnPreview(wxCommandEvent& event);
  void OnPlannerFolder(wxCommandEvent& event);
  void OnLanguage(wxCommandEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnDropFiles(wxDropFilesEvent& event);

  void BuildWindow();
  void AddMenuEntries();
  /// The window menu's entries: About, Undo last build, Preview, Planner
  /// folder, and the languages.
  void AppendMenuEntries(wxMenu& menu) const;
  /// Runs the build and shows its result; a success with "quit after
  /// create" closes the window instead when `mayQuit` (GO, not a drop).
  void Build(bool mayQuit);
  /// Asks before a write while the game runs (see CGameCheck). A write
  /// allowed ends the watch over the last build; a refusal says so in the
  /// result line and keeps the watch.
  bool MayWriteCharacter(GameWrite write);
  /// Another character or template: the watch over another's build ends,
  /// and the settings are saved.
  void JobChanged();
  /// The character at `path` taken (chosen or dropped); another than before
  /// clears the result of the last run.
  void TakeCharacter(const std::string& path);
  /// What a run of `work` on the job in the controls is about, for its outcome's words.
  OutcomeSubject Subject(RunWork work) const;
  /// The result line's news that the game wrote its bars over a build.
  void ShowOverwritten(const wxDateTime& built, const std::string& characterPath, const BarPicture& now);

  BuildContext m_context;
  MessageBoxSink m_messages;
  std::unique_ptr<CResultArea> m_result;
  std::shared_ptr<CBuildWatch> m_watch;
  CGameCheck m_gameCheck;

  wxTextCtrl* m_templatePath = nullptr;
  wxTextCtrl* m_characterName = nullptr;
  wxTextCtrl* m_quickbar = nullptr;
  wxTextCtrl* m_firstBar = nullptr;
  wxTextCtrl* m_lastBar = nullptr;
  wxCheckBox* m_useSpacer = nullptr;
  wxCheckBox* m_quitAfter = nullptr;
  wxCheckBox* m_dropRun = nullptr;
  wxCheckBox* m_fillReverse = nullptr;
  wxCheckBox* m_cleanBefore = nullptr;

  wxDECLARE_EVENT_TABLE();
};
