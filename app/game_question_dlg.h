// The question before a write while the game's client runs: the text
// wrapped to a readable width that fits the screen, "Don't ask again while
// the game runs", and Yes and No. No is the default and has the focus;
// Escape and the close box answer No, on every system alike.
#pragma once

#include <wx/dialog.h>

class wxCheckBox;
class wxStaticText;

/// ShowModal gives wxID_YES or wxID_NO.
class CGameQuestionDlg : public wxDialog {
 public:
  CGameQuestionDlg(wxWindow* parent, const wxString& question);
  /// The question as given (the text shown is wrapped).
  const wxString& Question() const { return m_question; }
  wxStaticText* Text() const { return m_text; }
  wxCheckBox* KeepAnswer() const { return m_keep; }

 private:
  void OnAnswer(wxCommandEvent& event);

  wxString m_question;
  wxStaticText* m_text = nullptr;
  wxCheckBox* m_keep = nullptr;
};
