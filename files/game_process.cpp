#include "game_process.h"

#include <algorithm>
#include <optional>

#include "ascii_text.h"
#include "environment.h"

const char* const kGameClientProgram = "game.dll";

bool IsGameProgram(std::string_view program) {
  const std::size_t cut = program.find_last_of("/\\");
  if (cut != std::string_view::npos) program.remove_prefix(cut + 1);
  return NoCaseKey(std::string(program)) == kGameClientProgram;
}

namespace {

// The process ids BRINDLEMARQUE_GAME_IDS lists; nothing when it is unset.
std::optional<std::vector<unsigned long>> ListedGameIds() {
  const std::string text = EnvironmentText("BRINDLEMARQUE_GAME_IDS");
  if (text.empty()) return std::nullopt;
  std::vector<unsigned long> ids;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = std::min(text.find(',', at), text.size());
    const std::string id = text.substr(at, end - at);
    if (id.size() < 10 && IsAllDigits(id))
      ids.push_back(std::stoul(id));
    at = end + 1;
  }
  return ids;
}

}  // namespace

std::vector<GameProcess> FindGameProcesses() {
  std::vector<GameProcess> found = ScanGameProcesses();
  if (const auto listed = ListedGameIds())
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&](const GameProcess& p) {
                                 return std::find(listed->begin(), listed->end(), p.id) == listed->end();
                               }),
                found.end());
  return found;
}
