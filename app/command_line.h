// The window program's command line: --config-dir FOLDER, a template file,
// --version and --help.
#pragma once

#include <wx/cmdline.h>

/// Adds the program's own options and parameter to `parser` (the toolkit
/// adds --help and its own options).
void DescribeCommandLine(wxCmdLineParser& parser);

/// The line --version prints: "Brindlemarque 1.88".
wxString VersionLine();

/// Answers --help and --version on standard output, in the user's language,
/// before anything needs a display. True, with the exit status (0) in
/// `status`, when one of them was given.
bool AnswerInfoOptions(int argc, char** argv, int& status);
