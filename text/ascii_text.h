// Text helpers shared by the engine and the character-file logic: the game's
// files are 8-bit text, compared without regard to the case of ASCII letters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Lower-cases ASCII letters only, leaving every other byte as it is.
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

/// `text` with its ASCII letters lower-cased: texts that SameTextNoCase
/// finds equal give the same key (for indexes of names).
std::string NoCaseKey(std::string text);

/// Equality of two names without regard to ASCII case.
bool EqualNoCase(std::string_view a, std::string_view b);

/// A hash (FNV-1a) of `name` with its ASCII letters lower-cased: names that
/// EqualNoCase finds equal give the same hash.
std::uint32_t HashNoCase(std::string_view name);

/// Whole-text equality without regard to ASCII case; an absent (null) text
/// equals nothing, not even another absent text.
bool SameTextNoCase(const char* a, const char* b);

/// Whether `text` begins with `prefix`.
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

/// Whether `text` ends with `end`.
inline bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

/// Whether `text` is one or more ASCII digits and nothing else (a process
/// id in /proc, a descriptor's number).
inline bool IsAllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

/// The integer at the start of `text`: leading white space, an optional sign,
/// digits up to the first other character; no digits (or null) give 0.
/// Values beyond 32 bits are held at the nearest 32-bit limit.
std::int32_t LeadingInt(const char* text);
