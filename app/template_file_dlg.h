// The open-file dialog for templates (*.vsk, or all files). It opens where
// the templates are and leaves the process's current folder as it is.
#pragma once

#include <string>
#include <wx/filedlg.h>

class CTemplateFileDialog : public wxFileDialog {
 public:
  /// Opens in the folder of `currentTemplate` when it exists, else in the
  /// "templates" folder of `plannerFolder` (the current folder when empty),
  /// else in that folder itself.
  CTemplateFileDialog(wxWindow* parent, const std::string& currentTemplate, const std::string& plannerFolder);

  /// Also remembers `path`: GTK's chooser reports a path set by code only
  /// once it has been shown, and automation answers it unshown.
  void SetPath(const wxString& path) override;

  /// The path chosen (or set by code); empty when there is none.
  wxString ChosenPath() const;

 private:
  wxString m_setPath;
};
