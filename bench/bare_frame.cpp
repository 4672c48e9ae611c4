// The yardstick of the window's start-up (window_start): the window's own
// layout, loaded and shown bare (no settings, translations, planner files,
// icons or menu) as the window is, a modal dialog, with the boxes a first
// start shows checked checked, so that what the program does on top is
// what is measured.
#include <wx/wx.h>
#include <wx/xrc/xmlres.h>

#include "resources.h"

class BareApp : public wxApp {
 public:
  bool OnInit() override {
    wxInitAllImageHandlers();
    wxXmlResource::Get()->InitAllHandlers();
    InitBrindlemarqueResources();
    auto* dialog = new wxDialog;
    if (!wxXmlResource::Get()->LoadDialog(dialog, nullptr, "main_dialog")) return false;
    for (const char* box : {"use_spacer", "drop_run", "clean_before"})
      if (auto* check = dynamic_cast<wxCheckBox*>(dialog->FindWindow(XRCID(box)))) check->SetValue(true);
    dialog->ShowModal();
    dialog->Destroy();
    return false;  // closed: nothing more to run
  }
};

wxIMPLEMENT_APP(BareApp);
