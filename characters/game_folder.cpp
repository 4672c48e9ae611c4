// Where the game keeps its character files, and paths inside it.
#include "character_files.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "file_bytes.h"
#include "path_parts.h"

namespace {

const char* const kGameFolder[] = {"Electronic Arts", "Dark Age of Camelot"};
const char* const kGameSubfolders[] = {"LotM", "DR", "Catacombs", "TOA"};

// The user's roaming application-data folder: "APPDATA" when set; on Linux,
// where the game runs under Wine, the Wine prefix's roaming folder.
std::string ApplicationDataFolder() {
  std::string appData = EnvironmentText("APPDATA");
  if (!appData.empty()) return appData;
#ifdef _WIN32
  return {};
#else
  std::string prefix = EnvironmentText("WINEPREFIX");
  if (prefix.empty()) {
    std::string home = EnvironmentText("HOME");
    if (home.empty()) return {};
    prefix = home + "/.wine";
  }
  std::string user = EnvironmentText("USER");
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

}  // namespace

bool PathExists(const std::string& path) { return FileOrFolderExists(path); }

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
