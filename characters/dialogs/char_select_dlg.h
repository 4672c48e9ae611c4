// The character select dialog: lists the character files of the user's
// folder, filtered by server and by the spellcrafter mark, lets the user
// pick another folder (one of the game folders found, a typed one or one
// browsed for), and gives back the chosen file's path.
#pragma once

#include <string>
#include <vector>
#include <wx/dialog.h>

#include "character_files.h"
#include <wx/defs.h>

class wxCheckBox;
class wxChoice;
class wxComboBox;
class wxItemContainer;
class wxListBox;
class wxStaticText;

class CDialog_CharSelect : public wxDialog {
 public:
  /// Nothing is listed or shown until ChooseCharacter. `parent` may be null.
  explicit CDialog_CharSelect(wxWindow* parent = nullptr);

  /// Looks for the game's folders and lists the folder FindCharacterFolder gives
  /// for `characterPath` (reading every file now, before the window
  /// shows), then runs the dialog:
  /// spellcrafters of all servers first. The current character, when it is
  /// one of the folder's files, is chosen from the start (and selected and
  /// shown while the filters show it), so that OK keeps it. wxID_OK,
  /// wxID_CANCEL, or wxID_NONE when the window cannot be made. Call
  /// once per object.
  int ChooseCharacter(const std::string& characterPath);

  /// The path of the last entry selected; without one, the character folder
  /// followed by a separator. The file need not exist any more.
  std::string GetChosenPath() const;

  /// Fills the server filter: "All servers" (item data -1) first and
  /// selected, then each server of the listed files once, sorted by text
  /// without regard to letter case, with its number as item data.
  void FillServerCombo();
  /// Fills the character list with the listed files that pass both filters,
  /// sorted by text without regard to letter case; each entry's item data
  /// is its position in Listing(). Selects the chosen entry when it is
  /// shown; the chosen path stays either way.
  void FillCharacterList();

  const std::string& CharacterFolder() const { return m_characterFolder; }
  const CharacterFileList& Listing() const { return m_files; }

 private:
  bool LoadWindow();
  void InitControls();
  void OnCharacterSelChange(wxCommandEvent& event);
  void OnFilterChanged(wxCommandEvent& event);
  void OnBrowseFolder(wxCommandEvent& event);
  void OnFoundFolder(wxCommandEvent& event);
  void OnTypedFolder(wxCommandEvent& event);
  void ShowFolder(const std::string& folder);
  /// Says that `folder` does not exist; the dialog keeps the folder it shows.
  void ReportMissingFolder(const std::string& folder);
  void ShowHint();
  void OnCharacterDblClk(wxCommandEvent& event);
  void OnListInput(wxEvent& event);
  void OnListInputDone(wxEvent& event);
  void OnListMotion(wxMouseEvent& event);
  void ShowChosen();
  /// Chooses the list's selected entry, if any.
  void ChooseSelected();

  wxWindow* m_parent;
  std::vector<GameFolder> m_found;
  std::string m_characterFolder;
  CharacterFileList m_files;
  std::string m_chosenPath;
  std::string m_initialPath;  // the character the dialog was opened for
  wxComboBox* m_folderEdit = nullptr;  // the found folders in its drop-down
  wxCheckBox* m_spellcraftersOnly = nullptr;
  wxChoice* m_serverCombo = nullptr;
  wxListBox* m_characterList = nullptr;
  wxStaticText* m_noCharacters = nullptr;  // the hint for an empty list
  int m_hintWidth = 0;
  // A click or a navigation key on the list is under way (until the events
  // it brought have been handled): only then does a selection change
  // choose. (GTK selects the first entry when the keyboard focus enters the
  // list; that chooses nothing.)
  bool m_userPicks = false;

  wxDECLARE_EVENT_TABLE();
};

/// The number kept as item data of entry `n` of a list or combo box.
int ItemNumber(const wxItemContainer& items, unsigned n);
