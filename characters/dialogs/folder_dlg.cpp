#include "folder_dlg.h"

#include <wx/filefn.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include "wx_text.h"

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
  if (ShowModal() != wxID_OK) return MODAL_CANCEL;
  wxString path = GetPath();
  if (path.empty()) path = m_setPath;
  // A folder without a local path (or whose name the toolkit could not
  // convert) comes back empty.
  if (path.empty()) return MODAL_FAILED;
  // A path typed into the chooser's location bar comes back as typed, even
  // when no such folder exists.
  if (!wxDirExists(path)) {
    m_missingFolder = FromWx(path);
    return MODAL_FAILED;
  }
  m_folderPath = FromWx(path);
  return MODAL_OK;
}
