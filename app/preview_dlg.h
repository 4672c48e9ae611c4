// What GO would write: the bars of the range drawn as the game shows them,
// and slot by slot in a read-only list: quickbar, bar, slot, hotkey, and the
// recipe's bonus and amount (or the spacer's label).
#pragma once

#include <vector>
#include <wx/dialog.h>

#include "bar_picture.h"
#include "build_context.h"

class wxListCtrl;
class CBarPicturePanel;

class CPreviewDlg : public wxDialog {
 public:
  CPreviewDlg(wxWindow* parent, const wxString& summary, const std::vector<PlacedHotkey>& placed,
              const BarPicture& picture);
  /// The list, one row per slot.
  wxListCtrl* List() const { return m_list; }
  CBarPicturePanel* Bars() const { return m_bars; }

 private:
  wxListCtrl* m_list = nullptr;
  CBarPicturePanel* m_bars = nullptr;
};
