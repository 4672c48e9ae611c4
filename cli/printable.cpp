#include "printable.h"

#include <cstdio>

namespace {

std::string Escape(const std::string& text, bool keepLineEnds) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0x20 && byte != 0x7F) || (keepLineEnds && (c == '\n' || c == '\r'))) {
      out += c;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    out += escaped;
  }
  return out;
}

}  // namespace

std::string Printable(const std::string& text) { return Escape(text, false); }

std::string PrintableLines(const std::string& text) { return Escape(text, true); }
