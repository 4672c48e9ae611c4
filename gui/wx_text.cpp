#include "wx_text.h"

#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/strconv.h>

namespace {

// UTF-8 that maps invalid bytes to private-use characters and back, so that
// a Latin-1 file name survives a round trip through a text field.
const wxMBConvUTF8& PathConversion() {
  static const wxMBConvUTF8 conversion(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
  return conversion;
}

}  // namespace

wxString ToWx(const std::string& bytes) { return wxString(bytes.data(), PathConversion(), bytes.size()); }

std::string FromWx(const wxString& text) {
  wxCharBuffer buffer = text.mb_str(PathConversion());
  return buffer.data() ? std::string(buffer.data(), buffer.length()) : text.utf8_string();
}

std::string PathFromText(const wxString& typed) {
  wxString text = typed;
  text.Trim(true).Trim(false);  // blanks and line ends, as pasted
  if (text.length() >= 2 && (text[0] == '"' || text[0] == '\'') && text.Last() == text[0])
    text = text.Mid(1, text.length() - 2);
  if (text.Lower().StartsWith("file://")) {
    const wxFileName named = wxFileSystem::URLToFileName(text);  // percent escapes decoded
    if (named.IsOk()) text = named.GetFullPath();
  }
  return FromWx(text);
}
