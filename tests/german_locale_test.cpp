// A German user's process: the toolkit's stock dialogs and GTK's own texts
// are German, while file errors stay in the messages' English. Runs in a
// process of its own (see tests/CMakeLists.txt), as the locale is the whole
// process's.
#include <cstdlib>
#include <wx/button.h>
#include <wx/stockitem.h>
#include <wx/textdlg.h>
#ifdef __WXGTK__
#include <libintl.h>
#endif

#include <cerrno>

#include "file_failure.h"
#include "gui_support.h"
#include "message_box_sink.h"
#include "translations.h"

TEST(GermanLocale, StockDialogsSpeakGerman) {
  ::setenv("LC_ALL", "de_DE.UTF-8", 1);
  ::setenv("LANGUAGE", "de", 1);
  ASSERT_TRUE(UseLanguage()) << "the de_DE.UTF-8 locale is missing (scripts/setup.sh makes it)";
  EXPECT_EQ(ShownLanguage(), "de");  // the program's own catalog, found beside it
  wxString cancel;
  wxTextEntryDialog dialog(nullptr, "?");
  wxTEST_DIALOG(dialog.ShowModal(), ExpectDialog<wxTextEntryDialog>([&](wxTextEntryDialog& shown) {
                  cancel = wxStaticCast(shown.FindWindow(wxID_CANCEL), wxButton)->GetLabelText();
                  return wxID_CANCEL;
                }));
  EXPECT_EQ(cancel, "Abbrechen");
#ifdef __WXGTK__
  EXPECT_STREQ(dgettext("gtk30", "_Cancel"), "_Abbrechen");  // GTK's file chooser and the like
#endif
  EXPECT_EQ(ErrnoText(ENOENT), "no such file or directory");  // as English as the messages it ends

}

// A German user who chose French in the window: the toolkit's and GTK's own
// texts are French too, and so is a reason the engine made at run time.
TEST(GermanLocale, AWindowInAnotherLanguageSpeaksItEverywhere) {
  ::setenv("LC_ALL", "de_DE.UTF-8", 1);
  ::setenv("LANGUAGE", "de", 1);
  UseLanguage("fr");
  EXPECT_EQ(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS), "Annuler");
#ifdef __WXGTK__
  EXPECT_STREQ(dgettext("gtk30", "_Cancel"), "A_nnuler");
#endif
  EXPECT_EQ(ShownMessage("can't load config.xml\n/v/config.xml: holds no bonus table (Vesko/bonuses/bonus); is it "
                         "the planner's file?").utf8_string(),
            "can't load config.xml\n/v/config.xml : ne contient aucune table de bonus (Vesko/bonuses/bonus) ; "
            "est-ce le fichier du planificateur ?");
  EXPECT_EQ(ShownMessage("can't load config_gem.xml\n/v/config_gem.xml: Error reading end tag. (line 1, column 13)")
                .utf8_string(),
            "can't load config_gem.xml\n/v/config_gem.xml: Erreur de lecture d'une balise de fin. (ligne 1, colonne 13)");
  UseLanguage("de");
#ifdef __WXGTK__
  EXPECT_STREQ(dgettext("gtk30", "_Cancel"), "_Abbrechen");
#endif
  // A path that holds ": " itself, and reasons made while the game saved
  // (one holding ": " and the system's reason itself).
  EXPECT_EQ(ShownMessage("x\n/v/Notes: old/c.ini: permission denied").utf8_string(),
            "x\n/v/Notes: old/c.ini: Zugriff verweigert");
  EXPECT_EQ(ShownMessage("x\n/v/c.ini: still being written by another program (it kept changing for 5000 ms)\n"
                         "/v/c.ini: changed by another program while Brindlemarque worked on it; nothing was written, "
                         "run it again\n/v/c.ini: can't be read for the check before writing: permission denied")
                .utf8_string(),
            "x\n/v/c.ini: wird noch von einem anderen Programm geschrieben (es \xC3\xA4nderte sich 5000 ms lang "
            "immer wieder)\n/v/c.ini: von einem anderen Programm ge\xC3\xA4ndert, w\xC3\xA4hrend Brindlemarque "
            "daran arbeitete; nichts wurde geschrieben, bitte noch einmal ausf\xC3\xBChren\n/v/c.ini: l\xC3\xA4sst "
            "sich f\xC3\xBCr die Pr\xC3\xBC" "fung vor dem Schreiben nicht lesen: Zugriff verweigert");
  // A note is a message of its own line: translated too; a fixed message is not.
  EXPECT_EQ(ShownMessage("the game saved the file meanwhile; built on its new content").utf8_string(),
            "das Spiel hat die Datei inzwischen gespeichert; auf ihrem neuen Inhalt gebaut");
  EXPECT_EQ(ShownMessage("not enough slots").utf8_string(), "not enough slots");
}
