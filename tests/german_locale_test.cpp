// A German user's process: the toolkit's stock dialogs and GTK's own texts
// are German, while file errors stay in the messages' English. Runs in a
// process of its own (see tests/CMakeLists.txt), as the locale is the whole
// process's.
#include <cstdlib>
#include <wx/button.h>
#include <wx/textdlg.h>
#ifdef __WXGTK__
#include <libintl.h>
#endif

#include <cerrno>

#include "file_failure.h"
#include "gui_support.h"
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
