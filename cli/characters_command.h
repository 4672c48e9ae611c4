// The `characters` command: a folder's character files as a table.
#pragma once

#include <string>

namespace CLI {
class App;
}

struct CharactersOptions {
  std::string folder;         // empty: the game's folder (FindUserFolder)
  bool spellcraftersOnly = false;
  int server = -1;            // -1: every server
};

/// Adds the command's arguments to `command`, storing into `options`.
void SetupCharactersOptions(CLI::App& command, CharactersOptions& options);

/// Lists the folder in the listing's order: server, character, file name and
/// a spellcrafter mark. Returns 0, also for an empty or missing folder.
int RunCharactersCommand(const CharactersOptions& options);
