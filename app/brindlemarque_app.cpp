#include "brindlemarque_app.h"

#include <wx/image.h>
#include <wx/xrc/xmlres.h>

#include "brindlemarque_dlg.h"
#include "control_ids.h"
#include "language.h"
#include "resources.h"

bool InitBrindlemarqueUi() {
  wxInitAllImageHandlers();
  wxXmlResource::Get()->InitAllHandlers();
  RegisterControlIds();
  InitBrindlemarqueResources();
  return wxXmlResource::Get()->GetResourceNode("main_dialog_de") != nullptr &&
         wxXmlResource::Get()->GetResourceNode("main_dialog_en") != nullptr;
}

bool CBrindlemarqueApp::OnInit() {
  if (!InitBrindlemarqueUi()) {
    wxLogError("The program's window layouts are missing.");
    return false;
  }
  return true;
}

int CBrindlemarqueApp::OnRun() {
  {
    CBrindlemarqueDlg dialog(IsGermanUser());
    SetTopWindow(&dialog);
    dialog.ShowModal();
    SetTopWindow(nullptr);
  }  // the dialog's destructor saves the settings
  return 0;
}
