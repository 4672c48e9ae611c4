// Pieces of paths shared by the character-file sources (not part of the API).
#pragma once

#include <string>

#include "ascii_text.h"

/// The position of the last '\\', or of the last '/' when there is no '\\'.
inline std::string::size_type LastSeparator(const std::string& path) {
  auto cut = path.rfind('\\');
  return cut != std::string::npos ? cut : path.rfind('/');
}

/// The name ends in ".ini", in any letter case.
inline bool EndsWithIniNoCase(const std::string& name) {
  return name.size() >= 4 && SameTextNoCase(name.c_str() + name.size() - 4, ".ini");
}
