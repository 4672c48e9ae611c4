// The open-file dialog for templates (*.vsk, or all files). It leaves the
// current folder, where the planner's files are, as it is.
#pragma once

#include <wx/filedlg.h>

class CTemplateFileDialog : public wxFileDialog {
 public:
  explicit CTemplateFileDialog(wxWindow* parent);

  /// Also remembers `path`: GTK's chooser reports a path set by code only
  /// once it has been shown, and automation answers it unshown.
  void SetPath(const wxString& path) override;

  /// The path chosen (or set by code); empty when there is none.
  wxString ChosenPath() const;

 private:
  wxString m_setPath;
};
