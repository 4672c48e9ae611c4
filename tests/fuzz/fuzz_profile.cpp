// The INI layer on a random file and a random series of reads, writes,
// deletes and section clears, checked against a plain second reading of the
// bytes: reads agree, a write reads back, no second copy of a section or key
// appears, and the bytes outside the changed section stay as they were.
// Input: the file's bytes, the separator, then the operations.
#include <cstdint>

#include "ascii_text.h"
#include "fuzz_support.h"
#include "character_file_session.h"

namespace {

// A plain reading of INI bytes, written apart from the INI layer.
struct Reading {
  struct Line {
    std::size_t begin, next;  // the line's bytes [begin, next) with its line end
    std::string content;
  };
  std::vector<Line> lines;

  explicit Reading(const std::string& bytes) {
    std::size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < bytes.size()) {
      std::size_t end = bytes.find_first_of("\r\n", at);
      if (end == std::string::npos) end = bytes.size();
      std::size_t next = end;
      if (next < bytes.size()) next += (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
      lines.push_back({at, next, bytes.substr(at, end - at)});
      at = next;
    }
  }
  static std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
  }
  static bool Same(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
  }
  static bool Header(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.empty() || t[0] != '[') return false;
    name = Trim(t.substr(1, t.find(']') == std::string::npos ? std::string::npos : t.find(']') - 1));
    return true;
  }
  static bool Key(const std::string& line, std::string& key, std::string& value) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == '[' || t[0] == ';' || t[0] == '#' || t.find('=') == std::string::npos) return false;
    key = Trim(t.substr(0, t.find('=')));
    value = Trim(line.substr(line.find('=') + 1));
    return true;
  }
  // The lines [first, last) of the first section `name`; false when there is none.
  bool Section(const std::string& name, std::size_t& first, std::size_t& last) const {
    std::string n;
    for (first = 0; first < lines.size(); ++first)
      if (Header(lines[first].content, n) && Same(n, name)) break;
    if (first == lines.size()) return false;
    for (last = first + 1; last < lines.size() && !Header(lines[last].content, n); ++last) {
    }
    return true;
  }
  int Headers(const std::string& name) const {
    int count = 0;
    std::string n;
    for (const Line& l : lines) count += Header(l.content, n) && Same(n, name);
    return count;
  }
  int Keys(const std::string& section, const std::string* key) const {
    std::size_t first, last;
    int count = 0;
    std::string k, v;
    if (!Section(section, first, last)) return 0;
    for (std::size_t i = first + 1; i < last; ++i) count += Key(lines[i].content, k, v) && (!key || Same(k, *key));
    return count;
  }
  std::string Read(const std::string& section, const std::string& key) const {
    std::size_t first, last;
    std::string k, v;
    if (!Section(section, first, last)) return {};
    for (std::size_t i = first + 1; i < last; ++i)
      if (Key(lines[i].content, k, v) && Same(k, key)) return Unquoted(v);
    return {};
  }
  static std::string Unquoted(const std::string& v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
    return v;
  }
};

const char* const kSections[] = {"Quickbar", "quickbar2", "Macros", "Panels", "Chat", " Quickbar", "Q]x", ""};
const char* const kKeys[] = {"Hotkey_0", "hotkey_0", "Hotkey_1", "Macro_0", "GroupSize", "a=b", ";c", " k", ""};

std::string Pick(ByteReader& in, const char* const* names, unsigned count) {
  unsigned n = in.Below(count + 1);
  return n < count ? names[n] : in.Text(12);
}

// The bytes outside the first section `name` (or all of them when there is
// none) must be the same before and after a change of that section.
void CheckUntouched(const std::string& before, const std::string& after, const std::string& name) {
  Reading old(before);
  std::size_t first, last;
  if (!old.Section(name, first, last)) {
    Check(after.compare(0, before.size(), before) == 0, "a new section changed the bytes before it");
    return;
  }
  std::size_t head = old.lines[first].begin;
  std::size_t tail = last < old.lines.size() ? old.lines[last].begin : before.size();
  std::size_t tailSize = before.size() - tail;
  Check(after.compare(0, head, before, 0, head) == 0, "bytes before the changed section moved");
  Check(after.size() >= tailSize && after.compare(after.size() - tailSize, tailSize, before, tail, tailSize) == 0,
        "bytes after the changed section moved");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts = SplitParts(data, size, 2);
  const std::string path = ScratchFolder() + "/c.ini";
  WriteWholeFile(path, parts[0]);
  CharacterFileSession session;
  Check(session.Open(path, kScratchWaits), "a regular file did not open");
  IniDocument& file = session.Document();
  Check(file.Bytes() == parts[0], "opening changed the bytes");
  ByteReader in(parts[1]);
  for (int op = 0; op < 40 && !in.Done(); ++op) {
    std::string section = Pick(in, kSections, 8), key = Pick(in, kKeys, 9);
    const std::string before = file.Bytes();
    const Reading old(before);
    switch (in.Below(4)) {
      case 0:
        Check(file.Read(section, key) == old.Read(section, key), "a read disagrees with the plain reading");
        break;
      case 1: {
        std::string value = in.Text(16);
        if (!file.Write(section, key, value)) {
          Check(file.Bytes() == before, "a refused write changed the bytes");
          break;
        }
        Reading now(file.Bytes());
        Check(file.Read(section, key) == Reading::Unquoted(Reading::Trim(value)), "a write does not read back");
        Check(now.Read(section, key) == file.Read(section, key), "a written value reads differently");
        Check(now.Headers(section) == std::max(old.Headers(section), 1), "a write made a second section");
        Check(now.Keys(section, &key) == std::max(old.Keys(section, &key), 1), "a write made a second key");
        CheckUntouched(before, file.Bytes(), section);
        break;
      }
      case 2:
        if (!file.Delete(section, key)) {
          Check(file.Bytes() == before, "a refused delete changed the bytes");
          break;
        }
        Check(file.Read(section, key).empty() && Reading(file.Bytes()).Keys(section, &key) == 0, "a key survived");
        CheckUntouched(before, file.Bytes(), section);
        break;
      default:
        if (!file.EmptySection(section)) {
          Check(file.Bytes() == before, "a refused clear changed the bytes");
          break;
        }
        Check(Reading(file.Bytes()).Keys(section, nullptr) == 0, "a cleared section kept a key");
        Check(Reading(file.Bytes()).Headers(section) == old.Headers(section), "a clear changed the headers");
        CheckUntouched(before, file.Bytes(), section);
    }
  }
  const std::string bytes = file.Bytes();
  Check(session.Save(), "saving failed");
  Check(ReadWholeFile(path) == bytes, "the saved file differs from the bytes held");
  return 0;
}
