#include "printable.h"

#include <algorithm>

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

std::string PrintablePath(const std::string& path) {
  std::string shown = path;
#ifdef _WIN32
  std::replace(shown.begin(), shown.end(), '/', '\\');
#endif
  return Printable(shown);
}

namespace {

// Whether the byte at `at` starts a character (one column).
bool StartsCharacter(const std::string& printed, std::size_t at) {
  return TerminalIsSingleByte() || (static_cast<unsigned char>(printed[at]) & 0xC0) != 0x80;
}

}  // namespace

std::size_t PrintedWidth(const std::string& printed) {
  std::size_t width = 0;
  for (std::size_t at = 0; at < printed.size(); ++at) width += StartsCharacter(printed, at);
  return width;
}

std::string CutTo(const std::string& printed, std::size_t width) {
  std::size_t columns = 0, end = 0;
  for (; end < printed.size(); ++end)
    if (StartsCharacter(printed, end) && columns++ == width) break;
  return printed.substr(0, end);
}

std::string PadTo(const std::string& printed, std::size_t width) {
  std::size_t used = PrintedWidth(printed);
  return used >= width ? printed : printed + std::string(width - used, ' ');
}
