#include "character_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

// First 7 bytes of a line compared with "Hotkey_", ignoring case.
bool StartsWithHotkey(const char* line, std::size_t available) {
  static const char kHotkey[] = "hotkey_";
  if (available < 7) return false;
  for (int i = 0; i < 7; ++i)
    if (LowerAscii(line[i]) != kHotkey[i]) return false;
  return true;
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
  int server = LeadingInt(name.c_str() + (dash == std::string::npos ? 0 : dash + 1));
  return character + " - " + ServerName(server);
}

std::string CharacterListEntry(const std::string& fileName) {
  auto dash = fileName.find('-');
  std::string character = dash == std::string::npos ? std::string() : fileName.substr(0, dash);
  return ServerName(ServerNumberOf(fileName)) + " - " + character + " (" + fileName + ")";
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
  std::error_code ec;
  std::string where = folder.empty() ? std::string(1, kSeparator) : folder;
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
  static const char kMark[] = "44,13,";
  constexpr std::size_t kMarkLength = sizeof kMark - 1;
  int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  // The buffer holds the last bytes of the previous chunk ahead of the new
  // one, so that a mark across a chunk border is found.
  constexpr std::size_t kChunk = 64 * 1024;
  std::string buffer(kMarkLength - 1 + kChunk, '\0');
  std::size_t carried = 0;
  std::string lineHead;  // the first bytes of the line that runs into the buffer
  bool result = false;
  for (;;) {
    ssize_t n = ::read(fd, &buffer[carried], kChunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    std::size_t size = carried + static_cast<std::size_t>(n);
    const char* data = buffer.data();
    // The search ends at the first zero byte.
    const void* zero = std::memchr(data + carried, '\0', static_cast<std::size_t>(n));
    bool last = zero != nullptr;
    if (last) size = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
    const void* hit = ::memmem(data, size, kMark, kMarkLength);
    if (hit) {
      const char* at = static_cast<const char*>(hit);
      const char* lf = static_cast<const char*>(::memrchr(data, '\n', static_cast<std::size_t>(at - data)));
      if (lf)
        result = StartsWithHotkey(lf + 1, size - static_cast<std::size_t>(lf + 1 - data));
      else
        result = StartsWithHotkey((lineHead + std::string(data + carried, size - carried)).c_str(),
                                  lineHead.size() + size - carried);
      break;
    }
    if (last) break;
    // Keep the head of the line still open at the chunk's end.
    const char* lf = static_cast<const char*>(::memrchr(data + carried, '\n', size - carried));
    if (lf)
      lineHead.assign(lf + 1, std::min<std::size_t>(7, static_cast<std::size_t>(data + size - (lf + 1))));
    else if (lineHead.size() < 7)
      lineHead.append(data + carried, std::min<std::size_t>(7 - lineHead.size(), size - carried));
    carried = std::min(kMarkLength - 1, size);
    std::memmove(&buffer[0], data + size - carried, carried);
  }
  ::close(fd);
  return result;
}

std::string JoinPath(const std::string& folder, const std::string& name) { return folder + kSeparator + name; }
