// Listing a folder's character files, and the spellcrafter mark.
#include "character_files.h"

#include <algorithm>
#include <vector>

#include "file_error.h"
#include "paths.h"
#include "file_read.h"
#include "path_parts.h"

namespace {

// The start of the line that `at` stands on, when its line feed lies in
// [begin, at); null when the line began before `begin`.
const char* LineStartBefore(const char* begin, const char* at) {
  for (const char* p = at; p > begin; --p)
    if (p[-1] == '\n') return p;
  return nullptr;
}

}  // namespace

CharacterFileList ListCharacterFiles(const std::string& folder) {
  CharacterFileList list;
#ifdef _WIN32
  // An empty folder names the current drive's root, as the game's tools have it.
  std::string where = folder.empty() ? std::string(1, kPathSeparator) : folder;
#else
  // No folder is known: list nothing rather than the whole system's root.
  if (folder.empty()) {
    list.error = R_("no folder known");
    return list;
  }
  const std::string& where = folder;
#endif
  std::vector<std::string> names;
  if (!ListFolder(where, names)) {
    list.error = LastFileError();
    return list;
  }
  for (const std::string& name : names) {
    if (!IsCharacterFileName(name)) continue;
    list.fileNames.push_back(name);
    list.spellcrafterFlags.push_back(IsSpellcrafterFile(JoinPath(folder, name)));
  }
  return list;
}

bool IsCharacterFileName(const std::string& fileName) {
  return EndsWithIniNoCase(fileName) && ServerNumberOf(fileName) > 0;
}

bool IsSpellcrafterFile(const std::string& path) {
  static const std::string kMark = "44,13,";
  RegularFileReader file;
  if (!file.Open(path)) return false;
  // The buffer keeps the last bytes of the previous chunk ahead of the new
  // one, so that a mark across a chunk border is found.
  constexpr std::size_t kChunk = 64 * 1024;
  const std::size_t keep = kMark.size() - 1;
  std::vector<char> buffer(keep + kChunk);
  std::size_t carried = 0;
  std::string lineHead;  // the first bytes of the line that runs into the buffer
  for (;;) {
    long long n = file.Read(buffer.data() + carried, kChunk);
    if (n <= 0) return false;
    const char* begin = buffer.data();
    const char* fresh = begin + carried;
    const char* end = fresh + n;
    // The search ends at the first zero byte.
    const char* zero = std::find(fresh, end, '\0');
    const char* hit = std::search(begin, zero, kMark.begin(), kMark.end());
    if (hit != zero) {
      const char* start = LineStartBefore(begin, hit);
      std::string head = start ? std::string(start, zero) : lineHead + std::string(fresh, zero);
      return head.size() >= 7 && SameTextNoCase(head.substr(0, 7).c_str(), "Hotkey_");
    }
    if (zero != end) return false;
    // Keep the head of the line still open at the chunk's end.
    if (const char* start = LineStartBefore(fresh, end))
      lineHead.assign(start, std::min<std::size_t>(7, static_cast<std::size_t>(end - start)));
    else if (lineHead.size() < 7)
      lineHead.append(fresh, std::min<std::size_t>(7 - lineHead.size(), static_cast<std::size_t>(n)));
    carried = std::min(keep, static_cast<std::size_t>(end - begin));
    std::copy(end - carried, end, buffer.data());
  }
}
