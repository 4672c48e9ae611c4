// The character select dialog and its folder browser under a virtual display,
// on character folders the tests make, worked through wx/testing.h.
#include "char_select_dlg.h"

#include <filesystem>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/combobox.h>
#include <wx/app.h>
#include <wx/uiaction.h>
#include <wx/xrc/xmlres.h>

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

wxCheckBox* CrafterBox(Dlg& d) { return wxStaticCast(d.FindWindow(XRCID("spellcrafters_only")), wxCheckBox); }
wxChoice* Servers(Dlg& d) { return wxStaticCast(d.FindWindow(XRCID("server_filter")), wxChoice); }
wxListBox* Characters(Dlg& d) { return wxStaticCast(d.FindWindow(XRCID("character_list")), wxListBox); }
wxComboBox* Folders(Dlg& d) { return wxStaticCast(d.FindWindow(XRCID("user_folder")), wxComboBox); }
std::string FolderShown(Dlg& d) {
  return Folders(d)->GetValue().utf8_string();
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
void Browse(Dlg& d) { SendCommand(d.FindWindow(XRCID("browse_folder")), wxEVT_BUTTON); }

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
    ChooseServer(d, "5");  // Gwen is no spellcrafter: the empty list says why
    EXPECT_TRUE(CharacterEntries(d).empty());
    EXPECT_TRUE(d.FindWindow("no_characters")->IsShown());
    wxString hint = d.FindWindow("no_characters")->GetLabel();
    hint.Replace("\n", " ");
    EXPECT_EQ(hint.utf8_string(), "8 Charaktere vom Filter ausgeblendet");
    return wxID_CANCEL;
  };
  int result = 0;
  wxTEST_DIALOG(result = dlg.ChooseCharacter(folder + "/Morwen-4.ini"), ExpectDialog<Dlg>(work));
  EXPECT_EQ(result, wxID_CANCEL);
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
    EXPECT_EQ(result, wxID_OK);
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
  EXPECT_EQ(result, wxID_OK);
  EXPECT_EQ(dlg.GetChosenPath(), gone);
}

// A click, or a double click, chooses the entry clicked whether the list
// reports its selection as the button goes down or after it came up, over
// the current character and with none.
TEST(CharSelectDialog, AClickChoosesTheEntryClickedInEitherOrderOfEvents) {
  GuiSandbox box;
  std::string folder = MakeCharacterFolder(box.Dir().file("chars"));
  for (ClickOrder order : {ClickOrder::SelectOnPress, ClickOrder::SelectOnRelease})
    for (bool twice : {false, true})
      for (const char* current : {"/Morwen-4.ini", "/Nobody-9.ini"}) {
        Dlg dlg;
        int result = 0;
        wxTEST_DIALOG(result = dlg.ChooseCharacter(folder + current), ExpectDialog<Dlg>([&](Dlg& d) {
                        ClickEntry(Characters(d), "Lyonesse - aldric (aldric-04.ini)", order);
                        if (!twice) return static_cast<int>(wxID_OK);
                        DoubleClick(d);
                        return d.GetReturnCode();
                      }));
        EXPECT_EQ(result, wxID_OK);
        EXPECT_EQ(dlg.GetChosenPath(), folder + "/aldric-04.ini") << static_cast<int>(order) << twice << current;
      }
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
  EXPECT_EQ(result, wxID_OK);
  EXPECT_EQ(dlg.GetChosenPath(), other + "/");
}

// The game's folders found (two prefixes in the sandbox's home) are offered
// in the folder field, which also takes a typed folder on Return; with none
// found the dialog says so and browses from the home folder.
TEST(CharSelectDialog, OffersTheGameFoldersFoundAndTakesATypedFolder) {
  GuiSandbox box;
  const std::string game = "/drive_c/users/anna/AppData/Roaming/Electronic Arts/Dark Age of Camelot";
  std::string wine = MakeCharacterFolder(box.Dir().file(".wine" + game + "/LotM"));
  std::string lutris = box.Dir().file("Games/daoc" + game + "/TOA");
  std::filesystem::create_directories(lutris);
  WriteFile(lutris + "/Brunhild-8.ini", kCrafter);
  // A second user of the same prefix: one label, told apart by the paths.
  std::string ben = box.Dir().file("Games/daoc/drive_c/users/ben/AppData/Roaming/Electronic Arts/Dark Age of Camelot/TOA");
  std::filesystem::create_directories(ben);
  Dlg dlg;
  wxTEST_DIALOG(dlg.ChooseCharacter(""), ExpectDialog<Dlg>([&](Dlg& d) {
    EXPECT_EQ(FolderShown(d), wine);
    EXPECT_EQ(Folders(d)->GetCount(), 3u);
    if (Folders(d)->GetCount() != 3u) return wxID_CANCEL;
    EXPECT_NE(Folders(d)->GetString(1), Folders(d)->GetString(2));
    EXPECT_TRUE(Folders(d)->GetString(2).utf8_string().find("/users/") != std::string::npos);
    std::filesystem::remove_all(ben);
    Pick(Folders(d), ("Lutris (daoc) \xE2\x80\x93 TOA (" + lutris + ")").c_str(), wxEVT_COMBOBOX);
    EXPECT_EQ(FolderShown(d), lutris);
    EXPECT_EQ(CharacterEntries(d), std::vector<std::string>{"Logres - Brunhild (Brunhild-8.ini)"});
    SelectCharacter(d, "Logres - Brunhild (Brunhild-8.ini)");
    Folders(d)->ChangeValue(wxString::FromUTF8(wine + "/gone"));
    wxTEST_DIALOG(SendCommand(Folders(d), wxEVT_TEXT_ENTER), ExpectMessage("Diesen Ordner gibt es nicht:\n" + wine + "/gone"));
    EXPECT_EQ(d.CharacterFolder(), lutris);
    EXPECT_EQ(d.GetChosenPath(), lutris + "/Brunhild-8.ini");
    Folders(d)->ChangeValue(wxString::FromUTF8(wine));
    SendCommand(Folders(d), wxEVT_TEXT_ENTER);
    EXPECT_EQ(d.CharacterFolder(), wine);
    EXPECT_EQ(Characters(d)->GetCount(), 5u);
    return wxID_CANCEL;
  }));

  std::filesystem::remove_all(box.Dir().file(".wine"));
  std::filesystem::remove_all(box.Dir().file("Games"));
  Dlg lost;
  wxTEST_DIALOG(lost.ChooseCharacter(""), ExpectDialog<Dlg>([&](Dlg& d) {
    EXPECT_EQ(Folders(d)->GetCount(), 0u);
    wxString hint = d.FindWindow("no_characters")->GetLabel();
    hint.Replace("\n", " ");
    EXPECT_EQ(hint.utf8_string(), "Kein Spielordner gefunden. W\xC3\xA4hlen Sie den Ordner mit \"...\".");
    EXPECT_TRUE(d.FindWindow("no_characters")->IsShown());
    wxTEST_DIALOG(Browse(d), ExpectDialog<CFolderDialog>([&](CFolderDialog& f) {
      EXPECT_EQ(f.StartFolder().utf8_string(), box.Dir().path());
      return wxID_CANCEL;
    }));
    return wxID_CANCEL;
  }));
}

namespace {

// Shows the dialog with the pointer over it (a real key press goes to the
// window under the pointer), presses `keys` one by one as the keyboard
// does, and gives the id of the button that ended the dialog (0 while it is
// open; a dialog shown this way keeps no return code of its own). Waits a
// second for the dialog to end unless told it stays.
int PressKeys(Dlg& d, const std::vector<int>& keys, bool staysOpen = false) {
  int pressed = 0;
  auto record = [&pressed](wxCommandEvent& e) {
    pressed = e.GetId();
    e.Skip();
  };
  d.Bind(wxEVT_BUTTON, record);
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
  for (int i = 0; i < 100 && d.IsShown() && !staysOpen; ++i) {
    wxTheApp->Yield();
    wxMilliSleep(10);
  }
  d.Unbind(wxEVT_BUTTON, record);
  return d.IsShown() ? 0 : pressed;
}

}  // namespace

// A folder typed into the chooser's location bar that is not there is
// refused, and the chooser does not make it; GLib has nothing to warn about.
TEST(CharSelectDialogKeyboard, AMissingFolderTypedIntoTheChooserIsNotMade) {
  GuiSandbox box;
  const std::string missing = box.Dir().file("nosuchfolder");
  CFolderDialog chooser(nullptr, box.Dir().path());
  int result = 0;
  ::testing::internal::CaptureStderr();
  {
    // Ctrl+L opens the location bar. The Escapes close the message saying
    // why, then the location bar, then the chooser.
    InputScript keys({"sleep 2", "key ctrl+l", "sleep 0.5", "type --delay 20 '" + missing + "'", "sleep 0.3",
                      "key Return", "sleep 1.5", "key Escape", "sleep 0.8", "key Escape", "sleep 0.8", "key Escape"});
    result = chooser.RunModal();
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr().find("emission"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(result, wxID_CANCEL);
}

// Real key presses: tabbing through the dialog (the focus passes the list,
// where GTK selects the first entry) and Return on OK keep the current
// character; Down arrow in the list chooses the next entry.
TEST(CharSelectDialogKeyboard, TabbingThroughChoosesNothingAndArrowKeysChoose) {
  GuiSandbox box;
  std::string folder = MakeCharacterFolder(box.Dir().file("chars"));
  // Morwen is listed and selected; Zed is hidden by the spellcrafter filter;
  // Morwen clicked, then hidden by the server filter (nothing selected, and
  // the click's pick is over).
  for (const char* current : {"/Morwen-4.ini", "/Zed-4.ini", "clicked"}) {
    Dlg tabbed;
    int result = 0;
    const bool clicked = std::string(current) == "clicked";
    wxTEST_DIALOG(result = tabbed.ChooseCharacter(folder + (clicked ? "/Zed-4.ini" : current)), ExpectDialog<Dlg>([&](Dlg& d) {
      if (clicked) {
        SelectCharacter(d, "Lyonesse - Morwen (Morwen-4.ini)");
        ChooseServer(d, "Avalon");
      }
      wxWindow* ok = d.FindWindow(wxID_OK);
      if (clicked) ok->SetFocus();
      EXPECT_EQ(wxWindow::FindFocus(), ok);
      for (int round = 0; round < 2; ++round) {  // twice round every stop, the list and the folder field's parts included
        int tabs = 0;
        do PressKeys(d, {WXK_TAB}, true);
        while (++tabs < 12 && wxWindow::FindFocus() != ok);
        EXPECT_GE(tabs, 7);
      }
      return PressKeys(d, {WXK_RETURN});
    }));
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(tabbed.GetChosenPath(), folder + (clicked ? "/Morwen-4.ini" : current));
  }

  Dlg arrowed;
  wxTEST_DIALOG(arrowed.ChooseCharacter(folder + "/Morwen-4.ini"), ExpectDialog<Dlg>([](Dlg& d) {
    Characters(d)->SetFocus();
    int code = PressKeys(d, {WXK_DOWN}, true);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Characters(d)->GetStringSelection().utf8_string(), "Salisbury - M\xc3\xb6rwen (M\xc3\xb6rwen-19.ini)");
    // Space keeps the entry chosen; it does not close the dialog (GTK activates the row).
    PressKeys(d, {WXK_SPACE}, true);
    EXPECT_TRUE(d.IsShown());
    d.Hide();
    return wxID_OK;
  }));
  EXPECT_EQ(arrowed.GetChosenPath(), folder + "/M\xc3\xb6rwen-19.ini");
}
