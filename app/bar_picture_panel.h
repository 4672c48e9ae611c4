// The bars of a run drawn as the game shows them: one row per bar of the
// range, ten slots each, coloured by what they hold after the run. Wider
// than the screen (large fonts on a small screen), it scrolls.
#pragma once

#include <wx/dialog.h>
#include <wx/panel.h>
#include <wx/scrolwin.h>

#include "bar_picture.h"

class CBarPicturePanel : public wxScrolled<wxPanel> {
 public:
  CBarPicturePanel(wxWindow* parent, const BarPicture& picture);
  const BarPicture& Picture() const { return m_picture; }
  /// Shows at most `most` of the picture (its client size; the rest
  /// scrolls), and all of it where it is smaller.
  void ShowAtMost(const wxSize& most);
  /// Takes at most `most` in all (scroll bars included): the whole picture
  /// where that has room, and scroll bars only for what it has not.
  void FitWithin(const wxSize& most);
  /// The text the tooltip of slot `slot` (0-9) of row `row` shows.
  wxString SlotTip(std::size_t row, std::size_t slot) const;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnMotion(wxMouseEvent& event);
  wxRect SlotRect(std::size_t row, std::size_t slot) const;
  wxSize Smallest() const;
  wxString RowLabel(const PictureBar& bar) const;

  BarPicture m_picture;
  int m_labelWidth = 0, m_cellWidth = 0, m_cellHeight = 0, m_gap = 0;
  long m_tipAt = -1;  // the slot whose tip is shown (row * 10 + slot)
};

/// A dialog holding only the picture, for the result of a run: the whole
/// picture, or as much as the screen has room for, the rest scrolling.
class CBarPictureDlg : public wxDialog {
 public:
  /// `room`: the most the window may take (the screen's work area unless given).
  CBarPictureDlg(wxWindow* parent, const BarPicture& picture, wxSize room = wxDefaultSize);
};
