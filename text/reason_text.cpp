#include "reason_text.h"

#include <algorithm>

namespace {

// `format` with each "%s" replaced by the next of `fields`.
std::string Fill(const std::string& format, const std::vector<std::string>& fields) {
  std::string text;
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format.compare(i, 2, "%s") == 0) {
      if (next < fields.size()) text += fields[next];
      ++next;
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

}  // namespace

Reason::Reason(CatalogText text, std::vector<Reason> fields)
    : m_text(text.english ? text.english : ""), m_catalog(true), m_fields(std::move(fields)) {}

Reason Reason::Plain(std::string text) {
  Reason plain;
  plain.m_text = std::move(text);
  return plain;
}

Reason Reason::Path(std::string path) {
  Reason named = Plain(std::move(path));
  named.m_path = true;
  return named;
}

Reason Reason::Known(std::string text) {
  Reason known = Plain(std::move(text));
  known.m_catalog = true;
  return known;
}

std::string Reason::Text() const { return Text(Translate()); }

std::string Reason::Text(const Translate& translate) const {
  // The empty text would give a catalog's header.
  std::string text = m_catalog && translate && !m_text.empty() ? translate(m_text) : m_text;
#ifdef _WIN32
  if (m_path) std::replace(text.begin(), text.end(), '/', '\\');
#endif
  if (m_fields.empty()) return text;  // a text without fields keeps any "%s" it holds
  std::vector<std::string> fields;
  for (const Reason& field : m_fields) fields.push_back(field.Text(translate));
  return Fill(text, fields);
}

Reason Reason::Joining(std::string format, std::vector<Reason> fields) {
  Reason joined = Plain(std::move(format));
  joined.m_fields = std::move(fields);
  return joined;
}

Reason AtPath(const std::string& path, Reason why) { return Reason::Joining("%s: %s", {Reason::Path(path), std::move(why)}); }

const Reason& Reason::Why() const { return m_lines ? m_fields.back() : *this; }

Reason Lines(Reason first, Reason then, bool gap) {
  Reason lines = Reason::Joining(gap ? "%s\n\n%s" : "%s\n%s", {std::move(first), std::move(then)});
  lines.m_lines = true;
  return lines;
}

Reason Joined(Reason first, Reason then) { return Reason::Joining("%s; %s", {std::move(first), std::move(then)}); }

Reason Number(long long value) { return Reason::Plain(std::to_string(value)); }
