#include "template_file_dlg.h"

#include <wx/filename.h>
#include <wx/translation.h>

CTemplateFileDialog::CTemplateFileDialog(wxWindow* parent)
    // Opens in the current folder, the planner's (its templates are below
    // it); wxFD_CHANGE_DIR is not given, so that folder stays current.
    : wxFileDialog(parent, _("Choose the template file"), wxFileName::GetCwd(), wxString(),
                   _("Vesko (*.vsk)|*.vsk|All (*.*)|*.*"), wxFD_OPEN) {}

void CTemplateFileDialog::SetPath(const wxString& path) {
  m_setPath = path;
  wxFileDialog::SetPath(path);
}

wxString CTemplateFileDialog::ChosenPath() const {
  wxString path = GetPath();
  return path.empty() ? m_setPath : path;
}
