// The folder browser of the character dialog: the platform's folder chooser,
// opened on a given folder, giving back the chosen folder's path.
#pragma once

#include <string>
#include <wx/dirdlg.h>

#include <wx/defs.h>

class CFolderDialog : public wxDirDialog {
 public:
  /// A chooser titled `title` ("User data folder" unless given) that
  /// opens on `initialFolder` when it exists (else on the home folder) and
  /// accepts existing folders only.
  explicit CFolderDialog(wxWindow* parent, const std::string& initialFolder = std::string(),
                         const wxString& title = wxString())
      : CFolderDialog(parent, StartFolderFor(initialFolder), title) {}

  /// Runs the chooser. wxID_OK with the chosen folder's path kept,
  /// wxID_CANCEL when the user cancelled, wxID_NONE when a folder was
  /// confirmed but no file-system path could be had for it, or when the
  /// path confirmed names no folder (then MissingFolder() gives it).
  int RunModal();

  /// The folder the chooser opens on.
  const wxString& StartFolder() const { return m_startFolder; }

  /// The path confirmed that names no existing folder; empty otherwise.
  const std::string& MissingFolder() const { return m_missingFolder; }

  /// The chosen folder's path; meaningful after RunModal gave wxID_OK.
  const std::string& GetFolderPath() const { return m_folderPath; }

  /// Also remembers `path`: GTK's chooser reports a path set by code only
  /// once it has been shown, and automation answers it unshown.
  void SetPath(const wxString& path) override;

#ifdef __WXGTK__
  /// Keeps the chooser open on a typed folder that does not exist, instead
  /// of letting GTK make it.
  int ShowModal() override;
#endif

 private:
  CFolderDialog(wxWindow* parent, const wxString& startFolder, const wxString& title);
  static wxString StartFolderFor(const std::string& folder);

  wxString m_startFolder;
  std::string m_folderPath;
  std::string m_missingFolder;
  wxString m_setPath;
};
