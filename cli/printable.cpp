#include "printable.h"

#include <cstdio>

#include "game_text.h"
#include "terminal.h"

namespace {

std::string Escape(const std::string& text, bool keepLineEnds) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : DecodeGameText(text)) {
    bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
    if (!control || (keepLineEnds && (c == '\n' || c == '\r'))) {
      AppendUtf8(out, c);
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
    out += escaped;
  }
  return ToTerminal(out);
}

}  // namespace

std::string Printable(const std::string& text) { return Escape(text, false); }

std::string PrintableLines(const std::string& text) { return Escape(text, true); }

std::size_t PrintedWidth(const std::string& printed) {
  if (TerminalIsSingleByte()) return printed.size();
  std::size_t width = 0;
  for (unsigned char b : printed) width += (b & 0xC0) != 0x80;
  return width;
}

std::string PadTo(const std::string& printed, std::size_t width) {
  std::size_t used = PrintedWidth(printed);
  return used >= width ? printed : printed + std::string(width - used, ' ');
}
