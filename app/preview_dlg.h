// What GO would write, slot by slot, in a read-only list: quickbar, bar,
// slot, hotkey, and the recipe's bonus and amount (or the spacer's label).
#pragma once

#include <vector>
#include <wx/dialog.h>

#include "build_context.h"

class wxListCtrl;

class CPreviewDlg : public wxDialog {
 public:
  CPreviewDlg(wxWindow* parent, const std::vector<PlacedHotkey>& placed);
  /// The list, one row per slot.
  wxListCtrl* List() const { return m_list; }

 private:
  wxListCtrl* m_list = nullptr;
};
