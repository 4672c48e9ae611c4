// Private to the file layer: keeping the reason of a failed call.
#pragma once

#include <string>

#include "reason_text.h"

/// Keeps `reason` as this thread's LastFileError().
void SetFileError(Reason reason);

/// SetFileError(reason), then false: for `return Fail(...)`.
bool Fail(Reason reason);

/// The system's text for an errno value, starting in lower case ("permission denied").
Reason ErrnoText(int error);
