// Whether the game's client runs. The game reads a character's settings
// file when the character enters the world and writes it back, bars
// included, when it leaves: a build made meanwhile is undone at logout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// The program file of the game's client (its launcher starts it; the same
/// name under Wine and Proton).
extern const char* const kGameClientProgram;  // "game.dll"

/// One running process of the game's client.
struct GameProcess {
  unsigned long id = 0;
  /// When it started, in the system's own units (0 when unknown): with the
  /// id, it tells a new client from one that ended.
  std::uint64_t started = 0;
  bool operator==(const GameProcess& other) const { return id == other.id && started == other.started; }
};

/// Whether `program`, a program's file name or a path split by '/' or '\',
/// names the game's client; ASCII case is ignored.
bool IsGameProgram(std::string_view program);

/// The game's client processes this user may see, in no set order; empty
/// when none runs. A process that has ended (even one not yet reaped by its
/// parent), that ends during the scan, or whose entries cannot be read, is
/// passed over. When the environment sets BRINDLEMARQUE_GAME_IDS, only the
/// processes whose ids it lists (decimal, separated by commas; "none" lists
/// none) are looked at: the tests give the programs the stand-ins they
/// start, and a game running on the same machine does not reach them.
std::vector<GameProcess> FindGameProcesses();

/// The system's running client processes, the list above not applied.
std::vector<GameProcess> ScanGameProcesses();

#ifndef _WIN32
/// ScanGameProcesses over `procFolder` laid out as /proc is.
std::vector<GameProcess> FindGameProcessesIn(const std::string& procFolder);
#endif
