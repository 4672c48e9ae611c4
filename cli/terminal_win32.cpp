// The program switches the Windows console to UTF-8 at its start.
#include "terminal.h"

bool TerminalIsSingleByte() { return false; }

std::string ToTerminal(const std::string& utf8) { return utf8; }
