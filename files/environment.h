// What the environment says about where files go and how text files end.
#pragma once

#include <string>

/// The environment variable `name` as path text; empty when unset.
std::string EnvironmentText(const char* name);

/// The environment variable `name` as a number of milliseconds (up to six
/// digits); `fallback` when it is unset or not such a number.
int EnvironmentMilliseconds(const char* name, int fallback);

/// The folder for the user's own data of programs: %LOCALAPPDATA% on
/// Windows; elsewhere $XDG_DATA_HOME when absolute, else ~/.local/share.
/// Empty when none is set.
std::string UserDataFolder();

/// `text` with the line ends of the system's text files (CR LF on Windows).
std::string WithTextLineEnds(const std::string& text);
