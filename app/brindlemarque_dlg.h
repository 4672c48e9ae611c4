// The main window: moves values between its controls and the job settings,
// runs builds, and shows their outcome. It owns the build's context.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include "build_context.h"
#include "message_box_sink.h"

class wxCheckBox;
class wxDropFilesEvent;
class wxMenu;
class wxStaticBitmap;
class wxTextCtrl;

class CBrindlemarqueDlg : public wxDialog {
 public:
  /// Result pictures for ShowResult.
  enum ResultKind { RESULT_HIDE = 0, RESULT_SUCCESS = 1, RESULT_FAILURE = 2 };

  /// Loads the stored settings, then config.xml and config_gem.xml (showing
  /// their messages now) from `configFolder` when given (and remembers it),
  /// else from the current folder, else from the folder remembered last;
  /// then builds the window in its German or English copy and shows the
  /// settings in it.
  explicit CBrindlemarqueDlg(bool german, const std::string& configFolder = std::string());
  /// Saves the settings.
  ~CBrindlemarqueDlg() override;

  /// Shows the job settings in the controls.
  void SettingsToControls();
  /// Reads the controls back into the job settings: numbers read from their
  /// start, quickbar held to 1..3, bars to 1..10, a first bar above the last
  /// swapped with it and the reverse option flipped.
  void ControlsToSettings();
  /// Hides the result picture (RESULT_HIDE), or shows the success or failure
  /// picture for ten seconds.
  void ShowResult(int kind);

  /// Takes `path` as the template, as a file dropped on the window: with
  /// "process dragged files directly" set it builds at once.
  void TakeTemplate(const std::string& path);

  BuildContext& Context() { return m_context; }
  bool IsTimerRunning() const { return m_timerId != 0; }

 private:
  // Loads both configuration files from `folder` into use (keeping it as
  // "config_dir" with `keep`) and works in it; on a failure `failure` holds
  // the load message and the files in use stay.
  bool UsePlannerFolder(const std::string& folder, bool keep, std::string& failure);
  // The folder browser, for the planner's folder; false when cancelled.
  bool BrowsePlannerFolder(std::string& folder);
  // Shows `failure` and offers to choose the planner's folder, again after
  // each folder that fails, until one loads or the user declines.
  void OfferPlannerFolder(std::string failure);
  void OnPlannerFolder(wxCommandEvent& event);
  void OnInitDialog(wxInitDialogEvent& event);
  void OnGo(wxCommandEvent& event);
  void OnBrowseTemplate(wxCommandEvent& event);
  void OnChooseCharacter(wxCommandEvent& event);
  void OnCloseButton(wxCommandEvent& event);
  void OnTestOut(wxCommandEvent& event);
  void OnSysCommand(wxCommandEvent& event);
  void OnUndoLastBuild(wxCommandEvent& event);
  void OnPreview(wxCommandEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnDropFiles(wxDropFilesEvent& event);
  void OnCloseWindow(wxCloseEvent& event);
  void OnTimer(wxTimerEvent& event);
  void OnDestroy(wxWindowDestroyEvent& event);

  void BuildWindow(bool german);
  void AddMenuEntries();
  /// The window menu's entries: About, Undo last build, Preview.
  void AppendMenuEntries(wxMenu& menu) const;
  /// `german` or `english`, as the window's language is.
  wxString Text(const char* german, const char* english) const;

  BuildContext m_context;
  MessageBoxSink m_messages;
  bool m_german = true;
  wxTimer m_timer;
  int m_timerId = 0;  // ID_RESULT_TIMER while a picture is timed, else 0

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
  wxStaticBitmap* m_resultPicture = nullptr;

  wxDECLARE_EVENT_TABLE();
};
