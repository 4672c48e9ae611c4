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

#include "build_context.h"
#include "config_files.h"
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
  EXPECT_EQ(ErrnoText(ENOENT).Text(), "no such file or directory");  // as English as the messages it ends

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
  // The engine's own messages, as it raised them: a configuration without
  // its table, and one the parser stopped in.
  TempDir dir;
  WriteFile(dir.file("config.xml"), "<Vesko/>");
  RecordingSink sink;
  BuildContext context;
  EXPECT_FALSE(sink.LoadConfig(context, dir.path()));
  WriteFile(dir.file("config.xml"), ReadFile(std::string(EXAMPLES_DIR) + "/vesko/config.xml"));
  WriteFile(dir.file("config_gem.xml"), "<data></date>");
  EXPECT_FALSE(sink.LoadConfig(context, dir.path()));
  ASSERT_EQ(sink.reasons.size(), 2u);
  EXPECT_EQ(ShownMessage(sink.reasons[0]).utf8_string(),
            "can't load config.xml\n\n" + dir.file("config.xml") +
                " : ne contient aucune table de bonus (Vesko/bonuses/bonus) ; est-ce le fichier du planificateur ?");
  EXPECT_EQ(ShownMessage(sink.reasons[1]).utf8_string(),
            "can't load config_gem.xml\n\n" + dir.file("config_gem.xml") +
                ": Erreur de lecture d'une balise de fin. (ligne 1, colonne 7)");
  UseLanguage("de");
#ifdef __WXGTK__
  EXPECT_STREQ(dgettext("gtk30", "_Cancel"), "_Abbrechen");
#endif
  // Reasons raised while the game saved, one holding the system's reason,
  // after a path that holds ": " itself; a note is translated, a fixed
  // first line is not.
  const std::string path = "/v/Notes: old/c.ini";
  const Reason saving = Lines(Lines(Reason::Plain("x"), AtPath(path, Reason(reason::kStillBeingWritten, {Number(5000)}))),
                              AtPath(path, Reason(reason::kUnreadableForCheck, {ErrnoText(EACCES)})));
  EXPECT_EQ(ShownMessage(saving).utf8_string(),
            "x\n" + path + ": wird noch von einem anderen Programm geschrieben (es \xC3\xA4nderte sich 5000 ms lang "
            "immer wieder)\n" + path + ": l\xC3\xA4sst sich f\xC3\xBCr die Pr\xC3\xBC" "fung vor dem Schreiben nicht "
            "lesen: Zugriff verweigert");
  EXPECT_EQ(ShownMessage(reason::kBuiltOnNewContent).utf8_string(),
            "das Spiel hat die Datei inzwischen gespeichert; auf ihrem neuen Inhalt gebaut");
  EXPECT_EQ(ShownMessage(Reason::Plain("not enough slots")).utf8_string(), "not enough slots");
}
