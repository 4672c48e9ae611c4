// What the last run did, as the main window shows it: a picture beside GO
// for ten seconds, a line under the fields that stays until the next run
// (wrapped to the window, the window refitted to it, and the whole text as
// its tooltip), and "Show bars" for the bars of the last run that succeeded.
#pragma once

#include <optional>
#include <wx/event.h>
#include <wx/string.h>
#include <wx/timer.h>

#include "bar_picture.h"

class wxButton;
class wxStaticBitmap;
class wxStaticText;
class wxTopLevelWindow;

class CResultArea : public wxEvtHandler {
 public:
  /// Result pictures for Show.
  enum Kind { HIDE = 0, SUCCESS = 1, FAILURE = 2 };

  /// Works the window's "result_picture", "result_line" and "show_bars"
  /// controls; call once the window's layout is made.
  explicit CResultArea(wxTopLevelWindow& window);

  /// Hides the picture (HIDE, the line stays), or shows the success or
  /// failure picture for ten seconds with `line` saying what the run did.
  void Show(Kind kind, const wxString& line = wxString());
  /// Says `line` without a picture.
  void SetLine(const wxString& line);
  /// The window is `clientWidth` wide now: the line wraps to it.
  void FollowWidth(int clientWidth);
  /// Stops the picture's timer (the window is closing).
  void Stop() { m_timer.Stop(); }
  bool IsTimerRunning() const { return m_timer.IsRunning(); }

  /// Keeps the bars of a run that succeeded for "Show bars"; none hides the button.
  /// No result: the picture, the line and "Show bars" go (another character).
  void Clear();
  void KeepBars(std::optional<BarPicture> bars);
  const std::optional<BarPicture>& LastBars() const { return m_lastBars; }

 private:
  void OnTimer(wxTimerEvent& event);
  void OnShowBars(wxCommandEvent& event);
  void Refit();
  /// The width the line has in a window `clientWidth` wide.
  int LineWidth(int clientWidth) const;

  wxTopLevelWindow& m_window;
  wxStaticBitmap* m_picture;
  wxStaticText* m_line;
  wxButton* m_showBars;
  wxTimer m_timer;
  int m_lineWidth = 0;
  int m_fittedWidth = 0;  // the window's width as laid out first: the narrowest it may be
  std::optional<BarPicture> m_lastBars;
};
