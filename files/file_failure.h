// Private to the file layer: keeping the reason of a failed call.
#pragma once

#include <string>

/// Keeps `reason` as this thread's LastFileError().
void SetFileError(std::string reason);

/// SetFileError(reason), then false: for `return Fail(...)`.
bool Fail(const std::string& reason);

/// The system's text for an errno value, starting in lower case ("permission denied").
std::string ErrnoText(int error);
