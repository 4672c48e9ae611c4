#include "about_dlg.h"

#include <wx/xrc/xmlres.h>

CAboutDlg::CAboutDlg(wxWindow* parent) {
  wxXmlResource::Get()->LoadDialog(this, parent, "about_dialog");
  Fit();
  CentreOnParent();
}
