// What the environment says about where files go and how text files end.
#pragma once

#include <string>

#include "file_waits.h"

/// The environment variable `name` as path text; empty when unset.
std::string EnvironmentText(const char* name);

/// How long the programs wait for a character file to be quiet before they
/// read it: a second, or BRINDLEMARQUE_QUIET_MS (up to six digits) for tests
/// that write a file and build on it at once.
int QuietTimeSetting();

/// The waits of the programs' runs on a character file: the default lock
/// wait, and QuietTimeSetting() as the quiet time.
FileWaits ProgramFileWaits();

/// The folder for the user's own data of programs: %LOCALAPPDATA% on
/// Windows; elsewhere $XDG_DATA_HOME when absolute, else ~/.local/share.
/// Empty when none is set.
std::string UserDataFolder();

/// `text` with the line ends of the system's text files (CR LF on Windows).
std::string WithTextLineEnds(const std::string& text);
