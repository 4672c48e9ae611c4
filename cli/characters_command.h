// The `characters` command: a folder's character files as a table.
#pragma once

#include <string>

namespace CLI {
class App;
}

struct CharactersOptions {
  std::string folder;         // empty: every game folder found (FindGameFolders)
  bool spellcraftersOnly = false;
  int server = -1;            // -1: every server
  bool foldersOnly = false;   // print the found folders, not their characters
};

/// Adds the command's arguments to `command`, storing into `options`.
void SetupCharactersOptions(CLI::App& command, CharactersOptions& options);

/// Lists the folder in the listing's order: server, character, file name and
/// a spellcrafter mark; without a folder, each game folder found, headed by
/// "folder: PATH (WHERE)". With --folders, prints "WHERE<tab>PATH" per found
/// folder. Returns 0; 1 when a folder cannot be listed or none is found.
int RunCharactersCommand(const CharactersOptions& options);
