// The application object: sets up the resources, runs the main window
// modally once, and ends the process when it closes.
#pragma once

#include <string>
#include <wx/app.h>

class CBrindlemarqueApp : public wxApp {
 public:
  /// Registers the compiled-in layouts and bitmaps; false if that fails.
  bool OnInit() override;
  /// The option --config-dir FOLDER (where config.xml and config_gem.xml
  /// are) and a template file, taken as if dropped once the window shows;
  /// --help and --version answer without a window.
  void OnInitCmdLine(wxCmdLineParser& parser) override;
  bool OnCmdLineHelp(wxCmdLineParser& parser) override;
  bool OnCmdLineParsed(wxCmdLineParser& parser) override;
  /// Constructs the main window, runs it modally and destroys it (which
  /// saves the settings). Returns the process's exit status, 0.
  int OnRun() override;

 private:
  bool m_answeredOnly = false;  // --help or --version: no window
  std::string m_configFolder;
  std::string m_templateFile;
};

/// Registers the XRC handlers, the control ids and the compiled-in resources.
/// Returns false when the main window's layouts cannot be found.
bool InitBrindlemarqueUi();
