#include "game_process.h"

#include "ascii_text.h"

const char* const kGameClientProgram = "game.dll";

bool IsGameProgram(std::string_view program) {
  const std::size_t cut = program.find_last_of("/\\");
  if (cut != std::string_view::npos) program.remove_prefix(cut + 1);
  const std::string_view wanted(kGameClientProgram);
  if (program.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < wanted.size(); ++i)
    if (LowerAscii(program[i]) != wanted[i]) return false;
  return true;
}
