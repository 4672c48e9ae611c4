// The window program: its name, taken from the executable's file name,
// names the settings store and captions every message box.
#include "brindlemarque_app.h"

wxIMPLEMENT_APP(CBrindlemarqueApp);
