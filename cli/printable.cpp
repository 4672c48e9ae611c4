#include "printable.h"

#include <cstdio>
#ifndef _WIN32
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#endif

#include "game_text.h"

namespace {

#ifndef _WIN32
// The terminal's character set when it is not UTF-8 (empty otherwise). The
// C locale's ASCII counts as UTF-8: terminals without a locale are UTF-8 today.
const std::string& TerminalCharset() {
  static const std::string charset = [] {
    std::setlocale(LC_CTYPE, "");
    std::string name = nl_langinfo(CODESET);
    return name == "UTF-8" || name == "utf8" || name == "ANSI_X3.4-1968" ? std::string() : name;
  }();
  return charset;
}

std::string ToTerminal(const std::string& utf8) {
  if (TerminalCharset().empty() || utf8.empty()) return utf8;
  iconv_t convert = iconv_open((TerminalCharset() + "//TRANSLIT").c_str(), "UTF-8");
  if (convert == reinterpret_cast<iconv_t>(-1)) return utf8;
  std::string out(utf8.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  char* to = &out[0];
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  std::size_t done = iconv(convert, &in, &inLeft, &to, &outLeft);
  iconv_close(convert);
  if (done == static_cast<std::size_t>(-1)) return utf8;
  out.resize(out.size() - outLeft);
  return out;
}
#else
std::string ToTerminal(const std::string& utf8) { return utf8; }
#endif

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
#ifndef _WIN32
  if (!TerminalCharset().empty()) return printed.size();  // a one-byte character set
#endif
  std::size_t width = 0;
  for (unsigned char b : printed) width += (b & 0xC0) != 0x80;
  return width;
}

std::string PadTo(const std::string& printed, std::size_t width) {
  std::size_t used = PrintedWidth(printed);
  return used >= width ? printed : printed + std::string(width - used, ' ');
}
