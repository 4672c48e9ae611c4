#include "template_file_dlg.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/translation.h>

#include "wx_text.h"

namespace {

wxString StartFolder(const std::string& currentTemplate, const std::string& plannerFolder) {
  wxString folder = wxFileName(ToWx(currentTemplate)).GetPath();
  if (!currentTemplate.empty() && !folder.empty() && wxDirExists(folder)) return folder;
  const wxString planner = plannerFolder.empty() ? wxFileName::GetCwd() : ToWx(plannerFolder);
  wxString templates = planner + wxFileName::GetPathSeparator() + "templates";
  return wxDirExists(templates) ? templates : planner;
}

}  // namespace

// wxFD_CHANGE_DIR is not given: the current folder stays as it is.
CTemplateFileDialog::CTemplateFileDialog(wxWindow* parent, const std::string& currentTemplate,
                                         const std::string& plannerFolder)
    : wxFileDialog(parent, _("Choose the template file"), StartFolder(currentTemplate, plannerFolder), wxString(),
                   _("Vesko (*.vsk)|*.vsk|All (*.*)|*.*"), wxFD_OPEN) {}

void CTemplateFileDialog::SetPath(const wxString& path) {
  m_setPath = path;
  wxFileDialog::SetPath(path);
}

wxString CTemplateFileDialog::ChosenPath() const {
  wxString path = GetPath();
  return path.empty() ? m_setPath : path;
}
