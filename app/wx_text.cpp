#include "wx_text.h"

#include <wx/strconv.h>

namespace {

// UTF-8 that maps invalid bytes to private-use characters and back, so that
// a Latin-1 file name survives a round trip through a text field.
const wxMBConvUTF8& PathConversion() {
  static const wxMBConvUTF8 conversion(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
  return conversion;
}

}  // namespace

wxString ToWx(const std::string& bytes) {
  wxString text(bytes.data(), PathConversion(), bytes.size());
  return text.empty() && !bytes.empty() ? wxString::From8BitData(bytes.data(), bytes.size()) : text;
}

std::string FromWx(const wxString& text) {
  wxCharBuffer buffer = text.mb_str(PathConversion());
  if (!buffer.data()) return std::string(text.To8BitData().data());
  return std::string(buffer.data(), buffer.length());
}
