// The question the window asks before it writes a character file while
// the game's client runs: a character logged in gets its bars back from the
// game when it logs out, and the build is lost without a word.
#pragma once

#include <string>
#include <vector>

#include "game_process.h"

class wxWindow;

/// What the window is about to write.
enum class GameWrite { Build, Undo };

class CGameCheck {
 public:
  /// True when a write to `characterPath` may go ahead: the game's client
  /// does not run, or the player says to go on (No is the default). With
  /// "Don't ask again while the game runs" the answer holds, unasked, for
  /// as long as one of the clients that ran then still runs.
  bool MayWrite(wxWindow* parent, const std::string& characterPath, GameWrite write);

 private:
  std::vector<GameProcess> m_keptFor;  ///< the clients the kept answer holds for
  bool m_keptAnswer = false;
};
