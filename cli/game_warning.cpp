#include "game_warning.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <system_error>

#include "character_files.h"
#include "game_process.h"
#include "printable.h"

void AddGameCheckOption(CLI::App& command, bool& skip) {
  command.add_flag("--no-game-check", skip, "Do not look for the running game (and do not warn about it)");
}

GameLook::GameLook(bool look) {
  if (!look) return;
  auto running = [] { return !FindGameProcesses().empty(); };
  try {
    m_running = std::async(std::launch::async, running);
  } catch (const std::system_error&) {
    m_running = std::async(std::launch::deferred, running);  // no thread to be had: the look waits for Warn()
  }
}

void GameLook::Warn(const std::string& characterPath, const char* work) {
  if (!m_running.valid() || !m_running.get()) return;
  const std::string name = Printable(CharacterNameOfPath(characterPath));
  std::cerr << "warning: the game is running; if " << name << " is logged in, the game puts its own bars back when "
            << name << " logs out and this " << work << " is lost: log " << name
            << " out to the character selection (or quit the game) first" << std::endl;
}
