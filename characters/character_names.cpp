// Names and servers: the "<name>-<server>.ini" scheme, the server table and
// the texts shown for a character file.
#include "character_files.h"

#include "path_parts.h"

namespace {

struct Server {
  int number;
  const char* name;
};

const Server kServers[] = {{3, "Avalon"},  {4, "Lyonesse"},  {7, "Stonehenge"},   {8, "Logres"},
                           {11, "Camlann"}, {12, "Dartmoor"}, {18, "Glastonbury"}, {19, "Salisbury"}};

}  // namespace

int ServerNumberOf(const std::string& fileName) {
  auto dash = fileName.rfind('-');
  return LeadingInt(fileName.c_str() + (dash == std::string::npos ? 0 : dash + 1));
}

std::string ServerName(int serverNumber) {
  for (const Server& s : kServers)
    if (s.number == serverNumber) return s.name;
  return std::to_string(serverNumber);
}

const char* const kNoCharacterText = "<keiner>";

bool NamesCharacter(const std::string& path) {
  const auto cut = LastSeparator(path);
  return cut == std::string::npos ? !path.empty() : cut + 1 < path.size();
}

std::string CharacterDisplayText(const std::string& path) {
  if (!NamesCharacter(path)) return kNoCharacterText;
  auto cut = LastSeparator(path);
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  if (EndsWithIniNoCase(name)) name.resize(name.size() - 4);
  auto dash = name.rfind('-');
  std::string character = (dash == std::string::npos || dash == 0) ? name : name.substr(0, dash);
  return character + " - " + ServerName(ServerNumberOf(name));
}

std::string CharacterNameOf(const std::string& fileName) {
  // The server's number follows the last '-': the name is all before it, as
  // the character field shows it.
  auto dash = fileName.rfind('-');
  return dash == std::string::npos ? std::string() : fileName.substr(0, dash);
}

std::string CharacterNameOfPath(const std::string& path) {
  const std::string fileName = NameOf(path);
  const std::string name = CharacterNameOf(fileName);
  return name.empty() ? fileName : name;
}

std::string CharacterListEntry(const std::string& fileName) {
  return ServerName(ServerNumberOf(fileName)) + " - " + CharacterNameOf(fileName) + " (" + fileName + ")";
}
