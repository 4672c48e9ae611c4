// One-shot calls on a character file by path, for tests and benchmarks:
// each reads the file, applies one operation and, when the bytes changed,
// replaces the file atomically (a build holds the file open instead, see
// CharacterFileSession). Each returns false when the file could not be read or
// written or the call was refused; the file is then left as it was.
#pragma once

#include <cstddef>
#include <string>

#include "file_waits.h"

// <windows.h> spells its own WriteProfileString as a macro.
#ifdef WriteProfileString
#undef WriteProfileString
#endif

/// The tests' waits on a character file: the programs' lock wait, and a
/// file taken as quiet at once (tests write a file and build on it).
FileWaits TestWaits(int lockWaitMs = 3000, int quietMs = 0, int limitMs = 5000);

/// Reads like IniDocument::Read; an absent or unreadable file gives 0.
std::size_t ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                              std::string& value, std::size_t size);
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);
bool DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key);
bool EmptyProfileSection(const std::string& path, const std::string& section);
