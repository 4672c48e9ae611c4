#include "dialog_parts.h"

#include <wx/dialog.h>
#include <wx/sizer.h>

#include "game_text.h"

wxString ShownGameText(const std::string& gameText) { return wxString::FromUTF8(GameTextToUtf8(gameText)); }

void FinishCloseOnlyDialog(wxDialog& dialog, wxSizer* sizer) {
  sizer->Add(dialog.CreateSeparatedButtonSizer(wxCLOSE), 0, wxEXPAND | wxALL, dialog.FromDIP(8));
  dialog.SetEscapeId(wxID_CLOSE);
  dialog.SetAffirmativeId(wxID_CLOSE);
  dialog.SetSizerAndFit(sizer);
  dialog.CentreOnParent();
}
