// Where the Linux launchers keep their Wine prefixes. The launchers' own
// files (Lutris YAML, Steam VDF, Heroic JSON) are read only for one key
// each, by a small scanner: a full parser for each format would be a
// dependency for three lines of data.
#include "wine_prefixes.h"

#include <algorithm>
#include <pwd.h>
#include <unistd.h>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "paths.h"
#include "environment.h"
#include "file_read.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxRead = 100000;           // entries read per folder listed
constexpr std::size_t kMaxKept = 4096;             // names kept per folder, after sorting
constexpr std::size_t kMaxLibraries = 64;          // Steam libraries per installation
constexpr std::size_t kMaxFileBytes = 1024 * 1024;  // per launcher file read

bool IsPrefix(const std::string& path) { return IsFolder(path + "/drive_c"); }

// The names in `folder` that end in `suffix` (and that `keep` holds for,
// when given), sorted; the first kMaxKept of them. The cap comes after
// filtering and sorting, so that a folder of many entries hides none by the
// order the system lists them in, nor by many others sorting first.
std::vector<std::string> NamesIn(const std::string& folder, const std::string& suffix = "",
                                 const std::function<bool(const std::string& name)>& keep = nullptr) {
  std::vector<std::string> names;
  std::error_code ec;
  std::size_t read = 0;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end && read < kMaxRead; it.increment(ec), ++read) {
    std::string name = it->path().filename().string();
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
        (!keep || keep(name)))
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  if (names.size() > kMaxKept) names.resize(kMaxKept);
  return names;
}

// A path as a launcher's file names it: absolute, and without NUL or other
// control bytes (the system would cut it at a NUL, and a terminal would
// take the others as commands).
bool IsPlainAbsolutePath(const std::string& path) {
  return IsAbsolutePath(path) &&
         std::none_of(path.begin(), path.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// A launcher's file, read by the file layer; empty when missing or too large.
std::string ReadSmallFile(const std::string& path) {
  std::string text;
  return ReadFileBytes(path, text, kMaxFileBytes) == ReadStatus::Ok ? text : std::string();
}

// The quoted string starting at text[pos] == '"'; a backslash takes the next
// character as it is (VDF's and JSON's escapes of '\\', '"' and '/').
std::string ReadQuoted(const std::string& text, std::size_t& pos) {
  std::string value;
  for (++pos; pos < text.size() && text[pos] != '"'; ++pos) {
    if (text[pos] == '\\' && pos + 1 < text.size()) ++pos;
    value += text[pos];
  }
  ++pos;
  return value;
}

std::string Trimmed(const std::string& text) {
  auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string BaseName(const std::string& path) { return fs::path(path).filename().string(); }

class PrefixList {
 public:
  PrefixList(std::string home, PrefixWanted wanted) : m_home(std::move(home)), m_wanted(std::move(wanted)) {}

  // A prefix the caller wants. Each path is looked at once, however many
  // times the launchers' files name it.
  bool Wanted(const std::string& path) {
    auto [at, first] = m_looked.emplace(path, false);
    if (first) at->second = IsPrefix(path) && (!m_wanted || m_wanted(path));
    return at->second;
  }

  // Takes `path` (a leading "~/" is the home folder) when it is a prefix not yet taken.
  void Add(const std::string& label, std::string path) {
    if (path.rfind("~/", 0) == 0) {
      if (m_home.empty()) return;
      path = m_home + path.substr(1);
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (!IsPlainAbsolutePath(path) || !Wanted(path)) return;
    std::error_code ec;
    std::string key = fs::weakly_canonical(path, ec).string();
    if (!m_seen.insert(ec ? path : key).second) return;
    m_prefixes.push_back({label, path});
  }
  // Each prefix directly in `folder`, labelled "<launcher> (<its name>)".
  void AddEachIn(const std::string& launcher, const std::string& folder) {
    auto wanted = [&](const std::string& name) { return Wanted(folder + "/" + name); };
    for (const std::string& name : NamesIn(folder, "", wanted)) Add(launcher + " (" + name + ")", folder + "/" + name);
  }
  const std::string& Home() const { return m_home; }
  std::vector<WinePrefix> Take() { return std::move(m_prefixes); }

 private:
  std::string m_home;
  PrefixWanted m_wanted;
  std::map<std::string, bool> m_looked;  // paths looked at, and whether wanted
  std::set<std::string> m_seen;
  std::vector<WinePrefix> m_prefixes;
};

std::string XdgFolder(const char* variable, const std::string& fallback) {
  std::string value = EnvironmentText(variable);
  return !value.empty() && value[0] == '/' ? value : fallback;
}

// Lutris keeps one YAML file per game; its "prefix:" names the game's prefix.
// The file's name is the game's slug and a time stamp: "daoc-1701234567.yml".
void AddLutris(PrefixList& list, const std::string& configHome, const std::string& dataHome) {
  for (const std::string& folder : {configHome + "/lutris/games", dataHome + "/lutris/games"}) {
    for (const std::string& file : NamesIn(folder, ".yml")) {
      std::string text = ReadSmallFile(folder + "/" + file);
      std::string slug = file.substr(0, file.size() - 4);
      auto dash = slug.find_last_of('-');
      if (dash != std::string::npos && dash + 1 < slug.size() &&
          slug.find_first_not_of("0123456789", dash + 1) == std::string::npos)
        slug.erase(dash);
      std::size_t start = 0;
      while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.rfind("prefix:", 0) != 0) continue;
        std::string value = Trimmed(line.substr(7));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
          value = value.substr(1, value.size() - 2);
        list.Add("Lutris (" + slug + ")", value);
      }
    }
  }
  list.AddEachIn("Lutris", list.Home() + "/Games");  // where Lutris installs by default
}

// Every library of a Steam installation (its own folder and those its
// libraryfolders.vdf lists) holds one Proton prefix per game in compatdata.
void AddSteam(PrefixList& list, const std::string& dataHome) {
  const std::string& home = list.Home();
  const std::string flatpak = home + "/.var/app/com.valvesoftware.Steam";
  const std::pair<std::string, std::string> roots[] = {
      {"Steam", dataHome + "/Steam"},
      {"Steam", home + "/.steam/steam"},
      {"Steam", home + "/.steam/root"},
      {"Steam Flatpak", flatpak + "/.local/share/Steam"},
      {"Steam Flatpak", flatpak + "/data/Steam"}};
  for (const auto& [launcher, root] : roots) {
    std::vector<std::string> libraries = {root};
    for (const char* vdf : {"/steamapps/libraryfolders.vdf", "/config/libraryfolders.vdf"}) {
      std::string text = ReadSmallFile(root + vdf);
      std::string previous;
      for (std::size_t pos = text.find('"'); pos != std::string::npos; pos = text.find('"', pos)) {
        std::string token = ReadQuoted(text, pos);
        // A relative or odd path is no library (it would be taken in the
        // current folder); a file listing thousands is not read past the cap.
        if (previous == "path" && IsPlainAbsolutePath(token) && libraries.size() < kMaxLibraries &&
            std::find(libraries.begin(), libraries.end(), token) == libraries.end())
          libraries.push_back(token);
        previous = token;
      }
    }
    for (const std::string& library : libraries) {
      std::string compat = library + "/steamapps/compatdata";
      auto wanted = [&](const std::string& id) { return list.Wanted(compat + "/" + id + "/pfx"); };
      for (const std::string& id : NamesIn(compat, "", wanted))
        list.Add(launcher + " (Proton " + id + ")", compat + "/" + id + "/pfx");
    }
  }
}

// Heroic keeps prefixes in ~/Games/Heroic/Prefixes (newer versions one level
// deeper, in "default"), and names each game's prefix in its GamesConfig.
void AddHeroic(PrefixList& list, const std::string& configHome) {
  const std::string& home = list.Home();
  std::string prefixes = home + "/Games/Heroic/Prefixes";
  for (const std::string& name : NamesIn(prefixes)) {
    std::string folder = prefixes + "/" + name;
    if (IsPrefix(folder))
      list.Add("Heroic (" + name + ")", folder);
    else
      list.AddEachIn("Heroic", folder);
  }
  for (const std::string& folder : {configHome + "/heroic/GamesConfig",
                                    home + "/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig"}) {
    for (const std::string& file : NamesIn(folder, ".json")) {
      std::string text = ReadSmallFile(folder + "/" + file);
      for (std::size_t key = text.find("\"winePrefix\""); key != std::string::npos;
           key = text.find("\"winePrefix\"", key + 1)) {
        std::size_t pos = text.find_first_not_of(" \t\r\n", key + 12);
        if (pos == std::string::npos || text[pos] != ':') continue;
        pos = text.find_first_not_of(" \t\r\n", pos + 1);
        if (pos == std::string::npos || text[pos] != '"') continue;
        std::string path = ReadQuoted(text, pos);
        list.Add("Heroic (" + BaseName(path) + ")", path);
      }
    }
  }
}

}  // namespace

std::vector<WinePrefix> FindWinePrefixes(const std::string& home, const PrefixWanted& wanted) {
  PrefixList list(home, wanted);
  std::string winePrefix = EnvironmentText("WINEPREFIX");
  if (!winePrefix.empty()) list.Add("Wine ($WINEPREFIX)", winePrefix);
  if (home.empty() || home[0] != '/') return list.Take();
  const std::string configHome = XdgFolder("XDG_CONFIG_HOME", home + "/.config");
  const std::string dataHome = XdgFolder("XDG_DATA_HOME", home + "/.local/share");
  list.Add("Wine (~/.wine)", home + "/.wine");
  AddLutris(list, configHome, dataHome);
  AddSteam(list, dataHome);
  list.AddEachIn("Bottles", dataHome + "/bottles/bottles");
  list.AddEachIn("Bottles Flatpak", home + "/.var/app/com.usebottles.bottles/data/bottles/bottles");
  AddHeroic(list, configHome);
  list.AddEachIn("PlayOnLinux", home + "/.PlayOnLinux/wineprefix");
  list.AddEachIn("CrossOver", home + "/.cxoffice");
  return list.Take();
}

namespace {

// The environment variable `name`, else the user's own entry of the system.
std::string UserValue(const char* name, char* passwd::*field) {
  std::string value = EnvironmentText(name);
  if (value.empty()) {
    const passwd* pw = ::getpwuid(::getuid());
    if (pw && pw->*field) value = pw->*field;
  }
  return value;
}

}  // namespace

std::string HomeFolder() { return UserValue("HOME", &passwd::pw_dir); }

std::string DefaultWineRoamingFolder() {
  std::string prefix = EnvironmentText("WINEPREFIX");
  if (prefix.empty()) {
    std::string home = EnvironmentText("HOME");
    if (home.empty()) return {};
    prefix = home + "/.wine";
  }
  std::string user = UserValue("USER", &passwd::pw_name);
  if (user.empty()) return {};
  std::string users = prefix + "/drive_c/users/" + user;
  std::string older = users + "/Application Data";
  if (!FileOrFolderExists(users + "/AppData/Roaming") && FileOrFolderExists(older)) return older;
  return users + "/AppData/Roaming";
}
