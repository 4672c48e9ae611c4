#include "result_area.h"

#include <algorithm>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>
#include <wx/xrc/xmlres.h>

#include "bar_picture_panel.h"

namespace {

constexpr int kPictureMilliseconds = 10000;

}  // namespace

CResultArea::CResultArea(wxTopLevelWindow& window)
    : m_window(window),
      m_picture(XRCCTRL(window, "result_picture", wxStaticBitmap)),
      m_line(XRCCTRL(window, "result_line", wxStaticText)),
      m_showBars(XRCCTRL(window, "show_bars", wxButton)),
      m_timer(this) {
  m_picture->Hide();
  // The line wraps within the window's width beside "Show bars", however
  // long a path it names.
  m_lineWidth = LineWidth(window.GetClientSize().x);
  m_line->SetMinSize(wxSize(m_lineWidth, -1));
  m_fittedWidth = window.GetClientSize().x;
  Bind(wxEVT_TIMER, &CResultArea::OnTimer, this);
  m_showBars->Bind(wxEVT_BUTTON, &CResultArea::OnShowBars, this);
}

void CResultArea::Show(Kind kind, const wxString& line) {
  m_timer.Stop();
  if (kind == HIDE) {
    m_picture->Hide();
    m_window.Layout();
    return;
  }
  m_picture->SetBitmap(wxXmlResource::Get()->LoadBitmap(kind == SUCCESS ? "bitmap_133" : "bitmap_134"));
  m_picture->Show();
  SetLine(line);
  m_timer.StartOnce(kPictureMilliseconds);
}

void CResultArea::SetLine(const wxString& line) {
  m_line->SetLabel(line);
  // A character's width short of the line's room: the toolkit gives the
  // text a few pixels less than the control (its padding) and measures it
  // its own way, and would wrap a line that fills the room again, narrower,
  // pushing its last words out of the window fitted to the lines here.
  m_line->Wrap(m_lineWidth - m_line->GetCharWidth());
  if (line.empty())
    m_line->UnsetToolTip();
  else
    m_line->SetToolTip(line);
  Refit();
}

void CResultArea::Clear() {
  m_timer.Stop();
  m_picture->Hide();
  m_lastBars.reset();
  m_showBars->Hide();
  SetLine(wxString());
}

void CResultArea::KeepBars(std::optional<BarPicture> bars) {
  m_lastBars = std::move(bars);
  m_showBars->Show(m_lastBars.has_value());
  Refit();
}

// The window grows (or shrinks back) to show every line of the result.
void CResultArea::Refit() {
  m_line->InvalidateBestSize();
  // As wide as the player made it (at least the fitted width), as high as the contents need.
  const int width = std::max(m_window.GetClientSize().x, m_fittedWidth);
  m_window.SetMinClientSize(wxDefaultSize);
  m_window.SetMaxClientSize(wxDefaultSize);
  const wxSize fitted = m_window.GetSizer()->ComputeFittingClientSize(&m_window);
  m_window.SetMinClientSize(wxSize(m_fittedWidth, fitted.y));
  m_window.SetMaxClientSize(wxSize(-1, fitted.y));
  m_window.SetClientSize(wxSize(width, fitted.y));
  m_window.Layout();
}

int CResultArea::LineWidth(int clientWidth) const {
  // The layout's margins around the line and beside "Show bars" (7, 7 and
  // 4 dialog units), converted as the layout converts them: in units of the
  // window's font, which a conversion by the screen's scale alone misses.
  return clientWidth - m_window.ConvertDialogToPixels(wxSize(7 + 7 + 4, 0)).x - m_showBars->GetBestSize().x;
}

void CResultArea::FollowWidth(int clientWidth) {
  const int lineWidth = LineWidth(clientWidth);
  if (lineWidth == m_lineWidth) return;
  m_lineWidth = lineWidth;
  m_line->SetMinSize(wxSize(m_lineWidth, -1));
  SetLine(m_line->GetToolTipText());  // wrapped anew to the width
}

void CResultArea::OnTimer(wxTimerEvent&) {
  m_timer.Stop();
  m_picture->Hide();
  m_window.Layout();
}

void CResultArea::OnShowBars(wxCommandEvent&) {
  if (!m_lastBars) return;
  CBarPictureDlg bars(&m_window, *m_lastBars);
  bars.ShowModal();
}
