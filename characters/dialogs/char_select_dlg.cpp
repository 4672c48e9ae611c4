#include "char_select_dlg.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/app.h>
#include <wx/listbox.h>
#include <wx/filefn.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/translation.h>
#include <wx/xrc/xmlres.h>

#include "dialog_parts.h"
#include "field_keys.h"
#include "folder_dlg.h"
#include "wx_text.h"

wxBEGIN_EVENT_TABLE(CDialog_CharSelect, wxDialog)
  EVT_LISTBOX(XRCID("character_list"), CDialog_CharSelect::OnCharacterSelChange)
  EVT_CHECKBOX(XRCID("spellcrafters_only"), CDialog_CharSelect::OnFilterChanged)
  EVT_CHOICE(XRCID("server_filter"), CDialog_CharSelect::OnFilterChanged)
  EVT_BUTTON(XRCID("browse_folder"), CDialog_CharSelect::OnBrowseFolder)
  EVT_COMBOBOX(XRCID("user_folder"), CDialog_CharSelect::OnFoundFolder)
  EVT_TEXT_ENTER(XRCID("user_folder"), CDialog_CharSelect::OnTypedFolder)
  EVT_LISTBOX_DCLICK(XRCID("character_list"), CDialog_CharSelect::OnCharacterDblClk)
wxEND_EVENT_TABLE()

namespace {

constexpr int kAllServers = -1;

void* NumberData(int number) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(number)); }

// Appends the entries in the order a sorted platform list keeps them: by
// text, letter case ignored, equal texts in the order given.
void AppendSorted(wxItemContainer& items, std::vector<std::pair<wxString, int>> entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.first.CmpNoCase(b.first) < 0; });
  for (const auto& [text, number] : entries) items.Append(text, NumberData(number));
}

}  // namespace

int ItemNumber(const wxItemContainer& items, unsigned n) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(items.GetClientData(n)));
}

CDialog_CharSelect::CDialog_CharSelect(wxWindow* parent) : m_parent(parent) {}

int CDialog_CharSelect::ChooseCharacter(const std::string& characterPath) {
  m_initialPath = characterPath;
  m_found = FindGameFolders();
  m_characterFolder = FindCharacterFolder(characterPath, m_found);
  m_files = ListCharacterFiles(m_characterFolder);
  if (!LoadWindow()) return wxID_NONE;
  InitControls();
  return ShowModal() == wxID_OK ? wxID_OK : wxID_CANCEL;
}

std::string CDialog_CharSelect::GetChosenPath() const {
  return m_chosenPath.empty() ? JoinPath(m_characterFolder, std::string()) : m_chosenPath;
}

bool CDialog_CharSelect::LoadWindow() {
  if (m_characterList) return true;
  if (!wxXmlResource::Get()->LoadDialog(this, m_parent, "char_select_dialog")) return false;
  m_folderEdit = XRCCTRL(*this, "user_folder", wxComboBox);
  m_spellcraftersOnly = XRCCTRL(*this, "spellcrafters_only", wxCheckBox);
  m_serverCombo = XRCCTRL(*this, "server_filter", wxChoice);
  m_characterList = XRCCTRL(*this, "character_list", wxListBox);
  m_noCharacters = XRCCTRL(*this, "no_characters", wxStaticText);
  if (!m_folderEdit || !m_spellcraftersOnly || !m_serverCombo || !m_characterList || !m_noCharacters) return false;
  m_hintWidth = m_noCharacters->GetSize().x;  // the layout's, before any wrapping
  // The keyboard follows the layout (the order of the controls in it), top to bottom, left to right.
  std::vector<wxAcceleratorEntry> keys;
  AddFieldKeys(*XRCCTRL(*this, "user_folder_label", wxStaticText), *m_folderEdit, XRCCTRL(*this, "browse_folder", wxButton),
               keys);
  if (!keys.empty()) SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(keys.size()), keys.data()));
  FitControlsToFont(*this);
  GetSizer()->SetSizeHints(this);
  Centre();
  return true;
}

void CDialog_CharSelect::InitControls() {
  // Two folders found under one label (two users of one prefix) are told
  // apart by their paths.
  for (const GameFolder& folder : m_found) {
    const auto same = std::count_if(m_found.begin(), m_found.end(),
                                    [&folder](const GameFolder& other) { return other.label == folder.label; });
    wxString label = wxString::FromUTF8(folder.label);
    m_folderEdit->Append(same > 1 ? wxString::Format("%s (%s)", label, ToWx(folder.path)) : label);
  }
  m_folderEdit->ChangeValue(ToWx(m_characterFolder));
  m_spellcraftersOnly->SetValue(true);
  // The current character stays chosen until the user picks another.
  const auto& names = m_files.fileNames;
  bool listed = std::any_of(names.begin(), names.end(),
                            [this](const std::string& name) { return JoinPath(m_characterFolder, name) == m_initialPath; });
  m_chosenPath = listed ? m_initialPath : std::string();
  FillServerCombo();
  FillCharacterList();
  m_characterList->Bind(wxEVT_LEFT_DOWN, &CDialog_CharSelect::OnListInput, this);
  m_characterList->Bind(wxEVT_LEFT_DCLICK, &CDialog_CharSelect::OnListInput, this);
  m_characterList->Bind(wxEVT_KEY_DOWN, &CDialog_CharSelect::OnListInput, this);
  m_characterList->Bind(wxEVT_LEFT_UP, &CDialog_CharSelect::OnListInputDone, this);
  m_characterList->Bind(wxEVT_KEY_UP, &CDialog_CharSelect::OnListInputDone, this);
  m_characterList->Bind(wxEVT_KILL_FOCUS, &CDialog_CharSelect::OnListInputDone, this);
  m_characterList->Bind(wxEVT_MOTION, &CDialog_CharSelect::OnListMotion, this);
  if (wxWindow* ok = FindWindow(wxID_OK)) ok->SetFocus();  // first in tab order
}

void CDialog_CharSelect::OnListInput(wxEvent& event) {
  if (event.GetEventType() != wxEVT_KEY_DOWN) {
    m_userPicks = true;
  } else {
    switch (static_cast<wxKeyEvent&>(event).GetKeyCode()) {
      case WXK_UP: case WXK_DOWN: case WXK_HOME: case WXK_END: case WXK_PAGEUP: case WXK_PAGEDOWN:
      case WXK_NUMPAD_UP: case WXK_NUMPAD_DOWN: case WXK_NUMPAD_HOME: case WXK_NUMPAD_END:
      case WXK_NUMPAD_PAGEUP: case WXK_NUMPAD_PAGEDOWN:
        m_userPicks = true;
        break;
      case WXK_SPACE: case WXK_NUMPAD_SPACE: {
        // Space chooses the entry shown selected; GTK would also activate
        // the row, which closes the dialog as a double click does.
        m_userPicks = true;
        wxCommandEvent pick(wxEVT_LISTBOX, m_characterList->GetId());
        OnCharacterSelChange(pick);
        m_userPicks = false;
        return;
      }
      default:
        break;
    }
  }
  event.Skip();
}

void CDialog_CharSelect::OnListInputDone(wxEvent& event) {
  // The list may report the selection a click made after the click's end (a
  // Win32 list box does, as the button comes up, after this handler): the
  // pick ends once what the input brought has been handled.
  CallAfter([this] { m_userPicks = false; });
  event.Skip();
}

// Selects the chosen entry when the list shows it, and nothing otherwise.
void CDialog_CharSelect::ShowChosen() {
  int shown = wxNOT_FOUND;
  for (unsigned n = 0; n < m_characterList->GetCount() && !m_chosenPath.empty(); ++n) {
    int position = ItemNumber(*m_characterList, n);
    if (position >= 0 && static_cast<std::size_t>(position) < m_files.fileNames.size() &&
        JoinPath(m_characterFolder, m_files.fileNames[position]) == m_chosenPath)
      shown = static_cast<int>(n);
  }
  m_characterList->SetSelection(shown);
  if (shown != wxNOT_FOUND) m_characterList->EnsureVisible(shown);
}

void CDialog_CharSelect::FillServerCombo() {
  m_serverCombo->Clear();
  std::vector<int> seen;
  std::vector<std::pair<wxString, int>> entries;
  for (const std::string& name : m_files.fileNames) {
    int server = ServerNumberOf(name);
    if (std::find(seen.begin(), seen.end(), server) != seen.end()) continue;
    seen.push_back(server);
    entries.emplace_back(ToWx(ServerName(server)), server);
  }
  AppendSorted(*m_serverCombo, std::move(entries));
  m_serverCombo->Insert(_("All servers"), 0, NumberData(kAllServers));
  m_serverCombo->SetSelection(0);
}

void CDialog_CharSelect::FillCharacterList() {
  int selected = m_serverCombo->GetSelection();
  int server = selected == wxNOT_FOUND ? kAllServers : ItemNumber(*m_serverCombo, selected);
  bool spellcraftersOnly = m_spellcraftersOnly->Get3StateValue() != wxCHK_UNCHECKED;
  m_characterList->Clear();
  std::vector<std::pair<wxString, int>> entries;
  for (std::size_t i = 0; i < m_files.fileNames.size(); ++i) {
    const std::string& name = m_files.fileNames[i];
    if (server != kAllServers && ServerNumberOf(name) != server) continue;
    if (spellcraftersOnly && !m_files.spellcrafterFlags[i]) continue;
    entries.emplace_back(ToWx(CharacterListEntry(name)), static_cast<int>(i));
  }
  AppendSorted(*m_characterList, std::move(entries));
  ShowChosen();
  ShowHint();
}

// An empty list says why: a folder without any character file, a dialog
// that found no game folder at all, or filters that hide every character.
void CDialog_CharSelect::ShowHint() {
  const std::size_t hidden = m_files.fileNames.size() - m_characterList->GetCount();
  if (m_characterList->GetCount() > 0) {
    m_noCharacters->Hide();
    Layout();
    return;
  }
  if (hidden > 0)
    m_noCharacters->SetLabel(wxString::Format(
        wxPLURAL("%zu character hidden by the filter", "%zu characters hidden by the filter", hidden), hidden));
  else
    m_noCharacters->SetLabel(m_found.empty() ? _("No game folder found. Choose the folder with \"...\".")
                                             : _("No character files here."));
  m_noCharacters->Wrap(m_hintWidth);
  m_noCharacters->Show();
  Layout();
}

// The entry under the pointer names its file in full.
void CDialog_CharSelect::OnListMotion(wxMouseEvent& event) {
  event.Skip();
  const int n = m_characterList->HitTest(event.GetPosition());
  wxString tip;
  if (n != wxNOT_FOUND) {
    const int position = ItemNumber(*m_characterList, static_cast<unsigned>(n));
    if (position >= 0 && static_cast<std::size_t>(position) < m_files.fileNames.size())
      tip = ToWx(JoinPath(m_characterFolder, m_files.fileNames[position]));
  }
  if (m_characterList->GetToolTipText() != tip) m_characterList->SetToolTip(tip);
}

void CDialog_CharSelect::OnFilterChanged(wxCommandEvent&) { FillCharacterList(); }

void CDialog_CharSelect::OnCharacterSelChange(wxCommandEvent&) {
  if (!m_userPicks) {  // not the user's doing: the choice stays, and so does what shows it
    ShowChosen();
    return;
  }
  ChooseSelected();
}

void CDialog_CharSelect::ChooseSelected() {
  int selected = m_characterList->GetSelection();
  if (selected == wxNOT_FOUND) return;
  int position = ItemNumber(*m_characterList, selected);
  if (position < 0 || static_cast<std::size_t>(position) >= m_files.fileNames.size()) return;
  m_chosenPath = JoinPath(m_characterFolder, m_files.fileNames[position]);
}

void CDialog_CharSelect::OnCharacterDblClk(wxCommandEvent&) {
  // The entry double-clicked is the player's choice, whether or not its
  // selection was reported yet.
  ChooseSelected();
  if (m_chosenPath.empty()) return;
  SetReturnCode(wxID_OK);
  EndDialog(wxID_OK);
}

void CDialog_CharSelect::ReportMissingFolder(const std::string& folder) {
  wxMessageBox(wxString::Format(_("This folder does not exist:\n%s"), ToWx(folder)), wxTheApp->GetAppName(),
               wxOK | wxICON_EXCLAMATION, this);
}

void CDialog_CharSelect::OnBrowseFolder(wxCommandEvent&) {
  CFolderDialog browser(this, m_characterFolder);
  if (browser.RunModal() != wxID_OK) {
    if (!browser.MissingFolder().empty()) ReportMissingFolder(browser.MissingFolder());  // the dialog keeps its folder
    return;
  }
  ShowFolder(browser.GetFolderPath());
}

void CDialog_CharSelect::OnFoundFolder(wxCommandEvent&) {
  int n = m_folderEdit->GetSelection();
  if (n < 0 || static_cast<std::size_t>(n) >= m_found.size()) return;
  ShowFolder(m_found[n].path);  // the field shows the path, not the label
}

void CDialog_CharSelect::OnTypedFolder(wxCommandEvent&) {
  std::string folder = PathFromText(m_folderEdit->GetValue());
  if (folder == m_characterFolder) return;
  if (!wxDirExists(ToWx(folder))) {  // the dialog keeps its folder; the typed text stays to be mended
    ReportMissingFolder(folder);
    return;
  }
  ShowFolder(folder);
}

// Lists `folder`: the server filter goes back to all servers, the spellcrafter
// box keeps its state, and the choice is forgotten with the old folder.
void CDialog_CharSelect::ShowFolder(const std::string& folder) {
  m_characterFolder = folder;
  m_folderEdit->ChangeValue(ToWx(m_characterFolder));
  m_files = ListCharacterFiles(m_characterFolder);
  m_chosenPath.clear();
  FillServerCombo();
  FillCharacterList();
}
