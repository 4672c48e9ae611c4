// Realistic character files for the benchmarks.
#pragma once

#include <string>

/// A character file of about `bytes` bytes with CRLF line ends: panels, chat,
/// three quickbars with GroupSize lines, macros and key binds.
std::string MakeCharacterFile(std::size_t bytes);

/// A fresh temporary folder (left for the system to clean up).
std::string MakeBenchFolder();

/// Writes `bytes` to `path`, dated a minute back: a character file the game
/// saved a while ago, which a build reads at once.
void WriteBenchFile(const std::string& path, const std::string& bytes);

/// Dates the file at `path` a minute back.
void AgeBenchFile(const std::string& path);

/// A character file of about `bytes` bytes whose three quickbars hold 300
/// macro hotkeys naming Macro_0 to Macro_99 (two in three of them spacers
/// of an earlier build, so that a new build finds free macro numbers). The
/// chat section that makes up the size stands last, or with `chatFirst` first.
std::string MakeMacroHeavyCharacterFile(std::size_t bytes, bool chatFirst = false);
