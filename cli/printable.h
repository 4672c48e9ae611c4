// Text from files and file names made safe and readable for a terminal.
//
// Character files hold Windows-1252 text (the game's), file names on Linux
// are usually UTF-8: every valid UTF-8 sequence is taken as such, every other
// byte is read as Windows-1252. Control characters (below 0x20, 0x7F, and the C1
// controls 0x80-0x9F) are written as "\xHH", so that a name cannot drive the
// terminal. The result is in the terminal's character set (UTF-8 unless the
// locale names another; always UTF-8 on Windows, whose console is switched
// to it).
#pragma once

#include <cstddef>
#include <string>

/// `text` as the terminal shows it, control characters escaped.
std::string Printable(const std::string& text);

/// A path as Printable shows it, written with the system's one kind of
/// separator (a path typed with '/' on Windows is shown with '\\').
std::string PrintablePath(const std::string& path);

/// The same for a message of several lines: its line ends stay as they are.
std::string PrintableLines(const std::string& text);

/// How many columns a result of Printable takes: one per character.
std::size_t PrintedWidth(const std::string& printed);

/// `printed` cut to at most `width` columns (whole characters).
std::string CutTo(const std::string& printed, std::size_t width);

/// `printed` padded with spaces to `width` columns.
std::string PadTo(const std::string& printed, std::size_t width);
