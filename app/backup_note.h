// A backup's note (what the run after it wrote, kept in English beside the
// backup) in the user's language, for the undo question.
#pragma once

#include <string>
#include <wx/string.h>

/// "build of t.vsk onto Quickbar2 bars 2-7 (reverse)", the gem table's,
/// a restore's and a template repair's notes, and "(no note)", translated;
/// any other note as it is.
wxString DescribeBackupNote(const std::string& note);
