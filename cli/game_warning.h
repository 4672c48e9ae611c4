// The warning a command gives before it writes a character file while the
// game's client runs: a character logged in gets its bars back from the
// game at logout, over what the command wrote.
#pragma once

#include <string>

namespace CLI {
class App;
}

/// Adds --no-game-check to `command`, storing into `skip`.
void AddGameCheckOption(CLI::App& command, bool& skip);

/// Prints one warning line on standard error when the game's client runs
/// (nothing otherwise): what `work` ("build", "restore") would lose at the
/// logout of the character of `characterPath`.
void WarnIfGameRuns(const std::string& characterPath, const char* work);
