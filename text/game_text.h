// Text from the game's files and from file names, for showing: character
// files hold Windows-1252 (the game's code page), file names on Linux are
// usually UTF-8, and one message may hold both.
#pragma once

#include <string>

/// The characters of `text`: each valid UTF-8 sequence as such, every other
/// byte as Windows-1252 (its five unassigned bytes as the C1 controls
/// U+0081, U+008D, U+008F, U+0090, U+009D).
std::u32string DecodeGameText(const std::string& text);

/// Appends the UTF-8 form of `c` to `out`.
void AppendUtf8(std::string& out, char32_t c);

/// `text` decoded as DecodeGameText does, as UTF-8.
std::string GameTextToUtf8(const std::string& text);
