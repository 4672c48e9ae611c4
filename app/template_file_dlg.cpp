#include "template_file_dlg.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/translation.h>

#include "wx_text.h"

namespace {

wxString StartFolder(const std::string& currentTemplate) {
  wxString folder = wxFileName(ToWx(currentTemplate)).GetPath();
  if (!currentTemplate.empty() && !folder.empty() && wxDirExists(folder)) return folder;
  wxString templates = wxFileName::GetCwd() + wxFileName::GetPathSeparator() + "templates";
  return wxDirExists(templates) ? templates : wxFileName::GetCwd();
}

}  // namespace

// wxFD_CHANGE_DIR is not given: the current folder stays the planner's.
CTemplateFileDialog::CTemplateFileDialog(wxWindow* parent, const std::string& currentTemplate)
    : wxFileDialog(parent, _("Choose the template file"), StartFolder(currentTemplate), wxString(),
                   _("Vesko (*.vsk)|*.vsk|All (*.*)|*.*"), wxFD_OPEN) {}

void CTemplateFileDialog::SetPath(const wxString& path) {
  m_setPath = path;
  wxFileDialog::SetPath(path);
}

wxString CTemplateFileDialog::ChosenPath() const {
  wxString path = GetPath();
  return path.empty() ? m_setPath : path;
}
