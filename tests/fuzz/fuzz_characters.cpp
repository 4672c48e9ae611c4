// The character-file logic: names, display texts, the character folder of a path,
// and the spellcrafter mark, checked against a whole-file reading; the
// launchers' files (Lutris, Steam, Heroic) read when looking for the game.
// Input: a file name, separator, the file's bytes, separator, and three
// bytes that insert up to 256 KiB of filler so that the mark may stand
// across the reader's chunk borders.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "ascii_text.h"
#include "character_files.h"
#include "paths.h"
#include "environment.h"
#include "fuzz_support.h"

namespace {

// The spellcrafter mark read plainly: the first "44,13," before the first
// zero byte stands on a line that begins with "Hotkey_" (any case).
bool PlainSpellcrafter(const std::string& bytes) {
  std::string text = bytes.substr(0, bytes.find('\0'));
  std::size_t mark = text.find("44,13,");
  if (mark == std::string::npos) return false;
  std::size_t lf = text.rfind('\n', mark);
  std::size_t line = lf == std::string::npos ? 0 : lf + 1;
  return text.size() - line >= 7 && SameTextNoCase(text.substr(line, 7).c_str(), "Hotkey_");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts = SplitParts(data, size, 3);
  const std::string& name = parts[0];
  (void)ServerName(ServerNumberOf(name));
  std::string shown = CharacterDisplayText(name);
  Check(!shown.empty(), "an empty display text");
  Check(CharacterListEntry(name).find("(" + name + ")") != std::string::npos, "a list entry without its file");
  (void)FindCharacterFolder(name, {});

  std::string bytes = parts[1];
  ByteReader filler(parts[2]);
  std::size_t count = (filler.Next() << 10) | (filler.Next() << 2);
  std::size_t at = bytes.empty() ? 0 : filler.Next() * bytes.size() / 256;
  bytes.insert(std::min(at, bytes.size()), count, 'x');

  const std::string folder = ScratchFolder() + "/chars";
  std::filesystem::create_directories(FsPath(folder));
  const std::string path = folder + "/Morwen-4.ini";
  WriteWholeFile(path, bytes);
  bool crafter = IsSpellcrafterFile(path);
  Check(crafter == PlainSpellcrafter(bytes), "the spellcrafter mark differs from a whole-file reading");
  CharacterFileList list = ListCharacterFiles(folder);
  Check(list.fileNames.size() == 1 && list.spellcrafterFlags[0] == crafter, "the listing disagrees");

#ifndef _WIN32
  // The same bytes as each launcher's file, in a home of the target's own.
  static const std::string home = [] {
    std::string h = ScratchFolder() + "/home";
    for (const char* sub : {"/.config/lutris/games", "/.config/heroic/GamesConfig", "/.wine/drive_c/users/u"})
      std::filesystem::create_directories(h + sub);
    std::filesystem::create_directories(EnvironmentText("XDG_DATA_HOME") + "/Steam/steamapps");
    ::setenv("HOME", h.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    return h;
  }();
  WriteWholeFile(home + "/.config/lutris/games/daoc.yml", bytes);
  WriteWholeFile(home + "/.config/heroic/GamesConfig/daoc.json", bytes);
  WriteWholeFile(EnvironmentText("XDG_DATA_HOME") + "/Steam/steamapps/libraryfolders.vdf", bytes);
  (void)FindGameFolders();
#endif
  return 0;
}
