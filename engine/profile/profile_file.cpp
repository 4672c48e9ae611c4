// In-memory INI editing on the raw bytes, keeping untouched lines byte for byte.
#include "profile_file.h"

#include <algorithm>

#include "ascii_text.h"
#include "file_bytes.h"

namespace {

// One line of the buffer: its content [begin, end) without the line end, and
// where the next line starts.
struct Line {
  std::size_t begin, end, next;
};

Line LineAt(const std::string& bytes, std::size_t begin) {
  std::size_t lf = bytes.find('\n', begin);
  if (lf == std::string::npos) return {begin, bytes.size(), bytes.size()};
  std::size_t end = (lf > begin && bytes[lf - 1] == '\r') ? lf - 1 : lf;
  return {begin, end, lf + 1};
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EqualNoCase(const char* a, const char* ae, const std::string& b) {
  if (static_cast<std::size_t>(ae - a) != b.size()) return false;
  for (std::size_t i = 0; i < b.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// Blanks trimmed from both ends of [b, e).
void Trim(const char*& b, const char*& e) {
  while (b < e && IsBlank(*b)) ++b;
  while (e > b && IsBlank(e[-1])) --e;
}

// The start of a line's content, past blanks and, on the file's first line,
// a UTF-8 byte-order mark.
const char* ContentStart(const std::string& bytes, const Line& line) {
  const char* b = bytes.data() + line.begin;
  const char* e = bytes.data() + line.end;
  if (line.begin == 0 && e - b >= 3 && static_cast<unsigned char>(b[0]) == 0xEF &&
      static_cast<unsigned char>(b[1]) == 0xBB && static_cast<unsigned char>(b[2]) == 0xBF)
    b += 3;
  while (b < e && IsBlank(*b)) ++b;
  return b;
}

// A section header's trimmed name, or false when the line is no header.
bool HeaderName(const std::string& bytes, const Line& line, const char*& nb, const char*& ne) {
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
bool KeyOf(const std::string& bytes, const Line& line, const char*& kb, const char*& ke, std::size_t& eq) {
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

bool IsKeyLine(const std::string& bytes, const Line& line, const std::string& key, std::size_t& eq) {
  const char *kb, *ke;
  return KeyOf(bytes, line, kb, ke, eq) && EqualNoCase(kb, ke, key);
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

}  // namespace

bool ProfileFile::Open(const std::string& path) {
  m_path = path;
  m_bytes.clear();
  m_eol = "\r\n";
  m_open = false;
  m_failed = false;
  if (ReadFileBytes(path, m_original) == ReadStatus::Failed) {
    m_failed = true;
    return false;
  }
  m_bytes = m_original;
  std::size_t lf = m_bytes.find('\n');
  if (lf != std::string::npos) m_eol = (lf > 0 && m_bytes[lf - 1] == '\r') ? "\r\n" : "\n";
  m_open = true;
  return true;
}

ProfileFile::Range ProfileFile::FindSection(const std::string& section) const {
  Range r;
  const char *nb, *ne;
  std::size_t pos = 0;
  while (pos < m_bytes.size() && !r.found) {
    Line line = LineAt(m_bytes, pos);
    r.found = HeaderName(m_bytes, line, nb, ne) && EqualNoCase(nb, ne, section);
    pos = line.next;
  }
  if (!r.found) return r;
  r.begin = r.end = pos;
  while (r.end < m_bytes.size()) {
    Line line = LineAt(m_bytes, r.end);
    if (HeaderName(m_bytes, line, nb, ne)) break;
    r.end = line.next;
  }
  return r;
}

std::size_t ProfileFile::Read(const std::string& section, const std::string& key, std::string& value,
                              std::size_t size) const {
  value = size == 0 ? std::string() : Read(section, key);
  if (size > 0 && value.size() > size - 1) value.resize(size - 1);
  return value.size();
}

std::string ProfileFile::Read(const std::string& section, const std::string& key) const {
  if (!m_open) return {};
  Range r = FindSection(section);
  std::size_t eq;
  for (std::size_t pos = r.begin; r.found && pos < r.end;) {
    Line line = LineAt(m_bytes, pos);
    pos = line.next;
    if (!IsKeyLine(m_bytes, line, key, eq)) continue;
    const char* vb = m_bytes.data() + eq + 1;
    const char* ve = m_bytes.data() + line.end;
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

void ProfileFile::InsertLine(std::size_t at, const std::string& text) {
  if (at == m_bytes.size() && !m_bytes.empty() && m_bytes.back() != '\n') {
    // After a last line without line end: the new line goes without one
    // too, so the file keeps its missing final line end.
    m_bytes += m_eol + text;
    return;
  }
  m_bytes.insert(at, text + m_eol);
}

void ProfileFile::EraseLine(std::size_t begin, std::size_t next) {
  if (next == m_bytes.size() && m_bytes.back() != '\n' && begin > 0) {
    // Erasing a last line without line end: the line before loses its end.
    begin -= (begin >= 2 && m_bytes[begin - 2] == '\r') ? 2 : 1;
  }
  m_bytes.erase(begin, next - begin);
}

bool ProfileFile::Write(const std::string& section, const std::string& key, const std::string& value) {
  if (!m_open || !ValidSection(section) || !ValidKey(key) || HasLineBreakOrZero(value)) return Refuse();
  Range r = FindSection(section);
  if (!r.found) {
    InsertLine(m_bytes.size(), "[" + section + "]");
    InsertLine(m_bytes.size(), key + "=" + value);
    return true;
  }
  std::size_t after = r.begin;  // insertion point: after the section's last key line
  const char *kb, *ke;
  std::size_t eq;
  for (std::size_t pos = r.begin; pos < r.end;) {
    Line line = LineAt(m_bytes, pos);
    pos = line.next;
    if (!KeyOf(m_bytes, line, kb, ke, eq)) continue;
    if (EqualNoCase(kb, ke, key)) {
      m_bytes.replace(eq + 1, line.end - eq - 1, value);  // keeps the key as spelt in the file
      return true;
    }
    after = line.next;
  }
  InsertLine(after, key + "=" + value);
  return true;
}

void ProfileFile::EraseKeyLines(const std::string& section, const std::string* key) {
  Range r = FindSection(section);
  const char *kb, *ke;
  std::size_t eq;
  for (std::size_t pos = r.begin; r.found && pos < r.end;) {
    Line line = LineAt(m_bytes, pos);
    bool erase = key ? IsKeyLine(m_bytes, line, *key, eq) : KeyOf(m_bytes, line, kb, ke, eq);
    if (!erase) {
      pos = line.next;
      continue;
    }
    std::size_t before = m_bytes.size();
    EraseLine(line.begin, line.next);
    r.end -= before - m_bytes.size();
    pos = std::min(line.begin, m_bytes.size());
  }
}

bool ProfileFile::Delete(const std::string& section, const std::string& key) {
  if (!m_open || !ValidSection(section) || !ValidKey(key)) return Refuse();
  // Every duplicate goes, so that no later line can surface as the key's value.
  EraseKeyLines(section, &key);
  return true;
}

bool ProfileFile::EmptySection(const std::string& section) {
  if (!m_open || !ValidSection(section)) return Refuse();
  EraseKeyLines(section, nullptr);
  return true;
}

bool ProfileFile::Changed() const { return m_open && m_bytes != m_original; }

bool ProfileFile::Save() {
  if (!m_open) return Refuse();
  if (m_bytes == m_original) return true;
  if (!ReplaceFileAtomically(m_path, m_bytes)) return Refuse();
  m_original = m_bytes;
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
