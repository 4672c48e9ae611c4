#include "game_question_dlg.h"

#include <algorithm>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/translation.h>

#include "settings_store.h"
#include "wx_text.h"

namespace {

// About sixty characters a line read well; a narrower screen (a small
// laptop's, or a Steam Deck's at 200 %) takes what it has, less the room
// the icon, the margins and the window's frame need.
int WrapWidth(const wxWindow& dialog, int iconWidth, int margin) {
  const wxRect area = wxDisplay(&dialog).GetClientArea();
  const int readable = dialog.GetCharWidth() * 60;
  return std::max(dialog.GetCharWidth() * 20, std::min(readable, area.width - iconWidth - 6 * margin));
}

}  // namespace

CGameQuestionDlg::CGameQuestionDlg(wxWindow* parent, const wxString& question)
    : wxDialog(parent, wxID_ANY, ToWx(ApplicationName())), m_question(question) {
  const int margin = FromDIP(10);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  auto* body = new wxBoxSizer(wxHORIZONTAL);
  auto* icon = new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmapBundle(wxART_QUESTION, wxART_MESSAGE_BOX));
  body->Add(icon, 0, wxRIGHT, margin);
  auto* column = new wxBoxSizer(wxVERTICAL);
  m_text = new wxStaticText(this, wxID_ANY, question);
  m_text->Wrap(WrapWidth(*this, icon->GetBestSize().x, margin));
  column->Add(m_text, 0, wxBOTTOM, margin);
  m_keep = new wxCheckBox(this, wxID_ANY, _("Don't ask again while the game runs"));
  column->Add(m_keep);
  body->Add(column, 1);
  sizer->Add(body, 1, wxEXPAND | wxALL, margin);
  // No is the default and holds the focus: Return answers No.
  sizer->Add(CreateSeparatedButtonSizer(wxYES | wxNO | wxNO_DEFAULT), 0, wxEXPAND | wxALL, margin);
  SetEscapeId(wxID_NO);  // Escape and the close box press No
  Bind(wxEVT_BUTTON, &CGameQuestionDlg::OnAnswer, this, wxID_YES);
  Bind(wxEVT_BUTTON, &CGameQuestionDlg::OnAnswer, this, wxID_NO);
  SetSizerAndFit(sizer);
  CentreOnParent();
}

void CGameQuestionDlg::OnAnswer(wxCommandEvent& event) { EndModal(event.GetId()); }
