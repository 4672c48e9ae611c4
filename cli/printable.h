// Text from files and file names made safe for a terminal.
#pragma once

#include <string>

/// `text` with control characters (bytes below 0x20 and 0x7F) written as
/// "\xHH", so that a file name cannot drive the terminal.
std::string Printable(const std::string& text);

/// The same for a message of several lines: its line ends stay as they are.
std::string PrintableLines(const std::string& text);
