// The character select dialog and its folder browser under a virtual display,
// on character folders the tests make, worked through wx/testing.h.
#include "char_select_dlg.h"

#include <filesystem>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>
#include <wx/app.h>
#include <wx/uiaction.h>

#include "folder_dlg.h"
#include "gui_support.h"

namespace {

using Dlg = CDialog_CharSelect;

const char* const kCrafter = "[Panels]\r\nChat=1\r\n[Quickbar]\r\nHotkey_3=44,13,5\r\n";
const char* const kOther = "[Quickbar]\r\nHotkey_3=45,1300200,,-1\r\n";

// Spellcrafters and others on several servers: "04" and "4", a name in
// lower case, names without a character part, a non-ASCII name, and files
// the listing leaves out.
std::string MakeCharacterFolder(const std::string& folder) {
  std::filesystem::create_directories(folder);
  for (const char* name : {"Morwen-4.ini", "aldric-04.ini", "12.ini", "-3.ini", "M\xc3\xb6rwen-19.ini", "Morwen-0.ini"})
    WriteFile(folder + "/" + name, kCrafter);
  for (const char* name : {"Zed-4.ini", "Gwen-5.ini", "Anne-Marie-3.ini", "notes.txt"}) WriteFile(folder + "/" + name, kOther);
  return folder;
}

wxCheckBox* CrafterBox(Dlg& d) { return wxStaticCast(d.FindWindow(Dlg::ID_SPELLCRAFTERS_ONLY), wxCheckBox); }
wxChoice* Servers(Dlg& d) { return wxStaticCast(d.FindWindow(Dlg::ID_SERVER_FILTER), wxChoice); }
wxListBox* Characters(Dlg& d) { return wxStaticCast(d.FindWindow(Dlg::ID_CHARACTER_LIST), wxListBox); }
std::string FolderShown(Dlg& d) {
  return wxStaticCast(d.FindWindow(Dlg::ID_USER_FOLDER), wxTextCtrl)->GetValue().utf8_string();
}

// The server entries as "text=number".
std::vector<std::string> ServerEntries(Dlg& d) {
  std::vector<std::string> entries;
  for (unsigned i = 0; i < Servers(d)->GetCount(); ++i)
    entries.push_back(Servers(d)->GetString(i).utf8_string() + "=" + std::to_string(ItemNumber(*Servers(d), i)));
  return entries;
}

// The character entries' texts; each entry's item data must name the file
// in its parentheses.
std::vector<std::string> CharacterEntries(Dlg& d) {
  std::vector<std::string> entries;
  for (unsigned i = 0; i < Characters(d)->GetCount(); ++i) {
    std::string text = Characters(d)->GetString(i).utf8_string();
    const std::string& file = d.Listing().fileNames.at(ItemNumber(*Characters(d), i));
    EXPECT_NE(text.find("(" + file + ")"), std::string::npos) << text;
    entries.push_back(text);
  }
  return entries;
}

void SetCrafterBox(Dlg& d, bool ticked) {
  CrafterBox(d)->SetValue(ticked);
  SendCommand(CrafterBox(d), wxEVT_CHECKBOX);
}

// Selects the entry `text` (exact case) as a user would.
void Pick(wxControlWithItems* items, const char* text, wxEventType type) {
  int n = items->FindString(wxString::FromUTF8(text), true);
  ASSERT_NE(n, wxNOT_FOUND) << text;
  items->SetSelection(n);
  SendCommand(items, type);
}
void ChooseServer(Dlg& d, const char* name) { Pick(Servers(d), name, wxEVT_CHOICE); }
// A click on a character: only a selection the user makes chooses.
void SelectCharacter(Dlg& d, const char* entry) { ClickEntry(Characters(d), wxString::FromUTF8(entry)); }

void DoubleClick(Dlg& d) { SendCommand(Characters(d), wxEVT_LISTBOX_DCLICK); }
void Browse(Dlg& d) { SendCommand(d.FindWindow(Dlg::ID_BROWSE_FOLDER), wxEVT_BUTTON); }

}  // namespace

TEST(CharSelectDialog, ListsEachServerOnceAndFiltersCharacters) {
  GuiSandbox box;
  std::string folder = MakeCharacterFolder(box.Dir().file("chars"));
  Dlg dlg;
  auto work = [&](Dlg& d) {
    EXPECT_EQ(d.GetTitle(), "Charakter auswahl");
    EXPECT_EQ(FolderShown(d), folder);
    EXPECT_TRUE(CrafterBox(d)->GetValue());
    EXPECT_EQ(ServerEntries(d), (std::vector<std::string>{"Alle Server=-1", "5=5", "Avalon=3", "Dartmoor=12",
                                                          "Lyonesse=4", "Salisbury=19"}));
    EXPECT_EQ(Servers(d)->GetSelection(), 0);
    EXPECT_EQ(CharacterEntries(d),
              (std::vector<std::string>{"Avalon -  (-3.ini)", "Dartmoor -  (12.ini)", "Lyonesse - aldric (aldric-04.ini)",
                                        "Lyonesse - Morwen (Morwen-4.ini)",
                                        "Salisbury - M\xc3\xb6rwen (M\xc3\xb6rwen-19.ini)"}));
    EXPECT_EQ(Characters(d)->GetStringSelection(), "Lyonesse - Morwen (Morwen-4.ini)");  // the current one
    SetCrafterBox(d, false);
    EXPECT_EQ(CharacterEntries(d).size(), 8u);
    EXPECT_EQ(CharacterEntries(d).front(), "5 - Gwen (Gwen-5.ini)");
    ChooseServer(d, "Lyonesse");
    EXPECT_EQ(CharacterEntries(d), (std::vector<std::string>{"Lyonesse - aldric (aldric-04.ini)",
                                                             "Lyonesse - Morwen (Morwen-4.ini)",
                                                             "Lyonesse - Zed (Zed-4.ini)"}));
    SetCrafterBox(d, true);
    EXPECT_EQ(CharacterEntries(d).size(), 2u);
    return wxID_CANCEL;
  };
  int result = 0;
  wxTEST_DIALOG(result = dlg.ChooseCharacter(folder + "/Morwen-4.ini"), ExpectDialog<Dlg>(work));
  EXPECT_EQ(result, MODAL_CANCEL);
}

TEST(CharSelectDialog, ASelectionHiddenByAFilterOrGoneFromDiskStaysChosen) {
  GuiSandbox box;
  std::string folder = MakeCharacterFolder(box.Dir().file("chars"));
  {
    Dlg dlg;
    auto work = [&](Dlg& d) {
      DoubleClick(d);  // nothing chosen yet: the dialog stays open
      EXPECT_EQ(d.GetReturnCode(), 0);
      SelectCharacter(d, "Lyonesse - Morwen (Morwen-4.ini)");
      ChooseServer(d, "Avalon");
      EXPECT_EQ(Characters(d)->FindString("Lyonesse - Morwen (Morwen-4.ini)"), wxNOT_FOUND);
      return wxID_OK;
    };
    int result = 0;
    wxTEST_DIALOG(result = dlg.ChooseCharacter(folder + "/Nobody-9.ini"), ExpectDialog<Dlg>(work));
    EXPECT_EQ(result, MODAL_OK);
    EXPECT_EQ(dlg.GetChosenPath(), folder + "/Morwen-4.ini");
  }
  Dlg dlg;
  std::string gone = folder + "/M\xc3\xb6rwen-19.ini";
  auto work = [&](Dlg& d) {
    SelectCharacter(d, "Salisbury - M\xc3\xb6rwen (M\xc3\xb6rwen-19.ini)");
    std::filesystem::remove(gone);
    DoubleClick(d);  // chooses and closes
    return d.GetReturnCode();
  };
  int result = 0;
  wxTEST_DIALOG(result = dlg.ChooseCharacter(folder + "/Zed-4.ini"), ExpectDialog<Dlg>(work));
  EXPECT_EQ(result, MODAL_OK);
  EXPECT_EQ(dlg.GetChosenPath(), gone);
}

TEST(CharSelectDialog, AnotherFolderResetsTheServerKeepsTheBoxAndForgetsTheChoice) {
  GuiSandbox box;
  std::string folder = MakeCharacterFolder(box.Dir().file("chars"));
  // A folder path far beyond the old 259-character limit.
  std::string other = box.Dir().file(std::string(100, 'a') + "/" + std::string(100, 'b') + "/" + std::string(100, 'c'));
  std::filesystem::create_directories(other);
  WriteFile(other + "/Brunhild-8.ini", kCrafter);
  WriteFile(other + "/Caoimhe-19.ini", kOther);
  Dlg dlg;
  auto cancelFolder = [](CFolderDialog& f) {
    EXPECT_EQ(f.GetMessage(), "Benutzerdaten Verz.");
    return wxID_CANCEL;
  };
  auto confirmNoPath = [](CFolderDialog&) { return wxID_OK; };  // confirmed, but no path to be had
  auto chooseOther = [&](CFolderDialog& f) {
    f.SetPath(wxString::FromUTF8(other));
    return wxID_OK;
  };
  auto work = [&](Dlg& d) {
    SetCrafterBox(d, false);
    ChooseServer(d, "Lyonesse");
    SelectCharacter(d, "Lyonesse - Zed (Zed-4.ini)");
    std::function<int(CFolderDialog&)> leaveAsItWas[] = {cancelFolder, confirmNoPath};
    for (const auto& answer : leaveAsItWas) {
      wxTEST_DIALOG(Browse(d), ExpectDialog<CFolderDialog>(answer));
      EXPECT_EQ(FolderShown(d), folder);
      EXPECT_EQ(Servers(d)->GetStringSelection(), "Lyonesse");
      EXPECT_EQ(d.GetChosenPath(), folder + "/Zed-4.ini");
    }
    // A folder typed into the chooser that does not exist: said so, and the folder stays.
    auto typeMissing = [&](CFolderDialog& f) {
      f.SetPath(wxString::FromUTF8(folder + "/no such folder"));
      return wxID_OK;
    };
    wxTEST_DIALOG(Browse(d), ExpectDialog<CFolderDialog>(typeMissing),
                  ExpectMessage("Diesen Ordner gibt es nicht:\n" + folder + "/no such folder"));
    EXPECT_EQ(FolderShown(d), folder);
    EXPECT_EQ(d.GetChosenPath(), folder + "/Zed-4.ini");
    wxTEST_DIALOG(Browse(d), ExpectDialog<CFolderDialog>(chooseOther));
    EXPECT_EQ(FolderShown(d), other);
    EXPECT_EQ(ServerEntries(d), (std::vector<std::string>{"Alle Server=-1", "Logres=8", "Salisbury=19"}));
    EXPECT_EQ(Servers(d)->GetSelection(), 0);
    EXPECT_FALSE(CrafterBox(d)->GetValue());
    EXPECT_EQ(CharacterEntries(d), (std::vector<std::string>{"Logres - Brunhild (Brunhild-8.ini)",
                                                             "Salisbury - Caoimhe (Caoimhe-19.ini)"}));
    EXPECT_FALSE(d.FindWindow("no_characters")->IsShown());
    // A folder without character files says so.
    wxTEST_DIALOG(Browse(d), ExpectDialog<CFolderDialog>([&](CFolderDialog& f) {
      f.SetPath(wxString::FromUTF8(box.Dir().path()));
      return wxID_OK;
    }));
    EXPECT_EQ(Characters(d)->GetCount(), 0u);
    EXPECT_TRUE(d.FindWindow("no_characters")->IsShown());
    wxTEST_DIALOG(Browse(d), ExpectDialog<CFolderDialog>(chooseOther));
    DoubleClick(d);  // the choice was forgotten with the old folder
    EXPECT_EQ(d.GetReturnCode(), 0);
    return wxID_OK;
  };
  int result = 0;
  wxTEST_DIALOG(result = dlg.ChooseCharacter(folder + "/Zed-4.ini"), ExpectDialog<Dlg>(work));
  EXPECT_EQ(result, MODAL_OK);
  EXPECT_EQ(dlg.GetChosenPath(), other + "/");
}

namespace {

// Shows the dialog with the pointer over it (a real key press goes to the
// window under the pointer), presses `keys` one by one as the keyboard
// does, and gives the code the dialog ended with (0 while it is open).
int PressKeys(Dlg& d, const std::vector<int>& keys) {
  d.Show();
  d.Raise();
  wxUIActionSimulator keyboard;
  keyboard.MouseMove(d.GetScreenPosition() + wxPoint(3, 3));
  for (int i = 0; i < 30; ++i) wxTheApp->Yield();
  for (int key : keys) {
    keyboard.Char(key);
    for (int i = 0; i < 10; ++i) {
      wxTheApp->Yield();
      wxMilliSleep(5);
    }
  }
  for (int i = 0; i < 100 && d.IsShown(); ++i) {
    wxTheApp->Yield();
    wxMilliSleep(10);
  }
  return d.IsShown() ? 0 : d.GetReturnCode();
}

}  // namespace

// Real key presses: tabbing through the dialog (the focus passes the list,
// where GTK selects the first entry) and Return on OK keep the current
// character; Down arrow in the list chooses the next entry.
TEST(CharSelectDialogKeyboard, TabbingThroughChoosesNothingAndArrowKeysChoose) {
  GuiSandbox box;
  std::string folder = MakeCharacterFolder(box.Dir().file("chars"));
  // Morwen is listed and selected; Zed is hidden by the spellcrafter filter.
  for (const char* current : {"/Morwen-4.ini", "/Zed-4.ini"}) {
    Dlg tabbed;
    wxTEST_DIALOG(tabbed.ChooseCharacter(folder + current), ExpectDialog<Dlg>([](Dlg& d) {
      EXPECT_EQ(wxWindow::FindFocus(), d.FindWindow(wxID_OK));
      std::vector<int> keys(7, WXK_TAB);
      keys.push_back(WXK_RETURN);
      return PressKeys(d, keys);
    }));
    EXPECT_EQ(tabbed.GetChosenPath(), folder + current);
  }

  Dlg arrowed;
  wxTEST_DIALOG(arrowed.ChooseCharacter(folder + "/Morwen-4.ini"), ExpectDialog<Dlg>([](Dlg& d) {
    Characters(d)->SetFocus();
    int code = PressKeys(d, {WXK_DOWN});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Characters(d)->GetStringSelection().utf8_string(), "Salisbury - M\xc3\xb6rwen (M\xc3\xb6rwen-19.ini)");
    d.Hide();
    return wxID_OK;
  }));
  EXPECT_EQ(arrowed.GetChosenPath(), folder + "/M\xc3\xb6rwen-19.ini");
}
