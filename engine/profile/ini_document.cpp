// In-memory INI editing on the raw bytes, keeping untouched lines byte for byte.
#include "ini_document.h"

#include <algorithm>
#include <cstring>

#include "ascii_text.h"

namespace {

// One line of a text: its content [begin, end) without the line end, and
// where the next line starts. A line ends at LF, CR LF or a lone CR.
struct Line {
  std::size_t begin, end, next;
};

Line LineAt(std::string_view text, std::size_t begin) {
  const char* p = text.data() + begin;
  const char* e = text.data() + text.size();
  while (p < e && *p != '\n' && *p != '\r') ++p;
  std::size_t end = static_cast<std::size_t>(p - text.data());
  if (p == e) return {begin, end, end};
  std::size_t next = end + 1;
  if (*p == '\r' && next < text.size() && text[next] == '\n') ++next;
  return {begin, end, next};
}

bool EndsWithLineEnd(std::string_view s) { return !s.empty() && (s.back() == '\n' || s.back() == '\r'); }

std::string LowerName(const char* b, const char* e) { return NoCaseKey(std::string(b, e)); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The name in [b, e).
std::string_view NameAt(const char* b, const char* e) { return std::string_view(b, static_cast<std::size_t>(e - b)); }

// Blanks trimmed from both ends of [b, e).
void Trim(const char*& b, const char*& e) {
  while (b < e && IsBlank(*b)) ++b;
  while (e > b && IsBlank(e[-1])) --e;
}

// The start of a line's content, past blanks. (A byte-order mark is kept
// apart from the lines.)
const char* ContentStart(std::string_view bytes, const Line& line) {
  const char* b = bytes.data() + line.begin;
  const char* e = bytes.data() + line.end;
  while (b < e && IsBlank(*b)) ++b;
  return b;
}

// A section header's trimmed name, or false when the line is no header.
bool HeaderName(std::string_view bytes, const Line& line, const char*& nb, const char*& ne) {
  const char* b = ContentStart(bytes, line);
  const char* e = bytes.data() + line.end;
  if (b == e || *b != '[') return false;
  nb = ++b;
  while (b < e && *b != ']') ++b;
  ne = b;
  Trim(nb, ne);
  return true;
}

// A key line's trimmed key and the offset of its '='; false for headers,
// comments and lines without '='.
bool KeyOf(std::string_view bytes, const Line& line, const char*& kb, const char*& ke, std::size_t& eq) {
  const char* b = ContentStart(bytes, line);
  const char* e = bytes.data() + line.end;
  if (b == e || *b == '[' || *b == ';' || *b == '#') return false;
  const char* p = b;
  while (p < e && *p != '=') ++p;
  if (p == e) return false;
  kb = b;
  ke = p;
  Trim(kb, ke);
  eq = static_cast<std::size_t>(p - bytes.data());
  return true;
}

bool IsKeyLine(std::string_view bytes, const Line& line, const std::string& key, std::size_t& eq) {
  const char *kb, *ke;
  return KeyOf(bytes, line, kb, ke, eq) && EqualNoCase(NameAt(kb, ke), key);
}

bool HasLineBreakOrZero(const std::string& s) {
  return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// A name with outer blanks could never be read back as itself.
bool HasOuterBlanks(const std::string& s) { return !s.empty() && (IsBlank(s.front()) || IsBlank(s.back())); }

bool ValidSection(const std::string& s) {
  return !s.empty() && !HasLineBreakOrZero(s) && s.find(']') == std::string::npos && !HasOuterBlanks(s);
}

bool ValidKey(const std::string& k) {
  return !k.empty() && !HasLineBreakOrZero(k) && k.find('=') == std::string::npos && k.front() != '[' &&
         k.front() != ';' && k.front() != '#' && !HasOuterBlanks(k);
}

// Why a section name is refused; empty when it is fine.
Reason SectionRefusal(const std::string& section) {
  if (ValidSection(section)) return {};
  return Reason(R_("the section name \"%s\" cannot stand in the file"), {Reason::Plain(section)});
}

// Why Write refuses its arguments; empty when they are fine.
Reason WriteRefusal(const std::string& section, const std::string& key, const std::string& value) {
  if (!ValidSection(section)) return SectionRefusal(section);
  if (!ValidKey(key)) return Reason(R_("the key name \"%s\" cannot stand in the file"), {Reason::Plain(key)});
  if (HasLineBreakOrZero(value)) return AtPath(key, R_("the value holds a line break"));
  return {};
}

}  // namespace

IniDocument::IniDocument(std::string bytes) { Load(std::move(bytes)); }

void IniDocument::Load(std::string bytes) {
  Clear();
  m_original = std::move(bytes);
  Split(m_original);
}

void IniDocument::Clear() {
  ClearContent();
  m_original.clear();
  m_original.shrink_to_fit();
  m_failed = false;
  m_error = {};
}

void IniDocument::ClearContent() {
  m_bom.clear();
  m_sections.clear();
  m_index.clear();
  m_eol = "\r\n";
  m_replaced.clear();
  m_replaced.shrink_to_fit();
  m_saved = false;
}

// Cuts the bytes into sections at their header lines and indexes the names.
// The sections are views into `bytes`, which outlives them.
void IniDocument::Split(std::string_view bytes) {
  std::size_t start = 0;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    m_bom = std::string(bytes.substr(0, 3));
    start = 3;
  }
  Line first = LineAt(bytes, start);
  if (first.next > first.end) m_eol = std::string(bytes.substr(first.end, first.next - first.end));
  m_sections.push_back({});
  std::size_t sectionStart = start;
  const char *nb, *ne;
  // Headers are found by their '[' (a fast search), each taken when only
  // blanks stand between it and the start of its line.
  for (std::size_t pos = start; pos < bytes.size();) {
    const void* found = std::memchr(bytes.data() + pos, '[', bytes.size() - pos);
    if (!found) break;
    std::size_t at = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data()), begin = at;
    while (begin > start && IsBlank(bytes[begin - 1])) --begin;
    if (begin > start && bytes[begin - 1] != '\n' && bytes[begin - 1] != '\r') {
      pos = at + 1;
      continue;
    }
    Line line = LineAt(bytes, begin);
    if (HeaderName(bytes, line, nb, ne)) {
      m_sections.back().view = bytes.substr(sectionStart, line.begin - sectionStart);
      m_index.emplace(LowerName(nb, ne), m_sections.size());  // the first of duplicates stays
      m_sections.push_back({});
      m_sections.back().hasHeader = true;
      sectionStart = line.begin;
    }
    pos = line.next;
  }
  m_sections.back().view = bytes.substr(sectionStart);
}

std::string& IniDocument::Own(Section& section) {
  section.indexed = false;  // the caller changes the text
  if (!section.owned) {
    section.own.assign(section.view.data(), section.view.size());
    section.owned = true;
  }
  return section.own;
}

// After a save, the bytes saved become the ones read: joined once, when
// the file is changed again (a run that saves and closes never joins them).
void IniDocument::TakeSavedAsRead() {
  if (!m_saved) return;
  std::string saved = Bytes();
  ClearContent();
  m_original = std::move(saved);
  Split(m_original);
}

const IniDocument::Section* IniDocument::Find(const std::string& name) const {
  auto it = m_index.find(LowerName(name.data(), name.data() + name.size()));
  return it == m_index.end() ? nullptr : &m_sections[it->second];
}

IniDocument::Section* IniDocument::Find(const std::string& name) {
  return const_cast<Section*>(static_cast<const IniDocument*>(this)->Find(name));
}

// The file's bytes end without a line end (a last line that has none).
bool IniDocument::EndsOpen() const {
  for (auto it = m_sections.rbegin(); it != m_sections.rend(); ++it)
    if (!it->Text().empty()) return !EndsWithLineEnd(it->Text());
  return !m_bom.empty();
}

std::size_t IniDocument::FindKey(const Section& section, const std::string& key) {
  std::string_view text = section.Text();
  const char *kb, *ke;
  std::size_t eq;
  if (!section.indexed) {
    section.keys.clear();
    section.afterLastKey = LineAt(text, 0).next;
    for (std::size_t pos = section.afterLastKey; pos < text.size();) {
      Line line = LineAt(text, pos);
      pos = line.next;
      if (!KeyOf(text, line, kb, ke, eq)) continue;
      section.keys.push_back({HashNoCase(NameAt(kb, ke)), static_cast<std::uint32_t>(line.begin)});
      section.afterLastKey = line.next;
    }
    section.indexed = true;
  }
  // The first line of the key, in file order, is the one that counts.
  const std::uint32_t hash = HashNoCase(key);
  for (const Section::KeyLine& line : section.keys)
    if (line.hash == hash && KeyOf(text, LineAt(text, line.at), kb, ke, eq) && EqualNoCase(NameAt(kb, ke), key))
      return line.at;
  return std::string::npos;
}

std::size_t IniDocument::Read(const std::string& section, const std::string& key, std::string& value,
                              std::size_t size) const {
  value = size == 0 ? std::string() : Read(section, key);
  if (size > 0 && value.size() > size - 1) value.resize(size - 1);
  return value.size();
}

std::string IniDocument::Read(const std::string& section, const std::string& key) const {
  const Section* s = Find(section);
  const std::size_t at = s ? FindKey(*s, key) : std::string::npos;
  if (at == std::string::npos) return {};
  std::string_view text = s->Text();
  const Line line = LineAt(text, at);
  const char *kb, *ke;
  std::size_t eq;
  KeyOf(text, line, kb, ke, eq);
  const char* vb = text.data() + eq + 1;
  const char* ve = text.data() + line.end;
  Trim(vb, ve);
  if (ve - vb >= 2 && (*vb == '"' || *vb == '\'') && ve[-1] == *vb) {
    ++vb;
    --ve;
  }
  return std::string(vb, ve);
}

bool IniDocument::Refuse(const Reason& reason) {
  if (!m_failed) m_error = reason;
  m_failed = true;
  return false;
}

void IniDocument::Fail(const Reason& reason) { Refuse(reason); }

void IniDocument::InsertLine(Section& section, std::size_t at, const std::string& line) {
  std::string& text = Own(section);
  if (at == text.size() && !text.empty() && !EndsWithLineEnd(text)) {
    // After a last line without line end: the new line goes without one
    // too, so the file keeps its missing final line end.
    text += m_eol + line;
    return;
  }
  text.insert(at, line + m_eol);
}

void IniDocument::EraseLine(Section& section, std::size_t begin, std::size_t next) {
  std::string& text = Own(section);
  if (next == text.size() && !EndsWithLineEnd(text) && begin > 0) {
    // Erasing a last line without line end: the line before loses its end.
    begin -= (begin >= 2 && text[begin - 2] == '\r' && text[begin - 1] == '\n') ? 2 : 1;
  }
  text.erase(begin, next - begin);
}

bool IniDocument::Write(const std::string& section, const std::string& key, const std::string& value) {
  Reason refusal = WriteRefusal(section, key, value);
  if (!refusal.empty()) return Refuse(refusal);
  TakeSavedAsRead();
  Section* s = Find(section);
  if (!s) {
    std::string header = "[" + section + "]";
    Section added;
    added.hasHeader = added.owned = true;
    if (EndsOpen()) {
      // The file keeps its missing final line end: the old last line gets one.
      for (auto it = m_sections.rbegin(); it != m_sections.rend(); ++it)
        if (!it->Text().empty()) {
          Own(*it) += m_eol;
          break;
        }
      if (m_sections.size() == 1 && m_sections[0].Text().empty()) Own(m_sections[0]) = m_eol;  // after a lone mark
      added.own = header + m_eol + key + "=" + value;
    } else {
      added.own = header + m_eol + key + "=" + value + m_eol;
    }
    m_sections.push_back(std::move(added));
    m_index.emplace(LowerName(section.data(), section.data() + section.size()), m_sections.size() - 1);
    return true;
  }
  const std::size_t at = FindKey(*s, key);
  if (at == std::string::npos) {
    InsertLine(*s, s->afterLastKey, key + "=" + value);  // after the section's last key line
    return true;
  }
  std::string& text = Own(*s);
  const Line line = LineAt(text, at);
  const char *kb, *ke;
  std::size_t eq;
  KeyOf(text, line, kb, ke, eq);
  text.replace(eq + 1, line.end - eq - 1, value);  // keeps the key as spelt in the file
  return true;
}

void IniDocument::EraseKeyLines(const std::string& section, const std::string* key) {
  TakeSavedAsRead();
  Section* s = Find(section);
  if (!s) return;
  const char *kb, *ke;
  std::size_t eq;
  // From the key's first line on (an absent key changes nothing); read from
  // the view until the first line to go, the section is copied then.
  std::size_t from = key ? FindKey(*s, *key) : LineAt(s->Text(), 0).next;
  for (std::size_t pos = from; pos < s->Text().size();) {
    std::string_view text = s->Text();
    Line line = LineAt(text, pos);
    bool erase = key ? IsKeyLine(text, line, *key, eq) : KeyOf(text, line, kb, ke, eq);
    if (!erase) {
      pos = line.next;
      continue;
    }
    EraseLine(*s, line.begin, line.next);
    pos = std::min(line.begin, s->Text().size());
  }
}

bool IniDocument::Delete(const std::string& section, const std::string& key) {
  if (!ValidSection(section) || !ValidKey(key)) return Refuse(WriteRefusal(section, key, {}));
  // Every duplicate goes, so that no later line can surface as the key's value.
  EraseKeyLines(section, &key);
  return true;
}

bool IniDocument::EmptySection(const std::string& section) {
  if (!ValidSection(section)) return Refuse(SectionRefusal(section));
  EraseKeyLines(section, nullptr);
  return true;
}

ByteParts IniDocument::Parts() const {
  ByteParts parts;
  if (!m_bom.empty()) parts.push_back(m_bom);
  for (const Section& s : m_sections) {
    std::string_view text = s.Text();
    if (text.empty()) continue;
    // Untouched neighbours are one run of the bytes read.
    if (!parts.empty() && !s.owned && parts.back().data() + parts.back().size() == text.data())
      parts.back() = std::string_view(parts.back().data(), parts.back().size() + text.size());
    else
      parts.push_back(text);
  }
  return parts;
}

std::string IniDocument::Bytes() const {
  ByteParts parts = Parts();
  std::size_t size = 0;
  for (std::string_view part : parts) size += part.size();
  std::string bytes;
  bytes.reserve(size);
  for (std::string_view part : parts) bytes.append(part);
  return bytes;
}

bool IniDocument::SetBytes(std::string bytes) {
  TakeSavedAsRead();
  ClearContent();
  m_replaced = std::move(bytes);
  Split(m_replaced);
  return true;
}

namespace {

bool SameBytes(const ByteParts& parts, std::string_view bytes) {
  std::size_t at = 0;
  for (std::string_view part : parts) {
    if (part.size() > bytes.size() - at || bytes.compare(at, part.size(), part) != 0) return false;
    at += part.size();
  }
  return at == bytes.size();
}

}  // namespace

bool IniDocument::Changed() const { return !m_saved && !SameBytes(Parts(), m_original); }

void IniDocument::MarkSaved() { m_saved = true; }

