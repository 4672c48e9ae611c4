// Realistic character files for the benchmarks.
#pragma once

#include <string>

/// A character file of about `bytes` bytes with CRLF line ends: panels, chat,
/// three quickbars with GroupSize lines, macros and key binds.
std::string MakeCharacterFile(std::size_t bytes);

/// A fresh temporary folder (left for the system to clean up).
std::string MakeBenchFolder();

/// Writes `bytes` to `path`.
void WriteBenchFile(const std::string& path, const std::string& bytes);
