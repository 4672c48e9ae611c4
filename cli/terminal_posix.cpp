#include "terminal.h"

#include <clocale>
#include <iconv.h>
#include <langinfo.h>

namespace {

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

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

bool TerminalIsSingleByte() { return !TerminalCharset().empty(); }

std::string ToTerminal(const std::string& utf8) {
  // ASCII reads the same in every character set a terminal uses: the
  // locale is not even looked at.
  if (IsAscii(utf8) || TerminalCharset().empty()) return utf8;
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
