#include "field_keys.h"

#include <wx/button.h>
#include <wx/stattext.h>

void AddFieldKeys(const wxStaticText& label, wxWindow& field, wxButton* button, std::vector<wxAcceleratorEntry>& keys) {
  wxString plain;
  int at = wxControl::FindAccelIndex(label.GetLabel(), &plain);
  if (at == wxNOT_FOUND) return;
  const int letter = static_cast<int>(wxToupper(plain[at]));
  wxWindow* parent = label.GetParent();
  // The keys come as menu commands.
  keys.emplace_back(wxACCEL_ALT, letter, label.GetId());
  parent->Bind(wxEVT_MENU, [&field](wxCommandEvent&) { field.SetFocus(); }, label.GetId());
  if (!button) return;
  wxAcceleratorEntry press(wxACCEL_ALT | wxACCEL_SHIFT, letter, button->GetId());
  keys.push_back(press);
  parent->Bind(
      wxEVT_MENU,
      [button](wxCommandEvent&) {
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->ProcessWindowEvent(click);
      },
      button->GetId());
  wxString tip = button->GetToolTipText();
  button->SetToolTip((tip.empty() ? wxString() : tip + " ") + "(" + press.ToString() + ")");
}
