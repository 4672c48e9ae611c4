#include "characters_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>

#include "character_files.h"
#include "printable.h"

void SetupCharactersOptions(CLI::App& command, CharactersOptions& o) {
  command.add_option("folder", o.folder, "Folder of character files (default: every game folder found)");
  command.add_flag("--spellcrafters", o.spellcraftersOnly, "Only characters with a spellcrafting hotkey");
  command.add_option("--server", o.server, "Only characters of this server number");
  command.add_flag("--folders", o.foldersOnly, "Only print the game folders found, with where they were found");
}

namespace {

// Prints the folder's characters as a table; false when it cannot be listed.
bool PrintCharacters(const std::string& folder, const CharactersOptions& o) {
  CharacterFileList list = ListCharacterFiles(folder);
  if (!list.error.empty()) {
    std::cerr << "can't list the folder " << PrintablePath(folder) << ": " << list.error.Text() << std::endl;
    return false;
  }
  struct Row {
    std::string server, character, file, mark;
  };
  std::vector<Row> rows = {{"server", "character", "file", "spellcrafter"}};
  for (std::size_t i = 0; i < list.fileNames.size(); ++i) {
    const std::string& name = list.fileNames[i];
    int server = ServerNumberOf(name);
    if (o.server != -1 && server != o.server) continue;
    if (o.spellcraftersOnly && !list.spellcrafterFlags[i]) continue;
    rows.push_back({ServerName(server), Printable(CharacterNameOf(name)), Printable(name),
                    list.spellcrafterFlags[i] ? "yes" : ""});
  }
  std::size_t w1 = 0, w2 = 0, w3 = 0;
  for (const Row& r : rows) {
    w1 = std::max(w1, PrintedWidth(r.server));
    w2 = std::max(w2, PrintedWidth(r.character));
    w3 = std::max(w3, PrintedWidth(r.file));
  }
  for (const Row& r : rows)
    std::cout << PadTo(r.server, w1 + 2) << PadTo(r.character, w2 + 2) << PadTo(r.file, w3 + 2) << r.mark << '\n';
  return true;
}

}  // namespace

int RunCharactersCommand(const CharactersOptions& o) {
  if (!o.folder.empty() && !o.foldersOnly) return PrintCharacters(o.folder, o) ? 0 : 1;
  std::vector<GameFolder> found = FindGameFolders();
  if (found.empty()) {
    std::cerr << "no game folder found in the places players keep the game; name one: "
                 "brindlemarque-cli characters FOLDER" << std::endl;
    return 1;
  }
  if (o.foldersOnly) {
    for (const GameFolder& f : found) std::cout << Printable(f.label) << '\t' << PrintablePath(f.path) << '\n';
    return 0;
  }
  bool all = true;
  for (std::size_t i = 0; i < found.size(); ++i) {
    std::cout << (i ? "\n" : "") << "folder: " << PrintablePath(found[i].path) << " (" << Printable(found[i].label) << ")\n";
    all = PrintCharacters(found[i].path, o) && all;
  }
  return all ? 0 : 1;
}
