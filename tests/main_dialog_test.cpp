// The main window under a virtual display: fields, buttons, drops, the
// result picture and the stored settings.
#include "brindlemarque_dlg.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sys/stat.h>
#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/dataobj.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/evtloop.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/app.h>
#include <wx/uiaction.h>
#include <wx/stdpaths.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "about_dlg.h"
#include "backup_note.h"
#include "backups.h"
#include "char_select_dlg.h"
#include "bar_picture_panel.h"
#include "preview_dlg.h"
#include "folder_dlg.h"
#include "game_question_dlg.h"
#include "gui_support.h"
#include "planner_folder.h"
#include "settings_store.h"
#include "template_file_dlg.h"
#include "translations.h"
#include "version.h"
#include "wx_text.h"

namespace {

using Dialog = std::unique_ptr<CBrindlemarqueDlg>;

// The window's message without the configuration: the fixed text, and where to choose the folder.
const std::string kConfigNotLoadedInWindow =
    "config files not loaded - sry can't do my job\nW\xC3\xA4hlen Sie den Ordner des Planers mit \xE2\x80\x9E"
    "Planer-Ordner...\xE2\x80\x9C im Men\xC3\xBC des Fensters.";

// The window as the program makes it: in `language`, with the planner's
// files opened from `configFolder` (--config-dir) or where the program looks.
Dialog MakeDialog(const std::string& language = "de", const std::string& configFolder = std::string(),
                  std::shared_ptr<CBuildWatch> watch = nullptr) {
  UseLanguage(language);
  Dialog dlg(new CBrindlemarqueDlg(TestWaits(), std::move(watch)));
  OpenPlannerFolder(nullptr, dlg->Context(), configFolder);
  return dlg;
}

wxTextCtrl* Field(CBrindlemarqueDlg& dlg, int id) { return wxStaticCast(dlg.FindWindow(id), wxTextCtrl); }
wxCheckBox* Box(CBrindlemarqueDlg& dlg, int id) { return wxStaticCast(dlg.FindWindow(id), wxCheckBox); }

void Click(CBrindlemarqueDlg& dlg, int id) { SendCommand(dlg.FindWindow(id), wxEVT_BUTTON); }

void Drop(CBrindlemarqueDlg& dlg, const std::vector<std::string>& paths) {
  auto* files = new wxString[paths.size()];  // the event owns them
  for (size_t i = 0; i < paths.size(); ++i) files[i] = wxString::FromUTF8(paths[i]);
  wxDropFilesEvent drop(wxEVT_DROP_FILES, static_cast<int>(paths.size()), files);
  dlg.ProcessWindowEvent(drop);
}

void SetBars(CBrindlemarqueDlg& dlg, const char* quickbar, const char* first, const char* last) {
  Field(dlg, XRCID("quickbar"))->ChangeValue(wxString::FromUTF8(quickbar));
  Field(dlg, XRCID("first_bar"))->ChangeValue(wxString::FromUTF8(first));
  Field(dlg, XRCID("last_bar"))->ChangeValue(wxString::FromUTF8(last));
}

// The start-up question of a window (German) whose configuration file `name` is missing from `folder`.
std::string MissingConfig(const std::string& folder, const std::string& name) {
  return "can't load " + name + "\n\n" + folder + "/" + name +
         ": Datei oder Ordner nicht gefunden\n\nDen Ordner des Spellcraft-Planers jetzt w\xc3\xa4hlen? (Er wird gemerkt.)";
}

// The result line as wrapped has the room it needs, inside the window:
// the toolkit wraps it no further, and no line of it is cut off.
void ExpectWholeResultLine(CBrindlemarqueDlg& dlg) {
  wxWindow* line = dlg.FindWindow(XRCID("result_line"));
#ifdef __WXGTK__
  // The toolkit lays the label out in as many lines as the window wrapped
  // it to: one it wraps again, narrower, would push the last words out.
  if (dlg.IsShown()) {
    wxTheApp->Yield();
    PangoLayout* layout = gtk_label_get_layout(GTK_LABEL(line->GetHandle()));
    EXPECT_EQ(pango_layout_get_line_count(layout), line->GetLabel().Freq('\n') + 1) << line->GetLabel().utf8_string();
  }
#endif
  wxClientDC dc(line);
  const wxSize needed = dc.GetMultiLineTextExtent(line->GetLabel());
  EXPECT_GE(line->GetSize().x, needed.x) << line->GetLabel().utf8_string();
  EXPECT_GE(line->GetSize().y, needed.y) << line->GetLabel().utf8_string();
  EXPECT_LE(line->GetRect().GetRight(), dlg.GetClientSize().x);
  EXPECT_LE(line->GetRect().GetBottom(), dlg.GetClientSize().y);
}

// The preview's first line, what GO would do.
wxString PreviewSummary(CPreviewDlg& preview) {
  for (wxWindow* child : preview.GetChildren())
    if (auto* text = dynamic_cast<wxStaticText*>(child)) return text->GetLabel();
  return wxString();
}

// Which result picture is shown: 1 success, 2 failure, 0 hidden.
int ShownResult(CBrindlemarqueDlg& dlg) {
  auto* picture = wxStaticCast(dlg.FindWindow(XRCID("result_picture")), wxStaticBitmap);
  if (!picture->IsShown()) return 0;
  wxImage shown = picture->GetBitmap().ConvertToImage();
  wxImage success = wxXmlResource::Get()->LoadBitmap("bitmap_133").ConvertToImage();
  return memcmp(shown.GetData(), success.GetData(), 45 * 64 * 3) == 0 ? 1 : 2;
}

// The words beside the picture.
std::string ResultLine(CBrindlemarqueDlg& dlg) {
  wxString line = dlg.FindWindow(XRCID("result_line"))->GetLabel();
  line.Replace("\n", " ");  // wrapped to the window's width
  return line.utf8_string();
}

// Prepares a job: an example template and character file copied into the sandbox.
void PrepareJob(CBrindlemarqueDlg& dlg, const GuiSandbox& box, std::string& character) {
  Field(dlg, XRCID("template_path"))->ChangeValue(wxString::FromUTF8(box.CopyTemplate("Alarion_Armsman.vsk")));
  character = box.CopyCharacter("Alarion-4.ini");
  dlg.Context().job.characterPath = character;
}

// A sandbox with a window whose job is prepared (see PrepareJob).
struct PreparedWindow {
  GuiSandbox box;
  Dialog dlg;
  std::string character;
  explicit PreparedWindow(const std::string& language = "de", std::shared_ptr<CBuildWatch> watch = nullptr)
      : dlg(MakeDialog(language, std::string(), std::move(watch))) {
    PrepareJob(*dlg, box, character);
  }
};

// The result timer's tick, as the real timer would deliver it.
void Tick(CBrindlemarqueDlg& dlg) {
  wxTimer stand_in(&dlg.Result());
  wxTimerEvent tick(stand_in);
  dlg.Result().ProcessEvent(tick);
}

// A window menu entry chosen.
void SendMenuCommand(CBrindlemarqueDlg& dlg, int id) {
  wxCommandEvent command(wxEVT_MENU, id);
  dlg.ProcessWindowEvent(command);
}

}  // namespace

TEST(MainDialog, FirstStartShowsTheDefaults) {
  GuiSandbox box;
  Dialog dlg = MakeDialog();
  EXPECT_EQ(dlg->GetTitle(), "Brindlemarque " BRINDLEMARQUE_VERSION);
  for (const auto& [field, text] : {std::pair{"template_path", ""}, {"character_name", "<keiner>"}, {"quickbar", "2"},
                                     {"first_bar", "2"}, {"last_bar", "7"}})
    EXPECT_EQ(Field(*dlg, XRCID(field))->GetValue(), text) << field;
  EXPECT_FALSE(Field(*dlg, XRCID("character_name"))->IsEditable());
  for (const auto& [name, on] : {std::pair{"use_spacer", true}, {"clean_before", true}, {"drop_run", true},
                                 {"quit_after", false}, {"fill_reverse", false}})
    EXPECT_EQ(Box(*dlg, XRCID(name))->GetValue(), on) << name;
  EXPECT_FALSE(dlg->FindWindow(XRCID("test_out"))->IsShown());
  EXPECT_EQ(ShownResult(*dlg), 0);
  EXPECT_TRUE(dlg->Context().ConfigLoaded());
  EXPECT_EQ(wxStaticCast(dlg->FindWindow(XRCID("go")), wxButton)->GetLabel(), "GO");
}

// One layout in every language: its texts from the catalogs, and nothing
// clipped (each label, box and button at least as large as its text needs).
TEST(MainDialog, EveryLanguageShowsItsTextsUnclipped) {
  GuiSandbox box;
  const std::vector<std::pair<std::string, const char*>> reverse = {
      {"de", "R\xc3\xbc" "ckw\xc3\xa4rts f\xc3\xbcllen"}, {"en", "Fill reverse"}, {"fr", "Remplir \xc3\xa0 l'envers"}};
  for (const auto& [language, label] : reverse) {
    Dialog dlg = MakeDialog(language);
    EXPECT_EQ(Box(*dlg, XRCID("fill_reverse"))->GetLabelText().utf8_string(), label);
    for (wxWindow* child : dlg->GetChildren()) {
      bool labelled = dynamic_cast<wxStaticText*>(child) || dynamic_cast<wxCheckBox*>(child) ||
                      dynamic_cast<wxButton*>(child);
      if (!labelled || !child->IsShown() || child == dlg->FindWindow(XRCID("result_line"))) continue;
      wxSize size = child->GetSize(), best = child->GetBestSize();
      EXPECT_GE(size.x, best.x) << language << " " << child->GetName() << " " << child->GetLabel();
      EXPECT_GE(size.y, best.y) << language << " " << child->GetName() << " " << child->GetLabel();
    }
  }
  // Another language chosen in the menu: kept, and the window is to be made again.
  Dialog dlg = MakeDialog("de");
  SendMenuCommand(*dlg, ID_LANGUAGE_COMMAND + 2);
  EXPECT_EQ(dlg->GetReturnCode(), kLanguageChanged);
  EXPECT_EQ(LoadLanguage(), "fr");
}

// A number is read from the start of its field, after blanks; a field
// without one in its range is refused, naming it, and keeps the last good
// one; GO then writes nothing.
TEST(MainDialog, NumberFieldsWithoutANumberInTheirRangeAreRefused) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  const std::vector<std::pair<const char*, int>> cases = {{"3", 3}, {"0", 3},  {"", 3},  {"abc", 3},
                                                          {"-5", 3}, {"4", 3}, {"99", 3}, {" 2x", 2},
                                                          {"12345678901234567890", 2}, {"1", 1}, {"03", 3}};
  for (const auto& [text, expected] : cases) {
    SetBars(*dlg, text, "2", "7");
    const bool refused = !dlg->ControlsToSettings().empty();
    EXPECT_EQ(dlg->Context().job.quickbar, expected) << text;
    const std::string typed = text;
    EXPECT_EQ(refused, typed != "3" && typed != " 2x" && typed != "1" && typed != "03") << text;
  }
  const std::string before = ReadFile(character);
  SetBars(*dlg, "2", "2", "");
  const std::string refusal =
      "Das Feld bis muss eine Zahl von 1 bis 10 enthalten, nicht \xE2\x80\x9E\xE2\x80\x9C; nichts wurde geschrieben.";
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), ExpectMessage(refusal));
  EXPECT_EQ(ReadFile(character), before);
  EXPECT_EQ(ShownResult(*dlg), 2);
  EXPECT_EQ(ResultLine(*dlg), refusal);
}

TEST(MainDialog, BarsGivenBackwardsAreSwappedAndFlipReverse) {
  GuiSandbox box;
  Dialog dlg = MakeDialog();
  const JobSettings& job = dlg->Context().job;
  SetBars(*dlg, "2", "9", "4");
  for (int pass = 0; pass < 2; ++pass) {  // a second read-back gives the same
    dlg->ControlsToSettings();
    EXPECT_EQ(job.firstBar, 4);
    EXPECT_EQ(job.lastBar, 9);
    EXPECT_TRUE(job.Has(OPT_REVERSE));
  }
  EXPECT_EQ(Field(*dlg, XRCID("first_bar"))->GetValue(), "9");
  EXPECT_FALSE(Box(*dlg, XRCID("fill_reverse"))->GetValue());
  Box(*dlg, XRCID("fill_reverse"))->SetValue(true);
  dlg->ControlsToSettings();
  EXPECT_FALSE(job.Has(OPT_REVERSE));
  Box(*dlg, XRCID("fill_reverse"))->SetValue(false);
  SetBars(*dlg, "2", "0", "0");  // no bar 0: refused, the range as it was
  EXPECT_FALSE(dlg->ControlsToSettings().empty());
  EXPECT_EQ(job.firstBar, 4);
  EXPECT_EQ(job.lastBar, 9);
}

TEST(MainDialog, MissingConfigFilesAreReportedAndGoRefuses) {
  GuiSandbox box(false);
  ::testing::internal::CaptureStderr();
  Dialog dlg;
  wxTEST_DIALOG(dlg = MakeDialog(), ExpectQuestion(MissingConfig(box.Dir().path(), "config.xml"), wxID_NO, true));
  EXPECT_FALSE(dlg->Context().config);
  std::string character;
  PrepareJob(*dlg, box, character);
  SetBars(*dlg, "3", "1", "1");
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), ExpectMessage(kConfigNotLoadedInWindow));
  EXPECT_EQ(dlg->Context().job.quickbar, 2);  // the controls were not read back
  EXPECT_EQ(ShownResult(*dlg), 0);
  ::testing::internal::GetCapturedStderr();

  // The gem file missing alone leaves both absent.
  std::filesystem::copy_file(ExampleVesko() + "/config.xml", box.Dir().file("config.xml"));
  wxTEST_DIALOG(dlg = MakeDialog(), ExpectQuestion(MissingConfig(box.Dir().path(), "config_gem.xml"), wxID_NO, true));
  EXPECT_FALSE(dlg->Context().ConfigLoaded());
  EXPECT_FALSE(dlg->Context().config);
}

TEST(MainDialog, BuildFromTheWindowEqualsTheCommandLineBuild) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  Click(*dlg, XRCID("go"));
  EXPECT_EQ(ShownResult(*dlg), 1);
  EXPECT_TRUE(dlg->IsTimerRunning());
  EXPECT_EQ(ReadFile(character), ReadFile(DataPath("expected/Alarion-4.forward.ini")));
  // The command line's figures, in words that stay after the picture has gone.
  EXPECT_EQ(ResultLine(*dlg), "21 Rezept-Hotkeys und 6 Platzhalter geschrieben: Quickbar2, Bars 2\xE2\x80\x93" "7");
  Tick(*dlg);
  EXPECT_EQ(ShownResult(*dlg), 0);
  EXPECT_NE(ResultLine(*dlg), "");

  // Again: the file holds it already; nothing is written, no backup kept.
  const std::size_t backups = ListBackups(character).size();
  Click(*dlg, XRCID("go"));
  EXPECT_EQ(ShownResult(*dlg), 1);
  EXPECT_EQ(ResultLine(*dlg),
            "Nichts zu schreiben: Bei Alarion enthalten Quickbar2, Bars 2\xE2\x80\x93" "7 diese Vorlage schon.");
  EXPECT_EQ(ListBackups(character).size(), backups);
  // One bar only: what fitted is written and said so, with its bars to show.
  SetBars(*dlg, "3", "1", "1");
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), ExpectMessage("not enough slots"));
  EXPECT_EQ(ShownResult(*dlg), 2);
  EXPECT_EQ(ResultLine(*dlg), "Nur 10 von 27 Hotkeys passten in Quickbar3, Bars 1\xE2\x80\x93" "1; sie wurden geschrieben "
                              "(R\xC3\xBC" "ckg\xC3\xA4" "ngig stellt die Bars wieder her).");
  EXPECT_TRUE(dlg->FindWindow(XRCID("show_bars"))->IsShown());
  EXPECT_EQ(ListBackups(character).size(), backups + 1);
}

// How many colours the screen shows where `window` is: one for a blank
// background, more once text is drawn there.
std::size_t ColoursShownIn(wxWindow& window) {
  const wxRect area = window.GetScreenRect();
  wxBitmap shot(area.GetSize());
  wxMemoryDC memory(shot);
  wxScreenDC screen;
  memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
  memory.SelectObject(wxNullBitmap);
  const wxImage image = shot.ConvertToImage();
  std::set<std::uint32_t> colours;
  const unsigned char* rgb = image.GetData();
  for (int i = 0; i < area.width * area.height; ++i, rgb += 3) colours.insert(rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
  return colours.size();
}

// A character file the game wrote moments ago: while the run waits for the
// save to end, the result line says so, drawn on the screen (in German,
// whose line needs no more room than the empty one had).
TEST(MainDialog, TheWaitForTheGamesSaveIsShown) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  dlg->Show();
  wxTheApp->Yield();
  dlg->Context().waits.quiet = {300, 2000};
  WriteFile(character, ReadFile(character));  // just saved
  std::string shown;
  std::size_t colours = 0;
  {
    ScopedSavePointHook hook([&](SavePoint point, const std::string&) {
      if (point != SavePoint::BeforeRead) return;
      shown = ResultLine(*dlg);
      colours = ColoursShownIn(*dlg->FindWindow(XRCID("result_line")));
    });
    Click(*dlg, XRCID("go"));
  }
  EXPECT_EQ(shown, "Warte, bis das Spiel Alarion fertig gespeichert hat\xE2\x80\xA6");
  EXPECT_GT(colours, 1u);
  EXPECT_EQ(ShownResult(*dlg), 1);
}

// Also when a note follows the failure (a save a stopped run left beside
// the file, kept as a backup): the result line says the failure. A folder
// whose name holds "%s" and "%d" is named as it is.
TEST(MainDialog, UnwritableCharacterFileShowsItsMessageAndFailure) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  const std::string folder = FolderOf(character) + "/50%s off %d";
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  std::filesystem::rename(character, folder + "/Alarion-4.ini");
  character = dlg->Context().job.characterPath = folder + "/Alarion-4.ini";
  std::string before = ReadFile(character);
  ASSERT_EQ(::chmod(character.c_str(), 0444), 0);
  WriteFile(FolderOf(character) + "/.Alarion-4.ini.brindlemarque-" + std::to_string(EndedProcessId()) +
                "-0123456789abcdef-AbCdEf-old",
            "[Chat]\r\nsaved=by the game\r\n");
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), ExpectMessage("can't write character file\n" + character + ": schreibgesch\xc3\xbctzt"),
                wxExpectModal<wxMessageDialog>(wxID_OK));
  EXPECT_EQ(ShownResult(*dlg), 2);
  EXPECT_EQ(ResultLine(*dlg), character + ": schreibgesch\xc3\xbctzt");  // the reason, in the window's language
  EXPECT_FALSE(dlg->LastBars().has_value());  // no picture of hotkeys that were not written
  EXPECT_EQ(ReadFile(character), before);
  // The reason is what follows the fixed first line, past a blank line too.
  EXPECT_EQ(Lines(Reason::Plain("can't load config.xml"), Reason::Plain("/p/config.xml: gone"), true).Why().Text(),
            "/p/config.xml: gone");
  EXPECT_EQ(Reason::Plain("not enough slots").Why().Text(), "not enough slots");
}

TEST(MainDialog, QuitAfterASuccessfulBuildClosesWithOkAndSaves) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  dlg->Show();
  Box(*dlg, XRCID("quit_after"))->SetValue(true);
  Click(*dlg, XRCID("go"));
  EXPECT_FALSE(dlg->IsShown());
  EXPECT_EQ(dlg->GetReturnCode(), wxID_OK);
  EXPECT_EQ(ShownResult(*dlg), 0);
  dlg.reset();
  JobSettings saved;
  LoadSettings(saved);
  EXPECT_TRUE(saved.Has(OPT_QUIT));
  EXPECT_EQ(saved.characterPath, character);
}

TEST(MainDialog, QuitAfterAFailedBuildStaysOpen) {
  GuiSandbox box;
  Dialog dlg = MakeDialog();
  dlg->Show();
  Box(*dlg, XRCID("quit_after"))->SetValue(true);
  Field(*dlg, XRCID("template_path"))->ChangeValue("missing.vsk");
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), ExpectMessage("can't read SC-File\nmissing.vsk: Datei oder Ordner nicht gefunden"));
  EXPECT_TRUE(dlg->IsShown());
  EXPECT_EQ(ShownResult(*dlg), 2);
}

TEST(MainDialog, SecondResultReplacesTheFirstAndTheTimerHidesIt) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  Click(*dlg, XRCID("go"));
  EXPECT_EQ(ShownResult(*dlg), 1);
  EXPECT_TRUE(dlg->IsTimerRunning());
  Field(*dlg, XRCID("template_path"))->ChangeValue("");
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), ExpectMessage("can't read SC-File\nkein SC-File gew\xc3\xa4hlt"));
  EXPECT_EQ(ShownResult(*dlg), 2);
  EXPECT_TRUE(dlg->IsTimerRunning());
  Tick(*dlg);
  EXPECT_EQ(ShownResult(*dlg), 0);
  EXPECT_FALSE(dlg->IsTimerRunning());
}

TEST(MainDialog, ChoosingATemplateHidesThePictureAndCancelDoesNot) {
  GuiSandbox box;
  Dialog dlg = MakeDialog();
  dlg->ShowResult(CResultArea::FAILURE);
  // It opens where the templates are: the planner's "templates" folder, or the current template's.
  std::filesystem::create_directory(box.Dir().file("templates"));
  auto opensIn = [](const std::string& folder) {
    return ExpectDialog<wxFileDialog>([folder](wxFileDialog& f) {
      EXPECT_EQ(f.wxFileDialogBase::GetDirectory().utf8_string(), folder);
      return wxID_CANCEL;
    });
  };
  wxTEST_DIALOG(Click(*dlg, XRCID("browse_template")), opensIn(box.Dir().file("templates")));
  EXPECT_EQ(ShownResult(*dlg), 2);
  Field(*dlg, XRCID("template_path"))->ChangeValue(wxString::FromUTF8(ExampleVesko() + "/templates/Caoimhe_Hero.vsk"));
  wxTEST_DIALOG(Click(*dlg, XRCID("browse_template")), opensIn(ExampleVesko() + "/templates"));
  std::string chosen = box.Dir().file("Gr\xc3\xbcn.vsk");
  WriteFile(chosen, "<player/>");
  wxTEST_DIALOG(Click(*dlg, XRCID("browse_template")), wxExpectModal<wxFileDialog>(wxString::FromUTF8(chosen)));
  EXPECT_EQ(ShownResult(*dlg), 0);
  EXPECT_EQ(Field(*dlg, XRCID("template_path"))->GetValue(), wxString::FromUTF8(chosen));
  EXPECT_EQ(dlg->Context().job.templatePath, chosen);
  EXPECT_EQ(std::filesystem::current_path().string(), box.Dir().path());
}

TEST(MainDialog, DropWithoutDropRunOnlyTakesTheFirstPath) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  std::string before = ReadFile(character);
  Box(*dlg, XRCID("drop_run"))->SetValue(false);
  dlg->ShowResult(CResultArea::SUCCESS);
  std::string longPath = box.Dir().file(std::string(300, 'x') + ".vsk");  // longer than the old 259 limit
  Drop(*dlg, {longPath, box.Dir().file("second.vsk"), box.Dir().file("third.vsk")});
  EXPECT_EQ(Field(*dlg, XRCID("template_path"))->GetValue(), wxString::FromUTF8(longPath));
  EXPECT_EQ(dlg->Context().job.templatePath, longPath);
  EXPECT_EQ(ShownResult(*dlg), 0);
  EXPECT_EQ(ReadFile(character), before);
  // A file of neither kind is refused, and takes the place of nothing.
  const std::string notes = box.Dir().file("notes.txt");
  wxTEST_DIALOG(Drop(*dlg, {notes}), ExpectMessage(notes + " ist weder eine Vorlage des Spellcraft-Planers (.vsk) noch "
                                                           "eine Charakterdatei (Name-1.ini)."));
  EXPECT_EQ(dlg->Context().job.templatePath, longPath);
  EXPECT_EQ(dlg->Context().job.characterPath, character);
  // A template's extension in capitals is a template's; with drop-run it is built.
  const std::string upper = box.Dir().file("T.VSK");
  std::filesystem::rename(box.Dir().file("Alarion_Armsman.vsk"), upper);  // the prepared copy
  Box(*dlg, XRCID("drop_run"))->SetValue(true);
  {
    GTestModalHook noDialog;
    Drop(*dlg, {upper});
  }
  EXPECT_EQ(dlg->Context().job.templatePath, upper);
  EXPECT_EQ(ShownResult(*dlg), 1) << ResultLine(*dlg);
  EXPECT_EQ(ReadFile(character), ReadFile(DataPath("expected/Alarion-4.forward.ini")));
  // The same character dropped again: the picture goes, the line stays.
  ASSERT_TRUE(dlg->LastBars().has_value());
  const std::string built = ResultLine(*dlg);
  Drop(*dlg, {character});
  EXPECT_EQ(ShownResult(*dlg), 0);
  EXPECT_EQ(ResultLine(*dlg), built);
  // Another character dropped: the run's line and its bars were the other's.
  const std::string other = box.CopyCharacter("Caoimhe-19.ini");
  Drop(*dlg, {other});
  EXPECT_EQ(dlg->Context().job.characterPath, other);
  EXPECT_EQ(ResultLine(*dlg), "");
  EXPECT_FALSE(dlg->LastBars().has_value());
  EXPECT_FALSE(dlg->FindWindow(XRCID("show_bars"))->IsShown());
}

// A template opened with the program from a file manager is only filled
// in, even with "process dragged files directly": the player sees which
// character it would go to before GO.
TEST(MainDialog, ATemplateOpenedWithTheProgramIsFilledInNotBuilt) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  std::string before = ReadFile(character), opened = box.CopyTemplate("Caoimhe_Hero.vsk");
  ASSERT_TRUE(Box(*dlg, XRCID("drop_run"))->GetValue());
  dlg->OpenTemplate(opened);
  EXPECT_EQ(Field(*dlg, XRCID("template_path"))->GetValue().utf8_string(), opened);
  EXPECT_EQ(ReadFile(character), before);
  EXPECT_EQ(ShownResult(*dlg), 0);
}

// Without the configuration a drop-run and the gem table are refused like
// GO: a run would only empty the player's bars. The template is still taken.
TEST(MainDialog, DropRunAndGemTableWithoutConfigAreRefusedAndNeverQuit) {
  GuiSandbox box(false);
  ::testing::internal::CaptureStderr();
  Dialog dlg;
  wxTEST_DIALOG(dlg = MakeDialog(), ExpectQuestion(MissingConfig(box.Dir().path(), "config.xml"), wxID_NO, true));
  dlg->Show();
  std::string character = box.CopyCharacter("Alarion-4.ini");
  const std::string before = ReadFile(character);
  dlg->Context().job.characterPath = character;
  Box(*dlg, XRCID("quit_after"))->SetValue(true);
  SetBars(*dlg, "1", "1", "1");
  std::string templ = box.CopyTemplate("Alarion_Armsman.vsk");
  wxTEST_DIALOG(Drop(*dlg, {templ}), ExpectMessage(kConfigNotLoadedInWindow));
  EXPECT_TRUE(dlg->IsShown());
  EXPECT_EQ(Field(*dlg, XRCID("template_path"))->GetValue(), wxString::FromUTF8(templ));
  wxCommandEvent gemTable(wxEVT_MENU, XRCID("test_out"));
  wxTEST_DIALOG(dlg->ProcessWindowEvent(gemTable), ExpectMessage(kConfigNotLoadedInWindow));
  EXPECT_TRUE(dlg->IsShown());
  EXPECT_EQ(ReadFile(character), before);
  ::testing::internal::GetCapturedStderr();
}

TEST(MainDialog, CloseSavesWhatTheControlsHold) {
  GuiSandbox box;
  {
    Dialog dlg = MakeDialog();
    dlg->Show();
    Field(*dlg, XRCID("template_path"))->ChangeValue(wxString::FromUTF8("/home/p/Vesko/R\xc3\xbcstung.vsk"));
    SetBars(*dlg, "7", "8", "3");  // no quickbar 7: the last good one is kept
    Box(*dlg, XRCID("use_spacer"))->SetValue(false);
    Box(*dlg, XRCID("quit_after"))->SetValue(true);
    Click(*dlg, XRCID("close"));
    EXPECT_FALSE(dlg->IsShown());
    EXPECT_EQ(dlg->GetReturnCode(), wxID_CANCEL);
  }
  JobSettings saved;
  LoadSettings(saved);
  EXPECT_EQ(saved.templatePath, "/home/p/Vesko/R\xc3\xbcstung.vsk");
  EXPECT_EQ(saved.quickbar, 2);
  EXPECT_EQ(saved.firstBar, 3);
  EXPECT_EQ(saved.lastBar, 8);
  EXPECT_EQ(saved.options, static_cast<std::uint32_t>(OPT_QUIT | OPT_REVERSE | OPT_CLEANUP | OPT_DROP_RUN));
  Dialog again = MakeDialog();  // the next start shows what was saved
  EXPECT_EQ(Field(*again, XRCID("quickbar"))->GetValue(), "2");
  EXPECT_TRUE(Box(*again, XRCID("fill_reverse"))->GetValue());
}

// A path as players paste it: blanks, a line end and one pair of quotes
// around it, or a file manager's file:// address.
TEST(MainDialog, PastedPathsAreTakenAsMeant) {
  GuiSandbox box;
  Dialog dlg = MakeDialog("en");
  const std::vector<std::pair<const char*, const char*>> cases = {
      {" /p/My Templates/t.vsk\n", "/p/My Templates/t.vsk"},
      {"\t\"/p/t.vsk\" ", "/p/t.vsk"},
      {"'/p/t.vsk'", "/p/t.vsk"},
      {"file:///p/My%20Templates/R%C3%BCstung.vsk", "/p/My Templates/R\xC3\xBCstung.vsk"},
      {"\"/p/odd\"name.vsk", "\"/p/odd\"name.vsk"},  // quotes only around the whole
  };
  for (const auto& [pasted, path] : cases) {
    Field(*dlg, XRCID("template_path"))->ChangeValue(wxString::FromUTF8(pasted));
    dlg->ControlsToSettings();
    EXPECT_EQ(dlg->Context().job.templatePath, path) << pasted;
  }
}

// Long paths: the window grows in width, the SC-File field and the result
// line with it; its height stays fitted; the next start has the width kept.
TEST(MainDialog, TheWindowGrowsInWidthAndKeepsIt) {
  GuiSandbox box;
  int width = 0;
  {
    Dialog dlg = MakeDialog("en");
    dlg->Show();
    const wxSize fitted = dlg->GetClientSize();
    const int field = Field(*dlg, XRCID("template_path"))->GetSize().x;
    const int line = dlg->FindWindow(XRCID("result_line"))->GetMinSize().x;
    dlg->SetClientSize(wxSize(fitted.x + 300, fitted.y + 200));
    dlg->Layout();
    EXPECT_EQ(dlg->GetClientSize(), wxSize(fitted.x + 300, fitted.y));
    EXPECT_EQ(Field(*dlg, XRCID("template_path"))->GetSize().x, field + 300);
    EXPECT_EQ(dlg->FindWindow(XRCID("result_line"))->GetMinSize().x, line + 300);  // the line wraps wider
    dlg->Result().SetLine(wxString('x', 80) + " " + wxString('y', 80));
    EXPECT_EQ(dlg->GetClientSize().x, fitted.x + 300);  // a long line wraps; the window keeps its width
    EXPECT_LE(dlg->FindWindow(XRCID("result_line"))->GetSize().x, fitted.x + 300);
    dlg->SetClientSize(wxSize(fitted.x - 100, fitted.y));
    EXPECT_EQ(dlg->GetClientSize().x, fitted.x);  // never narrower than laid out
    dlg->SetClientSize(wxSize(fitted.x + 300, fitted.y));
    width = dlg->GetClientSize().x;
  }
  Dialog again = MakeDialog("en");
  EXPECT_EQ(again->GetClientSize().x, width);
}

TEST(MainDialog, CloseBoxEndsInTheCloseButton) {
  GuiSandbox box;
  Dialog dlg = MakeDialog();
  dlg->Show();
  Field(*dlg, XRCID("template_path"))->ChangeValue("typed.vsk");
  dlg->Close();
  EXPECT_FALSE(dlg->IsShown());
  EXPECT_EQ(dlg->Context().job.templatePath, "typed.vsk");
}

TEST(MainDialog, StoredCharacterAndBarsShowAsGoUsesThem) {
  GuiSandbox box;
  JobSettings stored;
  stored.characterPath = ExampleCharacters() + "/Brunhild-8.ini";
  stored.quickbar = -5;  // stored out of range: the field shows what GO writes
  stored.firstBar = 1000;
  SaveSettings(stored);
  Dialog dlg = MakeDialog("en");
  EXPECT_EQ(Field(*dlg, XRCID("character_name"))->GetValue(), "Brunhild - Logres");
  EXPECT_EQ(Field(*dlg, XRCID("quickbar"))->GetValue(), "1");
  EXPECT_EQ(Field(*dlg, XRCID("first_bar"))->GetValue(), "10");
}

TEST(MainDialog, AboutEntryOpensTheAboutBox) {
  GuiSandbox box;
  Dialog dlg = MakeDialog();
  wxCommandEvent about(wxEVT_MENU, ID_ABOUT_COMMAND);
  wxTEST_DIALOG(dlg->ProcessWindowEvent(about), wxExpectDismissableModal<CAboutDlg>(wxID_OK));
  CAboutDlg box2(dlg.get());
  EXPECT_EQ(box2.GetTitle(), wxString::FromUTF8("Info über Brindlemarque"));
  EXPECT_EQ(box2.FindWindow("about_version")->GetLabel(), "Brindlemarque Version " BRINDLEMARQUE_VERSION);
}

#ifndef _WIN32
// Answered on standard output with status 0, also where there is no display.
TEST(MainDialog, HelpAndVersionNeedNoDisplay) {
  std::map<std::string, std::optional<std::string>> noDisplay = {{"DISPLAY", std::nullopt},
                                                                 {"WAYLAND_DISPLAY", std::nullopt}};
  ProgramResult version = RunProgram({BRINDLEMARQUE_PATH, "--version"}, ".", noDisplay);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "Brindlemarque " BRINDLEMARQUE_VERSION "\n");
  ProgramResult help = RunProgram({BRINDLEMARQUE_PATH, "--help"}, ".", noDisplay);
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_NE(help.out.find("--config-dir"), std::string::npos) << help.out;
}
#endif

TEST(MainDialog, UndoLastBuildAsksThenPutsTheFileBackAndCanBeUndoneItself) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  std::string original = ReadFile(character);
  Click(*dlg, XRCID("go"));
  std::string built = ReadFile(character);
  ASSERT_NE(built, original);
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_NO));
  EXPECT_EQ(ReadFile(character), built);
  EXPECT_TRUE(dlg->LastBars().has_value());
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_YES));
  EXPECT_EQ(ReadFile(character), original);
  EXPECT_EQ(ShownResult(*dlg), 1);
  EXPECT_FALSE(dlg->LastBars().has_value());  // they showed the build undone
  EXPECT_FALSE(dlg->FindWindow(XRCID("show_bars"))->IsShown());
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_YES));
  EXPECT_EQ(ReadFile(character), built);
  // A backup kept while the question waits is not the one put back; a file
  // another run holds is not put back at all, and the picture says so.
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), ExpectDialog<wxMessageDialog>([&](wxMessageDialog&) {
                  Reason error;
                  EXPECT_TRUE(KeepBackup(character, "kept meanwhile", "another run", error));
                  return wxID_YES;
                }));
  EXPECT_EQ(ReadFile(character), original);
  {
    FileLock other;
    ASSERT_TRUE(other.Acquire(character, 0));
    dlg->Context().waits.lockWaitMs = 0;
    wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_YES),
                  wxExpectModal<wxMessageDialog>(wxID_OK));
  }
  EXPECT_EQ(ReadFile(character), original);
  EXPECT_EQ(ShownResult(*dlg), 2);
  // A backup of what the file holds already: nothing changes, and the line says so.
  Reason error;
  ASSERT_TRUE(KeepBackup(character, ReadFile(character), "another run", error));
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_YES));
  EXPECT_EQ(ReadFile(character), original);
  EXPECT_NE(ResultLine(*dlg).find("; nichts wurde ge\xc3\xa4ndert."), std::string::npos) << ResultLine(*dlg);
  // The question names a kept save of the game in the window's language too.
  EXPECT_EQ(ShownMessage(DescribeBackupNote("the game's save, displaced by a run at 2026-12-09 20:00:01")).utf8_string(),
            "die Speicherung des Spiels, von einem Lauf um 2026-12-09 20:00:01 verdr\xc3\xa4ngt");

  dlg->Context().job.characterPath = box.CopyCharacter("Brunhild-8.ini");  // never built: nothing to undo
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND),
                ExpectMessage("Von " + dlg->Context().job.characterPath + " gibt es keine Sicherung."));
}

// A version of the file a stopped run left beside it: undo keeps it as a
// backup and says so in a message of its own, as a build does.
TEST(MainDialog, UndoSaysWhatItKeptOfAStoppedRun) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  const std::string original = ReadFile(character);
  Click(*dlg, XRCID("go"));
  WriteFile(FolderOf(character) + "/.Alarion-4.ini.brindlemarque-" + std::to_string(EndedProcessId()) +
                "-0123456789abcdef-AbCdEf-old",
            "[Chat]\r\nsaved=by the game\r\n");
  wxString said;
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_YES),
                ExpectDialog<wxMessageDialog>([&](wxMessageDialog& box) {
                  said = box.GetMessage();
                  return wxID_OK;
                }));
  EXPECT_EQ(ReadFile(character), original);
  EXPECT_NE(said.Find(wxString::FromUTF8(ShownPath(character))), wxNOT_FOUND) << said.utf8_string();
}

// The slots a picture shows as placed by the run.
int PlacedIn(const BarPicture& picture) {
  int placed = 0;
  for (const PictureBar& bar : picture.bars)
    for (const PictureSlot& slot : bar.slots)
      placed += slot.content == SlotContent::Recipe || slot.content == SlotContent::Spacer;
  return placed;
}

TEST(MainDialog, PreviewListsWhatGoWouldWriteAndChangesNothing) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  std::string before = ReadFile(character);
  int rows = 0;
  wxString first, hands, tip, summary;
  BarPicture previewBars;
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_PREVIEW_COMMAND), ExpectDialog<CPreviewDlg>([&](CPreviewDlg& preview) {
                  previewBars = preview.Bars()->Picture();
                  tip = preview.Bars()->SlotTip(0, 0);
                  wxListCtrl* list = preview.List();
                  rows = list->GetItemCount();
                  for (int column = 0; column < 5; ++column) first += list->GetItemText(0, column) + "|";
                  hands = list->GetItemText(5, 4);
                  summary = PreviewSummary(preview);
                  return wxID_CLOSE;
                }));
  EXPECT_EQ(summary, wxString::FromUTF8("GO würde 27 Hotkeys schreiben; keine Datei wurde geändert."));
  EXPECT_EQ(rows, 27);  // 21 recipe hotkeys and 6 spacers, as the command line's preview
  EXPECT_EQ(first, "2|2|1|52,4,Macro 4,-1|Platzhalter \"Helm\"|");
  EXPECT_EQ(hands, wxString::FromUTF8("Platzhalter \"Hände\""));
  EXPECT_EQ(ReadFile(character), before);
  EXPECT_EQ(ShownResult(*dlg), 0);
  EXPECT_EQ(PlacedIn(previewBars), 27);
  EXPECT_EQ(previewBars.bars.size(), 6u);  // bars 2-7
  EXPECT_EQ(tip.utf8_string(), "Platz 1 der Füllfolge\nPlatzhalter \"Helm\"\nErsetzt: 45,1300010,,-1");

  // GO writes what the preview showed, and its bars stay to be seen.
  Click(*dlg, XRCID("go"));
  ASSERT_TRUE(dlg->LastBars().has_value());
  EXPECT_EQ(PlacedIn(*dlg->LastBars()), 27);
  EXPECT_TRUE(XRCCTRL(*dlg, "show_bars", wxButton)->IsShown());
  std::size_t shownBars = 0;
  wxTEST_DIALOG(Click(*dlg, XRCID("show_bars")), ExpectDialog<CBarPictureDlg>([&](CBarPictureDlg& bars) {
                  for (wxWindow* child : bars.GetChildren())
                    if (auto* panel = dynamic_cast<CBarPicturePanel*>(child)) shownBars = panel->Picture().bars.size();
                  return wxID_CLOSE;
                }));
  EXPECT_EQ(shownBars, 6u);
  // Now GO would write nothing, and the preview says so.
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_PREVIEW_COMMAND), ExpectDialog<CPreviewDlg>([&](CPreviewDlg& preview) {
                  summary = PreviewSummary(preview);
                  return wxID_CLOSE;
                }));
  EXPECT_EQ(summary, wxString::FromUTF8("GO würde nichts schreiben: Bei Alarion enthalten Quickbar2, Bars 2\xE2\x80\x93"
                                        "7 diese Vorlage schon."));
}

TEST(MainDialog, PathBytesSurviveTheFieldsAndTheStore) {
  GuiSandbox box;
  JobSettings stored;
  stored.templatePath = "/home/p/R\xfcstung \xe4.vsk";  // Latin-1 bytes, not valid UTF-8
  stored.characterPath = "/home/p/chars/M\xf6rwen-4.ini";
  SaveSettings(stored);
  {
    Dialog dlg = MakeDialog();
    EXPECT_EQ(Field(*dlg, XRCID("character_name"))->GetValue().length(), wxString("M?rwen - Lyonesse").length());
    dlg->ControlsToSettings();
    EXPECT_EQ(dlg->Context().job.templatePath, stored.templatePath);
  }
  JobSettings saved;
  LoadSettings(saved);
  EXPECT_EQ(saved.templatePath, stored.templatePath);
  EXPECT_EQ(saved.characterPath, stored.characterPath);
}

TEST(MainDialog, TabOrderFollowsTheLayout) {
  GuiSandbox box;
  Dialog dlg = MakeDialog();
  std::vector<int> order;
  for (wxWindow* child : dlg->GetChildren())
    if (child->IsShown() && child->GetId() != XRCID("result_picture") && !child->IsKindOf(wxCLASSINFO(wxStaticText)))
      order.push_back(child->GetId());
  // Top to bottom, left to right.
  EXPECT_EQ(order, (std::vector<int>{XRCID("template_path"), XRCID("browse_template"), XRCID("character_name"),
                                     XRCID("choose_character"), XRCID("quickbar"), XRCID("first_bar"), XRCID("last_bar"),
                                     XRCID("use_spacer"), XRCID("fill_reverse"), XRCID("clean_before"), XRCID("drop_run"),
                                     XRCID("quit_after"), XRCID("go"), XRCID("close")}));
  EXPECT_EQ(dlg->GetDefaultItem(), dlg->FindWindow(XRCID("go")));
}

TEST(MainDialog, ACharacterChosenInItsDialogShowsAndReceivesTheNextBuild) {
  GuiSandbox box;
  std::filesystem::copy(std::string(EXAMPLES_DIR) + "/appdata", box.Dir().file("appdata"),
                        std::filesystem::copy_options::recursive);
  ::setenv("APPDATA", box.Dir().file("appdata").c_str(), 1);
  const std::string folder = box.Dir().file("appdata/Electronic Arts/Dark Age of Camelot/LotM");
  Dialog dlg = MakeDialog();
  Field(*dlg, XRCID("template_path"))->ChangeValue(wxString::FromUTF8(box.CopyTemplate("Alarion_Armsman.vsk")));
  dlg->ShowResult(CResultArea::FAILURE);
  auto list = [](CDialog_CharSelect& d) { return wxStaticCast(d.FindWindow(XRCID("character_list")), wxListBox); };

  auto cancel = [&](CDialog_CharSelect& d) {
    EXPECT_EQ(d.CharacterFolder(), folder);  // found through APPDATA
    EXPECT_EQ(list(d)->GetCount(), 3u);  // the three spellcrafters
    return wxID_CANCEL;
  };
  wxTEST_DIALOG(Click(*dlg, XRCID("choose_character")), ExpectDialog<CDialog_CharSelect>(cancel));
  EXPECT_EQ(Field(*dlg, XRCID("character_name"))->GetValue(), "<keiner>");
  EXPECT_EQ(ShownResult(*dlg), 2);

  auto pickAlarion = [&](CDialog_CharSelect& d) {
    ClickEntry(list(d), "Lyonesse - Alarion (Alarion-4.ini)");
    return wxID_OK;
  };
  wxTEST_DIALOG(Click(*dlg, XRCID("choose_character")), ExpectDialog<CDialog_CharSelect>(pickAlarion));
  EXPECT_EQ(Field(*dlg, XRCID("character_name"))->GetValue(), "Alarion - Lyonesse");
  EXPECT_EQ(dlg->Context().job.characterPath, folder + "/Alarion-4.ini");
  EXPECT_EQ(ShownResult(*dlg), 0);
  Click(*dlg, XRCID("go"));
  EXPECT_EQ(ShownResult(*dlg), 1);
  EXPECT_EQ(ReadFile(folder + "/Alarion-4.ini"), ReadFile(DataPath("expected/Alarion-4.forward.ini")));

  // OK without a new choice keeps the current character; the next opening returns to its folder.
  wxTEST_DIALOG(Click(*dlg, XRCID("choose_character")), wxExpectDismissableModal<CDialog_CharSelect>(wxID_OK));
  EXPECT_EQ(Field(*dlg, XRCID("character_name"))->GetValue(), "Alarion - Lyonesse");
  EXPECT_EQ(dlg->Context().job.characterPath, folder + "/Alarion-4.ini");
  ::unsetenv("APPDATA");
  wxTEST_DIALOG(Click(*dlg, XRCID("choose_character")), ExpectDialog<CDialog_CharSelect>(cancel));
}

namespace {

// Shows the window with the pointer over it, so that it has the keyboard,
// presses `key` and waits for the result picture (unless told not to). A real key press goes to
// the window under the pointer: these tests run alone (see
// tests/CMakeLists.txt), so that no other window is there.
void PressOnShownWindow(CBrindlemarqueDlg& dlg, int key, int modifiers = wxMOD_NONE, bool awaitResult = true) {
  dlg.Show();
  dlg.Raise();
  wxUIActionSimulator keyboard;
  keyboard.MouseMove(dlg.GetScreenPosition() + wxPoint(5, 5));
  for (int i = 0; i < 20; ++i) wxTheApp->Yield();
  keyboard.Char(key, modifiers);
  for (int i = 0; i < (awaitResult ? 200 : 20) && ShownResult(dlg) != 1; ++i) {
    wxTheApp->Yield();
    wxMilliSleep(10);
  }
}

}  // namespace

TEST(MainDialogKeyboard, CtrlShiftTRunsTheGemTableAsTheCommandLineDoes) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  SetBars(*dlg, "3", "2", "1");  // walked backwards, as the command line's --first-bar 2 --last-bar 1
  Box(*dlg, XRCID("clean_before"))->SetValue(false);  // the range is emptied all the same
  Box(*dlg, XRCID("quit_after"))->SetValue(true);     // and the window stays open
  wxTEST_DIALOG(PressOnShownWindow(*dlg, 'T', wxMOD_CONTROL | wxMOD_SHIFT), ExpectMessage("end of qbar"));
  EXPECT_EQ(ShownResult(*dlg), 1);
  EXPECT_TRUE(dlg->IsShown());
  EXPECT_FALSE(dlg->FindWindow(XRCID("test_out"))->IsShown());
  EXPECT_EQ(ReadFile(box.Dir().file("sc_log.txt")), ReadFile(DataPath("expected/sc_log.Alarion-4.txt")));
  EXPECT_EQ(ReadFile(character), ReadFile(DataPath("expected/Alarion-4.gemtest.ini")));
  EXPECT_EQ(ResultLine(*dlg), "sc_log.txt geschrieben in " + box.Dir().path());
  // A gem table refused: the result line is its reason, in the window's language.
  dlg->Context().job.templatePath = box.Dir().file("missing.vsk");
  Field(*dlg, XRCID("template_path"))->ChangeValue(wxString::FromUTF8(dlg->Context().job.templatePath));
  wxCommandEvent gemTable(wxEVT_MENU, XRCID("test_out"));
  wxTEST_DIALOG(dlg->ProcessWindowEvent(gemTable), wxExpectModal<wxMessageDialog>(wxID_OK));
  EXPECT_EQ(ResultLine(*dlg), box.Dir().file("missing.vsk") + ": Datei oder Ordner nicht gefunden");
}

// The fields' mnemonics: Alt+S focuses the SC-File field, Alt+Shift+S opens
// its file dialog (the "..." has no letter of its own), as its tooltip says.
TEST(MainDialogKeyboard, MnemonicsReachTheFieldsAndTheirChoosers) {
  PreparedWindow window;
  PressOnShownWindow(*window.dlg, 'S', wxMOD_ALT, false);
  EXPECT_EQ(wxWindow::FindFocus(), window.dlg->FindWindow(XRCID("template_path")));
  wxTEST_DIALOG(PressOnShownWindow(*window.dlg, 'S', wxMOD_ALT | wxMOD_SHIFT, false), wxExpectModal<wxFileDialog>(""));
  EXPECT_EQ(window.dlg->FindWindow(XRCID("browse_template"))->GetToolTipText().utf8_string(),
            "SC-File w\xc3\xa4hlen (Alt+Umschalt+S)");
}

// Space presses the focused button: only GO, focused on opening, builds.
TEST(MainDialogKeyboard, GoHasTheFocusWhenTheWindowOpens) {
  PreparedWindow window;
  PressOnShownWindow(*window.dlg, ' ');
  EXPECT_EQ(wxWindow::FindFocus(), window.dlg->FindWindow(XRCID("go")));
  EXPECT_EQ(ShownResult(*window.dlg), 1);
  EXPECT_EQ(ReadFile(window.character), ReadFile(DataPath("expected/Alarion-4.forward.ini")));
}

// While the game runs, the question before GO and the undo's question answer
// No to Return, Escape and a click on the close box (real keys and clicks,
// under the window manager): the file is left byte for byte.
TEST(MainDialogKeyboard, TheGameQuestionAnswersNoToReturnEscapeAndTheCloseBox) {
  PreparedWindow window("en");
  CBrindlemarqueDlg& dlg = *window.dlg;
  const std::string original = ReadFile(window.character);
  GameClientStandIn game;
  const char* const refused = "Nothing was written: the game is running.";
  for (const std::string answer : {"key Return", "key Escape", kClickCloseBox}) {
    dlg.Result().SetLine(wxString());
    {
      InputScript keys({"sleep 2", answer});
      PressOnShownWindow(dlg, WXK_RETURN, wxMOD_NONE, false);
    }
    EXPECT_TRUE(ReadFile(window.character) == original) << answer;
    EXPECT_EQ(ResultLine(dlg), refused) << answer;
  }
  wxTEST_DIALOG(Click(dlg, XRCID("go")), ExpectDialog<CGameQuestionDlg>([](CGameQuestionDlg&) { return wxID_YES; }));
  const std::string built = ReadFile(window.character);
  ASSERT_NE(built, original);
  for (const std::string answer : {"key Escape", kClickCloseBox}) {
    dlg.Result().SetLine(wxString());
    {
      InputScript keys({"sleep 2", "key alt+y", "sleep 2", answer});
      SendMenuCommand(dlg, ID_UNDO_COMMAND);
    }
    EXPECT_TRUE(ReadFile(window.character) == built) << answer;
    EXPECT_EQ(ResultLine(dlg), refused) << answer;
  }
}

// Real keys: a word typed into the quickbar field, then the field emptied;
// each time Enter (GO) is refused with a box naming the field (closed with
// Enter), and the file is left alone.
TEST(MainDialogKeyboard, ATypedWordOrAnEmptiedQuickbarFieldIsRefused) {
  PreparedWindow window("en");
  CBrindlemarqueDlg& dlg = *window.dlg;
  const std::string original = ReadFile(window.character);
  wxTextCtrl* quickbar = Field(dlg, XRCID("quickbar"));
  for (const char* typed : {"abc", ""}) {
    dlg.Show();
    dlg.Raise();
    quickbar->SetFocus();
    quickbar->SelectAll();
    wxUIActionSimulator keyboard;
    keyboard.Char(WXK_BACK);
    if (*typed) keyboard.Text(typed);
    for (int i = 0; i < 20; ++i) wxTheApp->Yield();
    EXPECT_EQ(quickbar->GetValue(), typed);
    {
      InputScript keys({"sleep 2", "key Return"});
      keyboard.Char(WXK_RETURN);
      for (int i = 0; i < 300 && ResultLine(dlg).empty(); ++i) {
        wxTheApp->Yield();
        wxMilliSleep(10);
      }
    }
    EXPECT_EQ(ResultLine(dlg), "The field Quickbar must hold a number from 1 to 3, not \"" + std::string(typed) +
                                   "\"; nothing was written.");
    EXPECT_EQ(ReadFile(window.character), original);
    dlg.Result().SetLine(wxString());
  }
}

#ifdef __WXGTK__
// Real keys: GTK's own box for a short message leaves the window manager
// room for its whole title and the title bar's buttons; Return closes it.
TEST(MainDialogKeyboard, AShortMessageBoxShowsItsWholeTitle) {
  // The title is the program's name: the test runs again as Brindlemarque.
  if (ApplicationName() != "Brindlemarque") {
    TempDir dir;
    const std::string named = dir.file("Brindlemarque");
    std::filesystem::copy_file(FsPath(wxStandardPaths::Get().GetExecutablePath().utf8_string()), FsPath(named));
    const ProgramResult run = RunProgram({named, "--gtest_filter=" + std::string(::testing::UnitTest::GetInstance()
                                                                                     ->current_test_info()->test_suite_name()) +
                                                     ".AShortMessageBoxShowsItsWholeTitle"},
                                         dir.path());
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    return;
  }
  PreparedWindow window("en");
  window.dlg->Show();
  struct Seen {
    int width = 0, title = 0;
  } seen;
  auto measure = [](gpointer data) -> gboolean {
    auto* seen = static_cast<Seen*>(data);
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next) {
      if (!GTK_IS_MESSAGE_DIALOG(w->data) || !gtk_widget_get_mapped(GTK_WIDGET(w->data))) continue;
      PangoLayout* layout = gtk_widget_create_pango_layout(GTK_WIDGET(w->data), gtk_window_get_title(GTK_WINDOW(w->data)));
      pango_layout_get_pixel_size(layout, &seen->title, nullptr);
      g_object_unref(layout);
      seen->width = gtk_widget_get_allocated_width(GTK_WIDGET(w->data));
    }
    g_list_free(windows);
    return seen->width ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
  };
  const guint timer = g_timeout_add(100, measure, &seen);
  {
    InputScript keys({"sleep 2", "key Return"});
    MessageBoxSink(window.dlg.get()).ShowMessage(Reason::Plain("not enough slots"));
  }
  if (!seen.width) g_source_remove(timer);
  ASSERT_GT(seen.title, 0);
  EXPECT_GE(seen.width, seen.title + 100);
}
#endif

// Records the class of every modal dialog shown, letting it show.
class ModalWatch : public wxModalDialogHook {
 public:
  ModalWatch() { Register(); }
  ~ModalWatch() override { Unregister(); }
  std::vector<std::string> shown;

 protected:
  int Enter(wxDialog* dialog) override {
    shown.push_back(wxString(dialog->GetClassInfo()->GetClassName()).utf8_string());
    return wxID_NONE;
  }
  void Exit(wxDialog*) override {}
};

// Real keys: Escape on the start-up question (no planner's files found)
// answers No: no folder chooser opens.
TEST(MainDialogKeyboard, EscapeOnTheStartUpQuestionOpensNothing) {
  GuiSandbox box(false);
  ::testing::internal::CaptureStderr();
  ModalWatch watch;
  {
    InputScript keys({"sleep 2", "key Escape", "sleep 3", "key Escape"});  // the second closes a chooser, if one opened
    Dialog dlg = MakeDialog("en");
    EXPECT_FALSE(dlg->Context().ConfigLoaded());
  }
  ::testing::internal::GetCapturedStderr();
  ASSERT_FALSE(watch.shown.empty());
  for (const std::string& shown : watch.shown) EXPECT_EQ(shown, "wxGenericMessageDialog");  // no chooser
}

// Real keys: a file manager's copy of a template (a file:// address, quoted,
// with blanks and a line end around it) pasted into the SC-File field names
// the template.
TEST(MainDialogKeyboard, APastedFileAddressNamesTheTemplate) {
  PreparedWindow window;
  CBrindlemarqueDlg& dlg = *window.dlg;
  const std::string templ = window.box.Dir().file("Caoimhe Hero.vsk");
  std::filesystem::rename(FsPath(window.box.CopyTemplate("Caoimhe_Hero.vsk")), FsPath(templ));
  wxString address = "file://" + ToWx(templ);
  address.Replace(" ", "%20");
  ASSERT_TRUE(wxTheClipboard->Open());
  wxTheClipboard->SetData(new wxTextDataObject("  \"" + address + "\"\n"));
  wxTheClipboard->Close();
  dlg.Show();
  dlg.Raise();
  wxTextCtrl* field = Field(dlg, XRCID("template_path"));
  field->SetFocus();
  field->SelectAll();
  wxUIActionSimulator keyboard;
  keyboard.Char('V', wxMOD_CONTROL);
  for (int i = 0; i < 50 && !field->GetValue().Contains("file://"); ++i) {
    wxTheApp->Yield();
    wxMilliSleep(10);
  }
  dlg.ControlsToSettings();
  EXPECT_EQ(dlg.Context().job.templatePath, templ) << field->GetValue();
}

#ifdef DRAG_SOURCE_PATH
namespace {

void Pump(int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 5) {
    wxTheApp->Yield();
    wxMilliSleep(5);
  }
}

}  // namespace

// A real drag from another program, offering the file as a file manager
// does (a file list and text), dropped on the SC-File field: the field must
// not insert it as text; the window takes it as a dropped template.
TEST(MainDialogDrag, ATemplateDroppedOnATextFieldIsTakenAsADrop) {
  PreparedWindow window;
  auto& [box, dlg, character] = window;
  Box(*dlg, XRCID("drop_run"))->SetValue(false);  // taken into the field, not built
  dlg->Move(300, 200);
  dlg->Show();
  dlg->Raise();
  Pump(200);
  // `dragged` taken from the drag source at the top left and dropped on `field`.
  auto drag = [&](const std::string& dragged, wxTextCtrl* field, const std::function<bool()>& taken) {
    FILE* source = ::popen((std::string(DRAG_SOURCE_PATH) + " '" + dragged + "' 20 20").c_str(), "r");
    ASSERT_NE(source, nullptr);
    char line[32] = "";
    ASSERT_NE(std::fgets(line, sizeof line, source), nullptr);
    EXPECT_STREQ(line, "ready\n");
    const wxPoint from(60, 60), to = field->GetScreenPosition() + wxPoint(8, field->GetSize().y / 2);
    wxUIActionSimulator mouse;
    mouse.MouseMove(from);
    Pump(100);
    mouse.MouseDown();
    Pump(100);
    for (int step = 1; step <= 20; ++step) {
      mouse.MouseMove(from + (to - from) * step / 20);
      Pump(30);
    }
    Pump(200);
    mouse.MouseUp();
    for (int i = 0; i < 100 && !taken(); ++i) Pump(20);
    ASSERT_NE(std::fgets(line, sizeof line, source), nullptr);
    EXPECT_STREQ(line, "dropped\n");
    ::pclose(source);
  };
  const std::string dragged = box.CopyTemplate("Caoimhe_Hero.vsk");
  wxTextCtrl* field = Field(*dlg, XRCID("template_path"));
  drag(dragged, field, [&] { return dlg->Context().job.templatePath == dragged; });
  EXPECT_EQ(dlg->Context().job.templatePath, dragged);
  EXPECT_EQ(field->GetValue().utf8_string(), dragged);
  // A character file dropped on the character field is the character, not the template.
  const std::string other = box.CopyCharacter("Brunhild-8.ini");
  drag(other, Field(*dlg, XRCID("character_name")), [&] { return dlg->Context().job.characterPath == other; });
  EXPECT_EQ(dlg->Context().job.characterPath, other);
  EXPECT_EQ(dlg->Context().job.templatePath, dragged);
  EXPECT_EQ(Field(*dlg, XRCID("character_name"))->GetValue().utf8_string().rfind("Brunhild", 0), 0u);
}
#endif

TEST(MainDialog, AConfigFolderGivenOnceIsUsedFromFoldersWithoutTheFiles) {
  GuiSandbox box(false);
  std::string planner = box.Dir().file("Vesko");
  std::filesystem::create_directory(planner);
  for (const char* name : {"config.xml", "config_gem.xml"})
    std::filesystem::copy_file(ExampleVesko() + "/" + name, planner + "/" + name);
  // Given as a relative path, kept in full; the window works in that folder.
  Dialog given = MakeDialog("de", "Vesko");
  EXPECT_TRUE(given->Context().ConfigLoaded());
  EXPECT_EQ(given->Context().workFolder, planner);
  EXPECT_EQ(LoadConfigFolder(), planner);
  // Started later from a folder without the files, without the option.
  Dialog later = MakeDialog();
  EXPECT_TRUE(later->Context().ConfigLoaded());
  EXPECT_EQ(later->Context().workFolder, planner);
  EXPECT_EQ(std::filesystem::current_path(), box.Dir().path());  // the process's folder stays
  // Started in another copy of the planner: that one is used, and the
  // folder kept stays the one the player gave.
  const std::string copy = box.Dir().file("Vesko copy");
  std::filesystem::create_directory(copy);
  for (const char* name : {"config.xml", "config_gem.xml"})
    std::filesystem::copy_file(ExampleVesko() + "/" + name, copy + "/" + name);
  std::filesystem::current_path(copy);
  EXPECT_EQ(MakeDialog()->Context().workFolder, copy);
  EXPECT_EQ(LoadConfigFolder(), planner);
  // Started in a half copy (config.xml alone): the folder kept is used, unasked.
  std::filesystem::remove(copy + "/config_gem.xml");
  Dialog half = MakeDialog();
  EXPECT_TRUE(half->Context().ConfigLoaded());
  EXPECT_EQ(half->Context().workFolder, planner);
  std::filesystem::current_path(box.Dir().path());
  // A mistyped folder says so; the kept one is used and stays kept.
  Dialog mistyped;
  std::string nowhere = box.Dir().file("nowhere");
  std::string said = MissingConfig(nowhere, "config.xml");
  said = said.substr(0, said.rfind("\n\n")) + "\n\nDer zuvor gemerkte Ordner des Planers wird benutzt: " + planner;
  wxTEST_DIALOG(mistyped = MakeDialog("de", nowhere), ExpectMessage(said));
  EXPECT_TRUE(mistyped->Context().ConfigLoaded());
  EXPECT_EQ(mistyped->Context().workFolder, planner);
  EXPECT_EQ(LoadConfigFolder(), planner);
  // Neither holds both: the one that holds config.xml is looked in (and
  // named), the start folder first.
  std::filesystem::remove(planner + "/config_gem.xml");
  Dialog looked;
  wxTEST_DIALOG(looked = MakeDialog(), ExpectQuestion(MissingConfig(planner, "config_gem.xml"), wxID_NO, true));
  std::filesystem::remove(planner + "/config.xml");
  std::filesystem::current_path(copy);
  wxTEST_DIALOG(looked = MakeDialog(), ExpectQuestion(MissingConfig(copy, "config_gem.xml"), wxID_NO, true));
  std::filesystem::current_path(box.Dir().path());
}

// Started from the menu (no planner's files where it starts, none kept): the
// start-up message offers the folder browser (Yes by default); a folder
// without the files is said so and offered again; the planner's folder is
// loaded, kept and worked in. Later, the menu's "Planner folder..." refuses
// a folder without the files, offers to choose again and keeps what is in use.
TEST(MainDialog, ThePlannersFolderIsChosenInTheWindow) {
  GuiSandbox box(false);
  const std::string planner = box.Dir().file("Vesko"), empty = box.Dir().file("empty");
  std::filesystem::create_directory(planner);
  std::filesystem::create_directory(empty);
  for (const char* name : {"config.xml", "config_gem.xml"})
    std::filesystem::copy_file(ExampleVesko() + "/" + name, planner + "/" + name);
  auto choose = [](const std::string& folder) {
    return ExpectDialog<CFolderDialog>([folder](CFolderDialog& f) {
      f.SetPath(wxString::FromUTF8(folder));
      return wxID_OK;
    });
  };
  Dialog dlg;
  wxTEST_DIALOG(dlg = MakeDialog(), ExpectQuestion(MissingConfig(box.Dir().path(), "config.xml"), wxID_YES, true),
                choose(empty), ExpectQuestion(MissingConfig(empty, "config.xml"), wxID_YES, true), choose(planner));
  EXPECT_TRUE(dlg->Context().ConfigLoaded());
  EXPECT_EQ(LoadConfigFolder(), planner);
  EXPECT_EQ(dlg->Context().workFolder, planner);

  wxCommandEvent menu(wxEVT_MENU, ID_PLANNER_FOLDER_COMMAND);
  wxTEST_DIALOG(dlg->ProcessWindowEvent(menu), choose(empty), ExpectQuestion(MissingConfig(empty, "config.xml"), wxID_NO, true));
  EXPECT_TRUE(dlg->Context().ConfigLoaded());
  EXPECT_EQ(LoadConfigFolder(), planner);
  EXPECT_EQ(dlg->Context().workFolder, planner);
}

// However long the result (a French line naming a long path, at any scale:
// this suite also runs at 200 %), the window grows to show all of it, and
// its tooltip holds it whole.
TEST(MainDialogScaled, TheWholeResultLineShows) {
  GuiSandbox box;
  Dialog dlg = MakeDialog("fr");
  dlg->Show();
  const wxString line = wxString::FromUTF8("Fichier de personnage remis tel qu'il \xC3\xA9tait : ") +
                        wxString::FromUTF8(box.Dir().file("un dossier au nom tr\xC3\xA8s long/encore un/Brunhild-8.ini"));
  dlg->ShowResult(CResultArea::SUCCESS, line);
  wxTheApp->Yield();
  wxWindow* shown = dlg->FindWindow(XRCID("result_line"));
  EXPECT_GT(shown->GetLabel().Freq('\n'), 0);  // wrapped
  ExpectWholeResultLine(*dlg);
  EXPECT_EQ(shown->GetToolTipText(), line);
  // Widened a step at a time, with the lines of a build and of the game's
  // write-back in every language: each wraps where it has room.
  const int width = dlg->GetClientSize().x;
  const std::vector<wxString> lines = {
      line, wxString::FromUTF8("21 recipe hotkeys and 6 spacers written to Quickbar2 bars 2\xE2\x80\x93" "7"),
      wxString::FromUTF8("Seuls 10 raccourcis sur 27 ont tenu dans Quickbar2, barres 2\xE2\x80\x93" "7 ; ils ont \xC3\xA9t\xC3\xA9 "
                         "\xC3\xA9" "crits (Annuler remet les barres)."),
      "The game wrote its own bars over the build of 21:07 (Alarion was logged in). Log Alarion out to the character "
      "selection, then press GO again."};
  dlg->Result().KeepBars(BarPicture());  // "Show bars" beside the line, as after a build
  for (int extra = 0; extra < 120; extra += 3) {
    dlg->SetClientSize(wxSize(width + extra, dlg->GetClientSize().y));
    for (const wxString& shownLine : lines) {
      dlg->ShowResult(CResultArea::FAILURE, shownLine);
      ExpectWholeResultLine(*dlg);
    }
  }
  dlg->Hide();
}

// "Show bars" fits its window to the screen, here and at 200 %, and to a
// smaller room (a Steam Deck's at 200 %, a laptop's at 150 %): what the room
// cannot hold scrolls, the rest shows whole, and Close stays inside.
TEST(MainDialogScaled, TheBarsWindowFitsTheScreenOrScrolls) {
  PreparedWindow w("de");
  Click(*w.dlg, XRCID("go"));
  ASSERT_TRUE(w.dlg->LastBars().has_value());
  const wxRect screen = wxDisplay(w.dlg.get()).GetClientArea();
  for (wxSize room : {screen.GetSize(), wxSize(640, 400), wxSize(900, 260)}) {
    const bool whole = room == screen.GetSize();
    room.DecTo(screen.GetSize());
    CBarPictureDlg bars(w.dlg.get(), *w.dlg->LastBars(), whole ? wxDefaultSize : room);
    bars.Show();
    wxTheApp->Yield();
    EXPECT_LE(bars.GetSize().x, room.x);
    EXPECT_LE(bars.GetSize().y, room.y);
    EXPECT_TRUE(wxRect(bars.GetClientSize()).Contains(bars.FindWindow(wxID_CLOSE)->GetRect()));
    // Cut only where the window is as large as the room allows (less the
    // scroll bars), and scrolling there.
    const int slack = 2 * wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y, &bars) + bars.FromDIP(8);
    for (wxWindow* child : bars.GetChildren())
      if (auto* panel = dynamic_cast<CBarPicturePanel*>(child))
        for (int orient : {wxHORIZONTAL, wxVERTICAL}) {
          const bool across = orient == wxHORIZONTAL;
          const wxSize client = panel->GetClientSize(), full = panel->GetVirtualSize();
          if (across ? client.x >= full.x : client.y >= full.y) continue;
          EXPECT_GT(panel->GetScrollRange(orient), panel->GetScrollThumb(orient)) << orient << " in " << room.x;
          EXPECT_GE(across ? bars.GetSize().x : bars.GetSize().y, (across ? room.x : room.y) - slack)
              << orient << " in " << room.x;
        }
    bars.Hide();
  }
}

namespace {

const char* const kBuildQuestion =
    "The game is running. If Alarion is logged in, the game puts its own bars back when Alarion logs out, and this "
    "build is lost. Log Alarion out to the character selection (or quit the game) first. Build anyway?";

const char* const kUndoQuestion =
    "The game is running. If Alarion is logged in, the game puts its own bars back when Alarion logs out, and this "
    "undo is lost. Log Alarion out to the character selection (or quit the game) first. Undo anyway?";

// Answers the question asked before a write while the game runs: its text,
// No the default, and "Don't ask again" ticked when `keep`.
ExpectDialog<CGameQuestionDlg> GameQuestion(const std::string& text, int answer, bool keep = false) {
  return ExpectDialog<CGameQuestionDlg>([=](CGameQuestionDlg& box) {
    EXPECT_EQ(box.Question().utf8_string(), text);
    EXPECT_EQ(box.GetDefaultItem(), box.FindWindow(wxID_NO));
    EXPECT_EQ(box.KeepAnswer()->GetLabel(), "Don't ask again while the game runs");
    box.KeepAnswer()->SetValue(keep);
    return answer;
  });
}

// Lets the window's event loop deliver what came (file system events, timers)
// until `done` holds or `ms` have passed.
template <typename Done>
void DeliverEvents(int ms, Done done) {
  for (wxStopWatch watch; watch.Time() < ms && !done();) {
    wxTheApp->Yield();
    wxMilliSleep(10);
  }
}

}  // namespace

// The watch goes on in the window made again for another language (a write
// between the two windows is told to the second), and a write that no
// notification of the watched folder tells of (the character file is a link
// into another folder) is still seen, by the file's stamp.
// What the run was made with is kept before the window closes.
TEST(MainDialog, TheWatchFollowsTheWindowMadeAgainAndSeesWhatNoNotificationTells) {
  GuiSandbox box;
  wxGUIEventLoop loop;
  wxEventLoopActivator active(&loop);
  auto watch = std::make_shared<CBuildWatch>();
  Dialog english = MakeDialog("en", std::string(), watch);
  std::string character;
  PrepareJob(*english, box, character);
  const std::string real = box.Dir().file("elsewhere/Alarion-4.ini");
  std::filesystem::create_directories(FolderOf(real));
  std::filesystem::rename(character, real);
  std::filesystem::create_symlink(real, character);
  const std::string original = ReadFile(real);
  Click(*english, XRCID("go"));
  ASSERT_EQ(ShownResult(*english), 1);
  JobSettings saved;
  LoadSettings(saved);
  EXPECT_EQ(saved.characterPath, character);
  EXPECT_EQ(saved.templatePath, english->Context().job.templatePath);
  english.reset();
  // The game writes while no window is there to be told (between the two).
  WriteFile(real, original);
  DeliverEvents(2000, [] { return false; });

  Dialog german = MakeDialog("de", std::string(), watch);
  EXPECT_TRUE(german->IsWatchingBuild());
  DeliverEvents(4000, [&] { return ShownResult(*german) == 2; });
  EXPECT_EQ(ShownResult(*german), 2);
  EXPECT_NE(ResultLine(*german).find("Alarion"), std::string::npos) << ResultLine(*german);
  EXPECT_FALSE(german->IsWatchingBuild());
}

// While the game's client runs every write asks first, in the window's
// language: No leaves the file as it was and the watch over the last build
// going, Yes builds, and "Don't ask again" holds for undo too, for as long
// as that client runs (one ended but not yet reaped no longer does); a
// preview never asks, the gem table does.
TEST(MainDialogGameRunning, AsksBeforeEveryWriteAndNoLeavesTheFile) {
  PreparedWindow w("en");
  Dialog& dlg = w.dlg;
  const std::string& character = w.character;
  const std::string original = ReadFile(character);
  auto game = std::make_unique<GameClientStandIn>();
  wxGUIEventLoop loop;  // the window's, as when it is shown: the build watch needs it
  wxEventLoopActivator active(&loop);

  dlg->ShowResult(CResultArea::SUCCESS);  // an earlier run's
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), GameQuestion(kBuildQuestion, wxID_NO));
  EXPECT_EQ(ReadFile(character), original);
  EXPECT_EQ(ResultLine(*dlg), "Nothing was written: the game is running.");
  EXPECT_EQ(ShownResult(*dlg), 0);
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_PREVIEW_COMMAND), wxExpectDismissableModal<CPreviewDlg>(wxID_OK));
  wxCommandEvent gemTable(wxEVT_MENU, XRCID("test_out"));  // the diagnostic command asks too
  wxTEST_DIALOG(dlg->ProcessWindowEvent(gemTable), GameQuestion(kBuildQuestion, wxID_NO));
  EXPECT_EQ(ReadFile(character), original);

  wxTEST_DIALOG(Click(*dlg, XRCID("go")), GameQuestion(kBuildQuestion, wxID_YES));
  EXPECT_EQ(ShownResult(*dlg), 1);
  const std::string built = ReadFile(character);
  EXPECT_EQ(built, ReadFile(DataPath("expected/Alarion-4.forward.ini")));
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), GameQuestion(kBuildQuestion, wxID_NO));
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_YES),
                GameQuestion(kUndoQuestion, wxID_NO));
  EXPECT_EQ(ReadFile(character), built);
  EXPECT_TRUE(dlg->IsWatchingBuild());

  wxTEST_DIALOG(Click(*dlg, XRCID("go")), GameQuestion(kBuildQuestion, wxID_YES, true));
  wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_YES));
  EXPECT_EQ(ReadFile(character), original);

  game->EndUnreaped();
  GameClientStandIn relaunched;
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), GameQuestion(kBuildQuestion, wxID_NO));
  EXPECT_EQ(ReadFile(character), original);
  game.reset();

  // A new window asks again; the undo's own question names the character.
  wxTEST_DIALOG(Click(*dlg, XRCID("go")), GameQuestion(kBuildQuestion, wxID_YES));
  Dialog french = MakeDialog("fr");
  french->Context().job.characterPath = character;
  wxTEST_DIALOG(SendMenuCommand(*french, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_YES),
                ExpectDialog<CGameQuestionDlg>([](CGameQuestionDlg& b) {
                  EXPECT_NE(b.Question().Find("Alarion"), wxNOT_FOUND);
                  EXPECT_TRUE(b.Question().EndsWith(wxString::FromUTF8("Annuler quand m\xC3\xAAme ?")))
                      << b.Question().utf8_string();
                  return wxID_NO;
                }));
  EXPECT_EQ(ReadFile(character), built);
}

// The question wraps to a readable width: in every language it lies within
// a 1024x768 screen (here, and at 200 % within a Steam Deck's 1280x800,
// 640x400 in the toolkit's units), and its text, check box and buttons are
// whole inside it.
TEST(MainDialogScaled, TheGameQuestionFitsTheScreen) {
  const bool scaled = wxGetenv("GDK_SCALE") && wxString(wxGetenv("GDK_SCALE")) == "2";
  const wxSize limit = scaled ? wxSize(640, 400) : wxSize(1024, 768);
  const std::map<std::string, std::pair<const char*, const char*>> buttons = {
      {"de", {"Ja", "Nein"}}, {"en", {"Yes", "No"}}, {"fr", {"Oui", "Non"}}};
  for (const char* language : {"de", "en", "fr"}) {
    PreparedWindow w(language);
    Dialog& dlg = w.dlg;
    dlg->Show();
    wxString asked;
    {
      GameClientStandIn game;
      wxTEST_DIALOG(Click(*dlg, XRCID("go")), ExpectDialog<CGameQuestionDlg>([&](CGameQuestionDlg& q) {
                      q.Show();
                      wxTheApp->Yield();
                      const wxRect inside(wxPoint(), q.GetClientSize());
                      EXPECT_LE(q.GetSize().x, limit.x) << language;
                      EXPECT_LE(q.GetSize().y, limit.y) << language;
                      wxClientDC dc(q.Text());
                      const wxSize text = dc.GetMultiLineTextExtent(q.Text()->GetLabel());
                      EXPECT_GE(q.Text()->GetSize().x, text.x) << language;
                      EXPECT_GE(q.Text()->GetSize().y, text.y) << language;
                      for (wxWindow* part : {static_cast<wxWindow*>(q.Text()), static_cast<wxWindow*>(q.KeepAnswer()),
                                             q.FindWindow(wxID_YES), q.FindWindow(wxID_NO)})
                        EXPECT_TRUE(inside.Contains(part->GetRect())) << language;
                      EXPECT_GT(q.Text()->GetLabel().Freq('\n'), 1) << language;  // wrapped
                      // The buttons in the window's language, whatever the system's.
                      EXPECT_EQ(wxStripMenuCodes(q.FindWindow(wxID_YES)->GetLabel()), buttons.at(language).first);
                      EXPECT_EQ(wxStripMenuCodes(q.FindWindow(wxID_NO)->GetLabel()), buttons.at(language).second);
                      asked = q.Question();
                      q.Hide();
                      return wxID_NO;
                    }));
    }
    EXPECT_TRUE(asked.EndsWith("?")) << language;
    dlg->Hide();
  }
}

// After a build the window watches the file: a rewrite that keeps the
// build's hotkeys says nothing; one that puts other bars in the range says
// so, with the range as it now is under "Show bars"; another character
// chosen ends the watch.
TEST(MainDialog, SaysWhenTheGameWritesItsBarsOverABuild) {
  PreparedWindow w("en", std::make_shared<CBuildWatch>(0));  // the notifications alone, no look at the stamp
  Dialog& dlg = w.dlg;
  const std::string& character = w.character;
  const std::string original = ReadFile(character);
  wxGUIEventLoop loop;  // the window's, as when it is shown
  wxEventLoopActivator active(&loop);

  const wxString startedAt = wxDateTime::Now().Format("%H:%M");  // the build's minute, or the next
  Click(*dlg, XRCID("go"));
  const wxString endedAt = wxDateTime::Now().Format("%H:%M");
  ASSERT_EQ(ShownResult(*dlg), 1) << ResultLine(*dlg);
  const std::string written = ResultLine(*dlg);
  EXPECT_TRUE(dlg->IsWatchingBuild());
  const std::string built = ReadFile(character);
  WriteFile(character + ".new", built + "[Chat]\r\nx=1\r\n");  // a whole rewrite by rename, the range kept
  RenameOver(character + ".new", character);
  DeliverEvents(1000, [] { return false; });
  EXPECT_EQ(ResultLine(*dlg), written);

  WriteFile(character, original);  // the game's own bars, written at logout
  DeliverEvents(1000, [&] { return ResultLine(*dlg) != written; });
  auto told = [](const wxString& time) {
    return "The game wrote its own bars over the build of " + time.utf8_string() +
           " (Alarion was logged in). Log Alarion out to the character selection, then press GO again.";
  };
  EXPECT_TRUE(ResultLine(*dlg) == told(startedAt) || ResultLine(*dlg) == told(endedAt)) << ResultLine(*dlg);
  ExpectWholeResultLine(*dlg);
  EXPECT_EQ(ShownResult(*dlg), 2);
  ASSERT_TRUE(dlg->LastBars().has_value());
  const PictureSlot& first = dlg->LastBars()->bars.front().slots.front();  // the first item's spacer before
  EXPECT_NE(first.content, SlotContent::Spacer);
  EXPECT_TRUE(first.replaced);
  int replaced = 0;  // every slot of the build's, the game's own keys there too
  for (const PictureBar& bar : dlg->LastBars()->bars)
    for (const PictureSlot& slot : bar.slots) replaced += slot.replaced;
  EXPECT_EQ(replaced, 27);
  EXPECT_FALSE(dlg->IsWatchingBuild());

  // The same when the game renames a new file of its own onto the file.
  Click(*dlg, XRCID("go"));
  ASSERT_TRUE(dlg->IsWatchingBuild());
  DeliverEvents(1000, [] { return false; });  // the build's own write, told and settled
  WriteFile(character + ".new", original);
  RenameOver(character + ".new", character);
  DeliverEvents(1000, [&] { return !dlg->IsWatchingBuild(); });
  EXPECT_EQ(ResultLine(*dlg).rfind("The game wrote its own bars over the build of ", 0), 0u) << ResultLine(*dlg);
  EXPECT_EQ(ShownResult(*dlg), 2);

  // Every other write, and another template, ends the watch; the same template does not.
  const std::string templatePath = dlg->Context().job.templatePath;
  const std::vector<std::pair<const char*, std::function<void()>>> enders = {
      {"gem table", [&] { Click(*dlg, XRCID("test_out")); }},
      {"undo", [&] { wxTEST_DIALOG(SendMenuCommand(*dlg, ID_UNDO_COMMAND), wxExpectModal<wxMessageDialog>(wxID_YES)); }},
      {"another template", [&] { dlg->OpenTemplate(w.box.CopyTemplate("Caoimhe_Hero.vsk")); }},
      {"another template browsed for", [&] {
         wxTEST_DIALOG(Click(*dlg, XRCID("browse_template")), ExpectDialog<CTemplateFileDialog>([&](CTemplateFileDialog& d) {
                         d.SetPath(wxString::FromUTF8(w.box.CopyTemplate("Brunhild_Runemaster.vsk")));
                         return wxID_OK;
                       }));
       }},
      {"close", [&] { Click(*dlg, XRCID("close")); }}};
  for (const auto& [what, end] : enders) {
    dlg->OpenTemplate(templatePath);
    Click(*dlg, XRCID("go"));
    ASSERT_TRUE(dlg->IsWatchingBuild()) << what;
    end();
    EXPECT_FALSE(dlg->IsWatchingBuild()) << what;
  }
  Click(*dlg, XRCID("go"));
  dlg->OpenTemplate(templatePath);
  wxTEST_DIALOG(Click(*dlg, XRCID("choose_character")), ExpectDialog<CDialog_CharSelect>([](CDialog_CharSelect&) {
                  return wxID_CANCEL;
                }));
  EXPECT_TRUE(dlg->IsWatchingBuild());
  const std::string other = w.box.CopyCharacter("Brunhild-8.ini");
  wxTEST_DIALOG(Click(*dlg, XRCID("choose_character")), ExpectDialog<CDialog_CharSelect>([&](CDialog_CharSelect& d) {
                  ClickEntry(wxStaticCast(d.FindWindow(XRCID("character_list")), wxListBox),
                             "Logres - Brunhild (Brunhild-8.ini)");
                  return wxID_OK;
                }));
  EXPECT_EQ(dlg->Context().job.characterPath, other);
  EXPECT_FALSE(dlg->IsWatchingBuild());
}
