#include "character_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <vector>
#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "ascii_text.h"
#include "file_bytes.h"

namespace {

#ifdef _WIN32
const char kSeparator = '\\';
#else
const char kSeparator = '/';
#endif

struct Server {
  int number;
  const char* name;
};

const Server kServers[] = {{3, "Avalon"},  {4, "Lyonesse"},  {7, "Stonehenge"},   {8, "Logres"},
                           {11, "Camlann"}, {12, "Dartmoor"}, {18, "Glastonbury"}, {19, "Salisbury"}};

const char* const kGameFolder[] = {"Electronic Arts", "Dark Age of Camelot"};
const char* const kGameSubfolders[] = {"LotM", "DR", "Catacombs", "TOA"};

// The position of the last '\', or of the last '/' when there is no '\'.
std::string::size_type LastSeparator(const std::string& path) {
  auto cut = path.rfind('\\');
  return cut != std::string::npos ? cut : path.rfind('/');
}

bool EndsWithIniNoCase(const std::string& name) {
  return name.size() >= 4 && SameTextNoCase(name.c_str() + name.size() - 4, ".ini");
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The user's roaming application-data folder: "APPDATA" when set; on Linux,
// where the game runs under Wine, the Wine prefix's roaming folder.
std::string ApplicationDataFolder() {
  std::string appData = EnvironmentValue("APPDATA");
  if (!appData.empty()) return appData;
#ifdef _WIN32
  return {};
#else
  std::string prefix = EnvironmentValue("WINEPREFIX");
  if (prefix.empty()) {
    std::string home = EnvironmentValue("HOME");
    if (home.empty()) return {};
    prefix = home + "/.wine";
  }
  std::string user = EnvironmentValue("USER");
  if (user.empty()) {
    const passwd* pw = ::getpwuid(::getuid());
    if (pw && pw->pw_name) user = pw->pw_name;
  }
  if (user.empty()) return {};
  std::string users = prefix + "/drive_c/users/" + user;
  std::string older = users + "/Application Data";  // prefixes made by older Wine versions
  if (!PathExists(users + "/AppData/Roaming") && PathExists(older)) return older;
  return users + "/AppData/Roaming";
#endif
}

// The start of the line that `at` stands on, when its line feed lies in
// [begin, at); null when the line began before `begin`.
const char* LineStartBefore(const char* begin, const char* at) {
  for (const char* p = at; p > begin; --p)
    if (p[-1] == '\n') return p;
  return nullptr;
}

}  // namespace

int ServerNumberOf(const std::string& fileName) {
  auto dash = fileName.rfind('-');
  return LeadingInt(fileName.c_str() + (dash == std::string::npos ? 0 : dash + 1));
}

std::string ServerName(int serverNumber) {
  for (const Server& s : kServers)
    if (s.number == serverNumber) return s.name;
  return std::to_string(serverNumber);
}

std::string CharacterDisplayText(const std::string& path) {
  auto cut = LastSeparator(path);
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  if (name.empty()) return "<keiner>";
  if (EndsWithIniNoCase(name)) name.resize(name.size() - 4);
  auto dash = name.rfind('-');
  std::string character = (dash == std::string::npos || dash == 0) ? name : name.substr(0, dash);
  return character + " - " + ServerName(ServerNumberOf(name));
}

std::string CharacterNameOf(const std::string& fileName) {
  auto dash = fileName.find('-');
  return dash == std::string::npos ? std::string() : fileName.substr(0, dash);
}

std::string CharacterListEntry(const std::string& fileName) {
  return ServerName(ServerNumberOf(fileName)) + " - " + CharacterNameOf(fileName) + " (" + fileName + ")";
}

bool PathExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::string FindUserFolder(const std::string& characterPath) {
  auto cut = LastSeparator(characterPath);
  if (cut != std::string::npos && cut > 0) return characterPath.substr(0, cut);
  std::string base = ApplicationDataFolder();
  if (base.empty()) return {};
  for (const char* part : kGameFolder) base = JoinPath(base, part);
  for (const char* sub : kGameSubfolders) {
    std::string candidate = JoinPath(base, sub);
    if (PathExists(candidate)) return candidate;
  }
  return base;
}

CharacterFileList ListCharacterFiles(const std::string& folder) {
  CharacterFileList list;
#ifdef _WIN32
  // An empty folder names the current drive's root, as the game's tools have it.
  std::string where = folder.empty() ? std::string(1, kSeparator) : folder;
#else
  // No folder is known: list nothing rather than the whole system's root.
  if (folder.empty()) return list;
  const std::string& where = folder;
#endif
  std::error_code ec;
  std::filesystem::directory_iterator it(where, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (!EndsWithIniNoCase(name) || ServerNumberOf(name) <= 0) continue;
    list.fileNames.push_back(name);
    list.spellcrafterFlags.push_back(IsSpellcrafterFile(JoinPath(folder, name)));
  }
  return list;
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
      std::string head = LineStartBefore(begin, hit) ? std::string(LineStartBefore(begin, hit), zero)
                                                     : lineHead + std::string(fresh, zero);
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

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == kSeparator) return folder + name;  // a root such as "/"
  return folder + kSeparator + name;
}
