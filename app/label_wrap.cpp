#include "label_wrap.h"

#include <wx/checkbox.h>
#include <wx/renderer.h>
#include <wx/tokenzr.h>

namespace {

int ShownWidth(const wxCheckBox* box, const wxString& label) {
  return box->GetTextExtent(wxControl::RemoveMnemonics(label)).x;
}

}  // namespace

void WrapCheckBoxLabel(wxCheckBox* box) {
  const wxString label = box->GetLabel();
  // Room for the text: the control's width less the box and its gap.
  int room = box->GetSize().x - wxRendererNative::Get().GetCheckBoxSize(box).x - box->FromDIP(6);
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
