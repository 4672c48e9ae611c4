// The warning a command gives before it writes a character file while the
// game's client runs: a character logged in gets its bars back from the
// game at logout, over what the command wrote.
#pragma once

#include <future>
#include <string>

namespace CLI {
class App;
}

/// Adds --no-game-check to `command`, storing into `skip`.
void AddGameCheckOption(CLI::App& command, bool& skip);

/// The look for the game's client among the running processes, begun on a
/// thread of its own so that the command's first steps go on meanwhile.
class GameLook {
 public:
  /// Begins the look; none when `look` is false (--no-game-check).
  explicit GameLook(bool look);
  /// Once the look has ended: one warning line on standard error when the
  /// game's client runs (nothing otherwise), what `work` ("build",
  /// "restore") would lose at the logout of the character of `characterPath`.
  void Warn(const std::string& characterPath, const char* work);

 private:
  std::future<bool> m_running;
};
