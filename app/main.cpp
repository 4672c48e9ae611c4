// The window program: its name, taken from the executable's file name,
// names the settings store and captions every message box.
#include "brindlemarque_app.h"
#include "command_line.h"

#ifdef _WIN32
wxIMPLEMENT_APP(CBrindlemarqueApp);
#else
wxIMPLEMENT_APP_NO_MAIN(CBrindlemarqueApp);

// --help and --version are answered before the toolkit needs a display.
int main(int argc, char** argv) {
  int status = 0;
  if (AnswerInfoOptions(argc, argv, status)) return status;
  return wxEntry(argc, argv);
}
#endif
