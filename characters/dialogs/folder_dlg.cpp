#include "folder_dlg.h"

#include <wx/filefn.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include "wx_text.h"

#ifdef __WXGTK__
#include <gtk/gtk.h>
#include <memory>
#include <vector>
#include <wx/app.h>
#include <wx/msgdlg.h>

namespace {

// The chooser being shown, for the response hook.
CFolderDialog* g_shownChooser = nullptr;

// A typed folder refused, and the handlers held back for it.
struct MissingFolder {
  CFolderDialog* chooser;
  GObject* dialog;
  std::vector<gulong> held;
  wxString path;
};

// Once the refused response has ended: the chooser's handlers work again,
// and a message over the chooser names the folder.
gboolean SayFolderIsMissing(gpointer data) {
  std::unique_ptr<MissingFolder> missing(static_cast<MissingFolder*>(data));
  for (gulong handler : missing->held) g_signal_handler_unblock(missing->dialog, handler);
  if (g_shownChooser == missing->chooser)
    wxMessageDialog(missing->chooser, wxString::Format(_("This folder does not exist:\n%s"), missing->path),
                    wxTheApp->GetAppName(), wxOK | wxICON_EXCLAMATION)
        .ShowModal();
  return G_SOURCE_REMOVE;
}

// GTK's folder chooser makes a folder typed into its location bar that is
// not there, whatever style asks for an existing one. A hook on the
// dialog's "response" runs before any handler of it: for an accepted path
// that names no folder it holds back the handlers (the chooser's, which
// would make it, and the toolkit's, which would end the dialog) for this
// once, so that nothing is made, and the chooser stays open and says why.
// (GLib lets no hook stop the emission; with every handler held, none is needed.)
gboolean RefuseMissingFolder(GSignalInvocationHint* hint, guint count, const GValue* values, gpointer) {
  if (count < 2 || !g_shownChooser || !G_VALUE_HOLDS_OBJECT(&values[0])) return TRUE;
  GObject* dialog = G_OBJECT(g_value_get_object(&values[0]));
  if (dialog != G_OBJECT(g_shownChooser->GetHandle()) || !GTK_IS_FILE_CHOOSER(dialog)) return TRUE;
  const int response = g_value_get_int(&values[1]);
  if (response != GTK_RESPONSE_ACCEPT && response != GTK_RESPONSE_OK) return TRUE;
  GFile* file = gtk_file_chooser_get_file(GTK_FILE_CHOOSER(dialog));
  if (!file) return TRUE;  // not a local path: RunModal reports it
  char* path = g_file_get_path(file);
  g_object_unref(file);
  if (!path) return TRUE;
  wxString chosen = wxString::FromUTF8(path);
  g_free(path);
  if (wxDirExists(chosen)) return TRUE;
  // Each handler held once, found one by one (matching by signal alone
  // blocks nothing).
  std::vector<gulong> held;
  const auto unblocked = static_cast<GSignalMatchType>(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_UNBLOCKED);
  while (gulong handler = g_signal_handler_find(dialog, unblocked, hint->signal_id, 0, nullptr, nullptr, nullptr)) {
    g_signal_handler_block(dialog, handler);
    held.push_back(handler);
  }
  g_idle_add(SayFolderIsMissing, new MissingFolder{g_shownChooser, dialog, std::move(held), chosen});
  return TRUE;
}

}  // namespace

int CFolderDialog::ShowModal() {
  const guint response = g_signal_lookup("response", GTK_TYPE_DIALOG);
  const gulong hook = g_signal_add_emission_hook(response, 0, RefuseMissingFolder, nullptr, nullptr);
  CFolderDialog* outer = g_shownChooser;
  g_shownChooser = this;
  int result = wxDirDialog::ShowModal();
  g_shownChooser = outer;
  g_signal_remove_emission_hook(response, hook);
  return result;
}
#endif

// A folder that is not there would open the platform's chooser on some
// view of its own ("Recent", the desktop): the home folder is a better start.
wxString CFolderDialog::StartFolderFor(const std::string& folder) {
  wxString path = ToWx(folder);
  return !path.empty() && wxDirExists(path) ? path : wxGetHomeDir();
}

CFolderDialog::CFolderDialog(wxWindow* parent, const wxString& startFolder, const wxString& title)
    : wxDirDialog(parent, title.empty() ? _("User data folder") : title, startFolder, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST), m_startFolder(startFolder) {}

void CFolderDialog::SetPath(const wxString& path) {
  m_setPath = path;
  wxDirDialog::SetPath(path);
}

int CFolderDialog::RunModal() {
  if (ShowModal() != wxID_OK) return wxID_CANCEL;
  wxString path = GetPath();
  if (path.empty()) path = m_setPath;
  // A folder without a local path (or whose name the toolkit could not
  // convert) comes back empty.
  if (path.empty()) return wxID_NONE;
  // A path typed into the chooser's location bar comes back as typed, even
  // when no such folder exists.
  const std::string folder = PathFromText(path);
  if (!wxDirExists(ToWx(folder))) {
    m_missingFolder = folder;
    return wxID_NONE;
  }
  m_folderPath = folder;
  return wxID_OK;
}
