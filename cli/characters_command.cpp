#include "characters_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>

#include "character_files.h"
#include "printable.h"

void SetupCharactersOptions(CLI::App& command, CharactersOptions& o) {
  command.add_option("folder", o.folder, "Folder of character files (default: the game's folder)");
  command.add_flag("--spellcrafters", o.spellcraftersOnly, "Only characters with a spellcrafting hotkey");
  command.add_option("--server", o.server, "Only characters of this server number");
}

int RunCharactersCommand(const CharactersOptions& o) {
  std::string folder = o.folder;
  if (folder.empty()) {
    folder = FindUserFolder("");
    std::cout << "folder: " << Printable(folder) << '\n';
  }
  CharacterFileList list = ListCharacterFiles(folder);
  if (!list.error.empty()) {
    std::cerr << "can't list the folder " << Printable(folder) << ": " << list.error << std::endl;
    return 1;
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
  return 0;
}
