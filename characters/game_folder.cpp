// Where the game keeps its character files, and paths inside it.
#include "character_files.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "paths.h"
#include "environment.h"
#include "path_parts.h"
#include "wine_prefixes.h"

namespace {

const char* const kGameFolder[] = {"Electronic Arts", "Dark Age of Camelot"};
const char* const kGameSubfolders[] = {"LotM", "DR", "Catacombs", "TOA"};

std::string GameFolderIn(std::string roaming) {
  for (const char* part : kGameFolder) roaming = JoinPath(roaming, part);
  return roaming;
}

// The user's roaming application-data folder: "APPDATA" when set; on Linux,
// where the game runs under Wine, the default Wine prefix's roaming folder.
std::string ApplicationDataFolder() {
  std::string appData = EnvironmentText("APPDATA");
  return appData.empty() ? DefaultWineRoamingFolder() : appData;
}

// The folder part of a stored character path, written on Windows or Linux
// ('\\' or '/'); empty when it has none, or names a file in the root
// (whose folder is no character folder).
std::string StoredPathFolder(const std::string& path) {
  auto cut = LastSeparator(path);
  return cut != std::string::npos && cut > 0 ? path.substr(0, cut) : std::string();
}

// Collects the game's folders, each once however it is reached.
class GameFolderList {
 public:
  // The existing subfolders of the game's folder under `roaming`, or the
  // game's folder itself when it exists without any.
  void AddFrom(const std::string& label, const std::string& roaming) {
    std::string base = GameFolderIn(roaming);
    if (!IsFolder(base)) return;
    bool any = false;
    for (const char* sub : kGameSubfolders) {
      std::string folder = JoinPath(base, sub);
      if (IsFolder(folder)) {
        Add(label + " \xE2\x80\x93 " + sub, folder);  // an en dash
        any = true;
      }
    }
    if (!any) Add(label, base);
  }
  std::vector<GameFolder> Take() { return std::move(m_folders); }

 private:
  void Add(const std::string& label, const std::string& path) {
    std::error_code ec;
    std::string key = PathText(std::filesystem::weakly_canonical(FsPath(path), ec));
    if (m_seen.insert(ec ? path : key).second) m_folders.push_back({label, path});
  }

  std::set<std::string> m_seen;
  std::vector<GameFolder> m_folders;
};

// The roaming folders of every user of a Wine prefix: today's, and that of
// prefixes made by older Wine versions.
std::vector<std::string> RoamingFoldersOf(const std::string& prefix) {
  const std::string users = prefix + "/drive_c/users";
  std::vector<std::string> names, roaming;
  ListFolder(users, names);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    roaming.push_back(users + "/" + name + "/AppData/Roaming");
    roaming.push_back(users + "/" + name + "/Application Data");
  }
  return roaming;
}

bool HoldsGameFolder(const std::string& prefix) {
  const std::vector<std::string> roaming = RoamingFoldersOf(prefix);
  return std::any_of(roaming.begin(), roaming.end(), [](const std::string& r) { return IsFolder(GameFolderIn(r)); });
}

}  // namespace

std::vector<GameFolder> FindGameFolders() {
  GameFolderList list;
  std::string appData = EnvironmentText("APPDATA");
  if (!appData.empty()) list.AddFrom("%APPDATA%", appData);
  for (const WinePrefix& prefix : FindWinePrefixes(HomeFolder(), HoldsGameFolder))
    for (const std::string& roaming : RoamingFoldersOf(prefix.path)) list.AddFrom(prefix.label, roaming);
  return list.Take();
}

std::string FindCharacterFolder(const std::string& characterPath, const std::vector<GameFolder>& found) {
  std::string folder = StoredPathFolder(characterPath);
  if (!folder.empty()) return folder;
  if (!found.empty()) return found.front().path;
  // Nothing found: the folder the game would make (for the message that it is missing).
  std::string base = ApplicationDataFolder();
  return base.empty() ? std::string() : GameFolderIn(base);
}

std::string FindCharacterFolder(const std::string& characterPath) {
  std::string folder = StoredPathFolder(characterPath);
  return folder.empty() ? FindCharacterFolder(characterPath, FindGameFolders()) : folder;
}
