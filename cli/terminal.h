// The terminal's character set: UTF-8, or on Linux whatever the locale names.
#pragma once

#include <string>

/// True when the terminal takes one byte per character (a locale's
/// character set other than UTF-8, such as ISO-8859-1).
bool TerminalIsSingleByte();

/// UTF-8 `utf8` in the terminal's character set; characters it lacks are
/// approximated ("?" at worst). Unchanged on a UTF-8 terminal.
std::string ToTerminal(const std::string& utf8);
