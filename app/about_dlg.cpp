#include "about_dlg.h"

#include <wx/stattext.h>
#include <wx/translation.h>
#include <wx/xrc/xmlres.h>

#include "version.h"

CAboutDlg::CAboutDlg(wxWindow* parent) {
  wxXmlResource::Get()->LoadDialog(this, parent, "about_dialog");
  if (auto* version = XRCCTRL(*this, "about_version", wxStaticText))
    version->SetLabel(wxString::Format(_("Brindlemarque Version %s"), BRINDLEMARQUE_VERSION));
  Fit();
  CentreOnParent();
}
