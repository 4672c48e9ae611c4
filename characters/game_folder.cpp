// Where the game keeps its character files, and paths inside it.
#include "character_files.h"

#include <cstdlib>
#include <sys/stat.h>
#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "path_parts.h"

namespace {

const char* const kGameFolder[] = {"Electronic Arts", "Dark Age of Camelot"};
const char* const kGameSubfolders[] = {"LotM", "DR", "Catacombs", "TOA"};

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

}  // namespace

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

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == kSeparator) return folder + name;  // a root such as "/"
  return folder + kSeparator + name;
}
