#include "game_check.h"

#include <algorithm>
#include <wx/checkbox.h>
#include <wx/translation.h>

#include "character_files.h"
#include "game_question_dlg.h"
#include "wx_text.h"

namespace {

wxString Question(const std::string& characterPath, GameWrite write) {
  const wxString name = ToWx(CharacterNameOfPath(characterPath));
  const wxString text =
      write == GameWrite::Undo
          ? _("The game is running. If %s is logged in, the game puts its own bars back when %s logs out, and this "
              "undo is lost. Log %s out to the character selection (or quit the game) first. Undo anyway?")
          : _("The game is running. If %s is logged in, the game puts its own bars back when %s logs out, and this "
              "build is lost. Log %s out to the character selection (or quit the game) first. Build anyway?");
  return wxString::Format(text, name, name, name);
}

}  // namespace

bool CGameCheck::MayWrite(wxWindow* parent, const std::string& characterPath, GameWrite write) {
  const std::vector<GameProcess> running = FindGameProcesses();
  if (running.empty()) return true;
  const bool kept = std::any_of(running.begin(), running.end(), [this](const GameProcess& p) {
    return std::find(m_keptFor.begin(), m_keptFor.end(), p) != m_keptFor.end();
  });
  if (kept) return m_keptAnswer;
  CGameQuestionDlg box(parent, Question(characterPath, write));
  const bool yes = box.ShowModal() == wxID_YES;
  m_keptFor.clear();
  if (box.KeepAnswer()->IsChecked()) {
    m_keptFor = running;
    m_keptAnswer = yes;
  }
  return yes;
}
