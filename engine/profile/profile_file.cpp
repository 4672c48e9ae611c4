// In-memory INI editing that keeps untouched lines byte for byte.
#include "profile_file.h"

#include "file_bytes.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const char* a, std::size_t na, const std::string& b) {
  if (na != b.size()) return false;
  for (std::size_t i = 0; i < na; ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// Blanks trimmed from both ends of [b, e).
void Trim(const char*& b, const char*& e) {
  while (b < e && IsBlank(*b)) ++b;
  while (e > b && IsBlank(e[-1])) --e;
}

// A line's content with a leading UTF-8 byte-order mark skipped (first line only).
const char* ContentStart(const std::string& text, bool first) {
  const char* p = text.data();
  if (first && text.size() >= 3 && static_cast<unsigned char>(p[0]) == 0xEF &&
      static_cast<unsigned char>(p[1]) == 0xBB && static_cast<unsigned char>(p[2]) == 0xBF)
    p += 3;
  return p;
}

// A section header's trimmed name, or false when the line is no header.
bool HeaderName(const std::string& text, bool first, const char*& nb, const char*& ne) {
  const char* b = ContentStart(text, first);
  const char* e = text.data() + text.size();
  while (b < e && IsBlank(*b)) ++b;
  if (b == e || *b != '[') return false;
  ++b;
  const char* close = b;
  while (close < e && *close != ']') ++close;
  nb = b;
  ne = close;
  Trim(nb, ne);
  return true;
}

// A key line's trimmed key and the position of its '='; false for headers,
// comments and lines without '='.
bool KeyOf(const std::string& text, bool first, const char*& kb, const char*& ke, std::size_t& eq) {
  const char* b = ContentStart(text, first);
  const char* e = text.data() + text.size();
  while (b < e && IsBlank(*b)) ++b;
  if (b == e || *b == '[' || *b == ';' || *b == '#') return false;
  const char* p = b;
  while (p < e && *p != '=') ++p;
  if (p == e) return false;
  kb = b;
  ke = p;
  Trim(kb, ke);
  eq = static_cast<std::size_t>(p - text.data());
  return true;
}

bool HasLineBreakOrZero(const std::string& s) {
  return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// A name that cannot be read back as itself (outer blanks) would never match.
bool HasOuterBlanks(const std::string& s) {
  return !s.empty() && (IsBlank(s.front()) || IsBlank(s.back()));
}

bool ValidSection(const std::string& s) {
  return !s.empty() && !HasLineBreakOrZero(s) && s.find(']') == std::string::npos && !HasOuterBlanks(s);
}

bool ValidKey(const std::string& k) {
  return !k.empty() && !HasLineBreakOrZero(k) && k.find('=') == std::string::npos &&
         k.front() != '[' && k.front() != ';' && k.front() != '#' && !HasOuterBlanks(k);
}

}  // namespace

bool ProfileFile::Open(const std::string& path) {
  m_path = path;
  m_original.clear();
  m_lines.clear();
  m_eol = "\r\n";
  m_open = false;
  m_failed = false;
  ReadStatus status = ReadFileBytes(path, m_original);
  if (status == ReadStatus::Failed) {
    m_failed = true;
    return false;
  }
  std::size_t start = 0;
  bool eolKnown = false;
  while (start < m_original.size()) {
    std::size_t lf = m_original.find('\n', start);
    Line line;
    if (lf == std::string::npos) {
      line.text = m_original.substr(start);
      start = m_original.size();
    } else {
      std::size_t end = lf;
      if (end > start && m_original[end - 1] == '\r') --end;
      line.text = m_original.substr(start, end - start);
      line.eol = m_original.substr(end, lf + 1 - end);
      start = lf + 1;
      if (!eolKnown) {
        m_eol = line.eol;  // new lines follow the file's own style
        eolKnown = true;
      }
    }
    m_lines.push_back(std::move(line));
  }
  m_open = true;
  return true;
}

ProfileFile::Range ProfileFile::FindSection(const std::string& section) const {
  Range r;
  const char *nb, *ne;
  std::size_t i = 0;
  for (; i < m_lines.size(); ++i) {
    if (HeaderName(m_lines[i].text, i == 0, nb, ne) &&
        EqualNoCase(nb, static_cast<std::size_t>(ne - nb), section))
      break;
  }
  if (i == m_lines.size()) return r;
  r.found = true;
  r.begin = i + 1;
  r.end = r.begin;
  while (r.end < m_lines.size() && !HeaderName(m_lines[r.end].text, false, nb, ne)) ++r.end;
  return r;
}

std::size_t ProfileFile::Read(const std::string& section, const std::string& key, std::string& value,
                              std::size_t size) const {
  value = Read(section, key);
  if (size == 0) value.clear();
  if (value.size() > size - 1 && size > 0) value.resize(size - 1);
  return value.size();
}

std::string ProfileFile::Read(const std::string& section, const std::string& key) const {
  if (!m_open) return {};
  Range r = FindSection(section);
  if (!r.found) return {};
  const char *kb, *ke;
  std::size_t eq;
  for (std::size_t i = r.begin; i < r.end; ++i) {
    const std::string& text = m_lines[i].text;
    if (!KeyOf(text, false, kb, ke, eq) || !EqualNoCase(kb, static_cast<std::size_t>(ke - kb), key))
      continue;
    const char* vb = text.data() + eq + 1;
    const char* ve = text.data() + text.size();
    Trim(vb, ve);
    if (ve - vb >= 2 && (*vb == '"' || *vb == '\'') && ve[-1] == *vb) {
      ++vb;
      --ve;
    }
    return std::string(vb, ve);
  }
  return {};
}

bool ProfileFile::Refuse() {
  m_failed = true;
  return false;
}

void ProfileFile::InsertLine(std::size_t at, std::string text) {
  Line line{std::move(text), m_eol};
  if (at == m_lines.size() && !m_lines.empty() && m_lines.back().eol.empty()) {
    // Appending after a last line without line end: it gets one, the new
    // last line goes without, so the file keeps its missing final line end.
    m_lines.back().eol = m_eol;
    line.eol.clear();
  }
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void ProfileFile::EraseLine(std::size_t at) {
  bool lastWithoutEnd = at + 1 == m_lines.size() && m_lines[at].eol.empty();
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(at));
  if (lastWithoutEnd && !m_lines.empty()) m_lines.back().eol.clear();
}

bool ProfileFile::Write(const std::string& section, const std::string& key, const std::string& value) {
  if (!m_open || !ValidSection(section) || !ValidKey(key) || HasLineBreakOrZero(value)) return Refuse();
  Range r = FindSection(section);
  if (!r.found) {
    InsertLine(m_lines.size(), "[" + section + "]");
    InsertLine(m_lines.size(), key + "=" + value);
    return true;
  }
  const char *kb, *ke;
  std::size_t eq;
  std::size_t lastKey = r.begin;  // insertion point: after the section's last key line
  for (std::size_t i = r.begin; i < r.end; ++i) {
    std::string& text = m_lines[i].text;
    if (!KeyOf(text, false, kb, ke, eq)) continue;
    if (EqualNoCase(kb, static_cast<std::size_t>(ke - kb), key)) {
      text.replace(eq + 1, std::string::npos, value);  // keeps the key as spelt in the file
      return true;
    }
    lastKey = i + 1;
  }
  InsertLine(lastKey, key + "=" + value);
  return true;
}

bool ProfileFile::Delete(const std::string& section, const std::string& key) {
  if (!m_open || !ValidSection(section) || !ValidKey(key)) return Refuse();
  Range r = FindSection(section);
  if (!r.found) return true;
  const char *kb, *ke;
  std::size_t eq;
  // Every duplicate goes, so that a later line cannot surface as the key's value.
  for (std::size_t i = r.end; i-- > r.begin;) {
    if (KeyOf(m_lines[i].text, false, kb, ke, eq) &&
        EqualNoCase(kb, static_cast<std::size_t>(ke - kb), key))
      EraseLine(i);
  }
  return true;
}

bool ProfileFile::EmptySection(const std::string& section) {
  if (!m_open || !ValidSection(section)) return Refuse();
  Range r = FindSection(section);
  if (!r.found) return true;
  const char *kb, *ke;
  std::size_t eq;
  for (std::size_t i = r.end; i-- > r.begin;)
    if (KeyOf(m_lines[i].text, false, kb, ke, eq)) EraseLine(i);
  return true;
}

std::string ProfileFile::Bytes() const {
  std::string out;
  out.reserve(m_original.size() + 256);
  for (const Line& line : m_lines) {
    out += line.text;
    out += line.eol;
  }
  return out;
}

bool ProfileFile::Changed() const { return m_open && Bytes() != m_original; }

bool ProfileFile::Save() {
  if (!m_open) return Refuse();
  std::string bytes = Bytes();
  if (bytes == m_original) return true;
  if (!ReplaceFileAtomically(m_path, bytes)) return Refuse();
  m_original = std::move(bytes);
  return true;
}

std::size_t ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                              std::string& value, std::size_t size) {
  ProfileFile file;
  if (!file.Open(path)) {
    value.clear();
    return 0;
  }
  return file.Read(section, key, value, size);
}

namespace {

template <typename Change>
bool ChangeProfile(const std::string& path, Change change) {
  ProfileFile file;
  return file.Open(path) && change(file) && file.Save();
}

}  // namespace

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  return ChangeProfile(path, [&](ProfileFile& f) { return f.Write(section, key, value); });
}

bool DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key) {
  return ChangeProfile(path, [&](ProfileFile& f) { return f.Delete(section, key); });
}

bool EmptyProfileSection(const std::string& path, const std::string& section) {
  return ChangeProfile(path, [&](ProfileFile& f) { return f.EmptySection(section); });
}
