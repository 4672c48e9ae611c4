// How long file operations wait on other programs and runs.
#pragma once

/// How long a file another program may be writing must stay unchanged to
/// count as written (see ReadQuietFile); 0 takes it as it is.
struct QuietTime {
  int quietMs = 0;
  int limitMs = 0;  ///< gives up waiting after this long
};

/// How long a run on a character file waits: for a lock another run holds,
/// and for a save of the game's to end.
struct FileWaits {
  int lockWaitMs = 3000;
  QuietTime quiet{1000, 5000};
};
