#include "game_process.h"

#include "ascii_text.h"

const char* const kGameClientProgram = "game.dll";

bool IsGameProgram(std::string_view program) {
  const std::size_t cut = program.find_last_of("/\\");
  if (cut != std::string_view::npos) program.remove_prefix(cut + 1);
  return NoCaseKey(std::string(program)) == kGameClientProgram;
}
