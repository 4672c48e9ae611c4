// Private to the file layer on Windows: UTF-8 paths at the wide calls, and
// the system's errors in the layer's words.
#pragma once

#include <string>
#include <windows.h>

#include "reason_text.h"

/// UTF-8 and UTF-16 text.
std::wstring WideOf(const std::string& text);
std::string Utf8Of(const std::wstring& wide);

/// The full path in the "\\?\" form, which lifts the 260-character limit.
std::wstring SystemPath(const std::string& path);

/// A system error in a few words ("permission denied").
Reason SystemText(DWORD error);
/// Fail(SystemText(error)).
bool FailWith(DWORD error);

/// Errors of a file the running game or a virus scanner holds for a moment.
bool Transient(DWORD error);

/// A FILETIME in 100 ns units since 1601.
ULONGLONG Ticks(const FILETIME& time);
