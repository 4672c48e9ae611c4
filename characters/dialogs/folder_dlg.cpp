#include "folder_dlg.h"

#include <wx/filefn.h>

#include "wx_text.h"

CFolderDialog::CFolderDialog(wxWindow* parent, const std::string& initialFolder, const wxString& title)
    : wxDirDialog(parent, title, ToWx(initialFolder), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST) {}

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
