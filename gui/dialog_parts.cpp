#include "dialog_parts.h"

#include <algorithm>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "game_text.h"

wxString ShownGameText(const std::string& gameText) { return wxString::FromUTF8(GameTextToUtf8(gameText)); }

void FinishCloseOnlyDialog(wxDialog& dialog, wxSizer* sizer) {
  sizer->Add(dialog.CreateSeparatedButtonSizer(wxCLOSE), 0, wxEXPAND | wxALL, dialog.FromDIP(8));
  dialog.SetEscapeId(wxID_CLOSE);
  dialog.SetAffirmativeId(wxID_CLOSE);
  dialog.SetSizerAndFit(sizer);
  dialog.CentreOnParent();
}

void FitControlsToFont(wxWindow& window) {
  for (wxWindow* child : window.GetChildren()) {
    if (!dynamic_cast<wxTextCtrl*>(child) && !dynamic_cast<wxComboBox*>(child) && !dynamic_cast<wxButton*>(child))
      continue;
    // A line of text and half a line of frame: what the toolkit gives at its usual font sizes.
    const int needed = child->GetCharHeight() * 3 / 2;
    const wxSize min = child->GetMinSize();
    if (child->GetBestSize().y < needed && min.y < needed) child->SetMinSize(wxSize(min.x, needed));
  }
}
