// The game's character files: their naming scheme "<name>-<server>.ini", the
// server names, where the game keeps them, listing a folder of them, and the
// spellcrafter mark. Nothing here writes a file or shows a message.
#pragma once

#include <string>
#include <vector>

#include "paths.h"  // JoinPath, for the paths these functions take
#include "reason_text.h"

/// The character files of one folder, in the order the file system listed them.
struct CharacterFileList {
  std::vector<std::string> fileNames;   ///< bare names, as the file system returned them
  std::vector<bool> spellcrafterFlags;  ///< IsSpellcrafterFile of the same entry
  Reason error;                         ///< why the folder could not be listed; empty when it was
};

/// Whether a file name is named as the game names character files:
/// "<name>-<server>.ini" (".ini" in any letter case, a server number).
bool IsCharacterFileName(const std::string& fileName);

/// The server number of a file name: the leading integer of the text behind
/// its last '-' (of the whole name when it has none); 0 without digits.
int ServerNumberOf(const std::string& fileName);

/// The game server's name for a number ("Lyonesse" for 4), else the number as text.
std::string ServerName(int serverNumber);

/// What CharacterDisplayText gives for no character.
extern const char* const kNoCharacterText;  // "<keiner>"

/// Whether `path` names a character file at all: false for an empty path
/// or one ending in a separator (a folder).
bool NamesCharacter(const std::string& path);

/// The text shown for a character file path: "Morwen - Lyonesse" for
/// ".../Morwen-4.ini"; kNoCharacterText for an empty path or one ending in a separator.
std::string CharacterDisplayText(const std::string& path);

/// The character's name in a list entry: the file name up to its last '-'
/// (the server's number follows it), as the character field shows it;
/// empty when it has none.
std::string CharacterNameOf(const std::string& fileName);

/// The character's name as the game shows it, from a character file path:
/// its file name up to the last '-', or the whole file name when it has none.
std::string CharacterNameOfPath(const std::string& path);

/// The character dialog's list entry of a file name: server name, " - ", the
/// name (CharacterNameOf), " (", the file name, ")".
std::string CharacterListEntry(const std::string& fileName);

/// A folder of character files found where players keep the game.
struct GameFolder {
  std::string label;  ///< where it was found: "Steam (Proton 1234) – LotM" (UTF-8)
  std::string path;
};

/// The game's character folders in the known places, each once: under
/// "APPDATA"; on Linux also in the roaming folders ("AppData/Roaming" and the
/// older "Application Data") of every user of every Wine prefix the launchers
/// keep (see wine_prefixes.h). In each, the game's folder "Electronic
/// Arts/Dark Age of Camelot" gives its existing subfolders LotM, DR,
/// Catacombs, TOA in that order, or itself when it has none of them.
std::vector<GameFolder> FindGameFolders();

/// The folder to list for character files: the folder of `characterPath`
/// when it has one; else the first of `found`; else the game's folder under
/// the user's application data ("APPDATA", or on Linux the Wine prefix's
/// roaming folder), which does not exist. Empty when no application-data
/// folder is known.
std::string FindCharacterFolder(const std::string& characterPath, const std::vector<GameFolder>& found);
/// The same, looking for the game's folders only when needed.
std::string FindCharacterFolder(const std::string& characterPath);

/// The files "*.ini" (any case) of `folder` whose server number is positive,
/// with their spellcrafter marks. Empty, with `error` set, when the folder
/// cannot be listed, and on Linux for an empty folder (on Windows that lists
/// the drive's root).
CharacterFileList ListCharacterFiles(const std::string& folder);

/// True when the file's first "44,13," stands on a line that begins with
/// "Hotkey_" (any case). Reads regular files only, in bounded chunks; the
/// search ends at the first zero byte. False when the file cannot be read.
bool IsSpellcrafterFile(const std::string& path);

