#include "xml_load.h"

#include <tinyxml.h>

#include "file_error.h"
#include "file_read.h"
#include "reason_text.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The position behind the first `end` at or after `p`, or the text's end.
std::size_t SkipPast(const std::string& text, std::size_t p, const char* end) {
  std::size_t hit = text.find(end, p);
  return hit == std::string::npos ? text.size() : hit + std::char_traits<char>::length(end);
}

// The parser reads these as it sees them: "\r\n" and a lone "\r" become "\n".
std::string WithLfLineEnds(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r')
      text += bytes[i];
    else if (i + 1 >= bytes.size() || bytes[i + 1] != '\n')
      text += '\n';
  }
  return text;
}

}  // namespace

Reason CheckXmlLimits(const std::string& text, const XmlLimits& limits) {
  int depth = 0;
  for (std::size_t p = text.find('<'); p < text.size(); p = text.find('<', p)) {
    if (text.compare(p, 4, "<!--") == 0) {
      p = SkipPast(text, p + 4, "-->");
    } else if (text.compare(p, 9, "<![CDATA[") == 0) {
      p = SkipPast(text, p + 9, "]]>");
    } else if (text.compare(p, 2, "<!") == 0 || text.compare(p, 2, "<?") == 0) {
      p = SkipPast(text, p + 2, ">");
    } else if (text.compare(p, 2, "</") == 0) {
      if (depth > 0) --depth;
      p = SkipPast(text, p + 2, ">");
    } else {
      // A start tag: count its attributes (every '=' outside a quoted value)
      // up to its '>', and whether it closes itself.
      int attributes = 0;
      bool selfClosing = false;
      for (++p; p < text.size() && text[p] != '>'; ++p) {
        if (text[p] == '=') {
          if (++attributes > limits.attributes)
            return Reason(R_("Error: an element with more than %s attributes"), {Number(limits.attributes)});
          std::size_t q = p + 1;
          while (q < text.size() && IsSpace(text[q])) ++q;
          if (q < text.size() && (text[q] == '"' || text[q] == '\'')) {
            std::size_t close = text.find(text[q], q + 1);
            p = close == std::string::npos ? text.size() - 1 : close;
          }
          selfClosing = false;
        } else if (!IsSpace(text[p])) {
          selfClosing = text[p] == '/';
        }
      }
      if (!selfClosing && ++depth > limits.depth)
        return Reason(R_("Error: elements nested deeper than %s levels"), {Number(limits.depth)});
    }
  }
  return {};
}

XmlLoad ParseXml(TiXmlDocument& doc, const std::string& bytes, Reason& reason, const XmlLimits& limits) {
  doc.Clear();
  std::string text = WithLfLineEnds(bytes);
  reason = CheckXmlLimits(text, limits);
  if (!reason.empty()) return XmlLoad::Refused;
  doc.Parse(text.c_str());
  if (!doc.Error()) return XmlLoad::Ok;
  reason = Reason::Known(doc.ErrorDesc());
  return XmlLoad::ParseFailed;
}

XmlLoad LoadXmlFile(TiXmlDocument& doc, const std::string& path, Reason& reason, const XmlLimits& limits) {
  std::string bytes;
  ReadStatus status = ReadFileBytes(path, bytes, limits.bytes);
  if (status != ReadStatus::Ok) {
    doc.Clear();
    reason = LastFileError();
    return XmlLoad::OpenFailed;
  }
  return ParseXml(doc, bytes, reason, limits);
}

Reason WithParsePlace(const TiXmlDocument& doc, const Reason& reason) {
  if (doc.ErrorRow() <= 0) return reason;
  return Reason(reason::kStoppedAt, {reason, Number(doc.ErrorRow()), Number(doc.ErrorCol())});
}
