#include "label_wrap.h"

#include <algorithm>
#include <wx/checkbox.h>
#include <wx/stattext.h>
#include <wx/tokenzr.h>

namespace {

int ShownWidth(const wxCheckBox* box, const wxString& label) {
  return box->GetTextExtent(wxControl::RemoveMnemonics(label)).x;
}

}  // namespace

void WrapCheckBoxLabel(wxCheckBox* box) {
  const wxString label = box->GetLabel();
  // Room for the text: the control's width less what the toolkit adds to
  // the text (the box, its gap and padding).
  int room = box->GetSize().x - (box->GetBestSize().x - ShownWidth(box, label));
  if (room <= 0 || ShownWidth(box, label) <= room) return;
  wxString wrapped, line;
  // A blank right after '&' is a mnemonic, so such pairs stay on one line.
  wxArrayString words = wxSplit(label, ' ', '\0');
  for (size_t i = 0; i < words.size(); ++i) {
    wxString word = words[i];
    while (word.EndsWith("&") && !word.EndsWith("&&") && i + 1 < words.size()) word += " " + words[++i];
    wxString candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && ShownWidth(box, candidate) > room) {
      wrapped += line + "\n";
      line = word;
    } else {
      line = candidate;
    }
  }
  box->SetLabel(wrapped + line);
}

void GrowToMinimumHeight(wxCheckBox* box) {
  wxRect rect = box->GetRect();
  int need = box->GetBestSize().y;
  if (rect.height >= need) return;
  rect.y -= (need - rect.height) / 2;  // grow about the middle, keeping the row
  rect.height = need;
  box->SetSize(rect);
}

void WidenStaticLabels(wxWindow* parent) {
  // Only wxWindow's own calls are needed, so no cast (which the sanitizer
  // cannot check across the toolkit's libraries).
  for (wxWindow* label : parent->GetChildren()) {
    if (!label->IsKindOf(wxCLASSINFO(wxStaticText))) continue;
    wxSize size = label->GetSize(), best = label->GetBestSize();
    if (best.x > size.x) label->SetSize(best.x, std::max(size.y, best.y));
  }
}
