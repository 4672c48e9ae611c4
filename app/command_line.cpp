#include "command_line.h"

#include <cstdio>
#include <cstring>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/translation.h>

#include "settings_store.h"
#include "translations.h"
#include "version.h"

void DescribeCommandLine(wxCmdLineParser& parser) {
  parser.AddOption("", "config-dir", _("the spellcraft planner's folder (config.xml, config_gem.xml); remembered"),
                   wxCMD_LINE_VAL_STRING);
  parser.AddSwitch("", "version", _("print the version and exit"));
  parser.AddParam(_("a template (.vsk), filled in; GO builds it"), wxCMD_LINE_VAL_STRING,
                  wxCMD_LINE_PARAM_OPTIONAL);
}

wxString VersionLine() { return "Brindlemarque " BRINDLEMARQUE_VERSION; }

bool AnswerInfoOptions(int argc, char** argv, int& status) {
  bool help = false, version = false;
  for (int i = 1; i < argc; ++i) {
    help = help || std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0;
    version = version || std::strcmp(argv[i], "--version") == 0;
  }
  if (!help && !version) return false;
  status = 0;
  if (!help) {
    std::printf("%s\n", VersionLine().utf8_str().data());
    return true;
  }
  // A console application object: translations and the parser need one, a
  // window application would need the display.
  wxApp::SetInstance(new wxAppConsole);
  wxInitializer console(argc, argv);
  UseLanguage(LoadLanguage());
  wxCmdLineParser parser(argc, argv);
  parser.AddSwitch("h", "help", _("show this help message"), wxCMD_LINE_OPTION_HELP);
  DescribeCommandLine(parser);
  std::printf("%s", parser.GetUsageString().utf8_str().data());
  return true;
}
