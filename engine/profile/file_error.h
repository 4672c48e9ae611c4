// The reason kept for LastFileError (private to the file helpers).
#pragma once

#include <string>

/// Keeps `reason` as this thread's LastFileError().
void SetFileError(std::string reason);

/// The system's text for an errno value, starting in lower case ("permission denied").
std::string ErrnoText(int error);
