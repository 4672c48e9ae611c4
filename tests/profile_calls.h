// One-shot calls on a character file by path, for tests and benchmarks:
// each reads the file, applies one operation and, when the bytes changed,
// replaces the file atomically (a build holds the file open instead, see
// ProfileFile). Each returns false when the file could not be read or
// written or the call was refused; the file is then left as it was.
#pragma once

#include <cstddef>
#include <string>

// <windows.h> spells its own WriteProfileString as a macro.
#ifdef WriteProfileString
#undef WriteProfileString
#endif

/// Reads like ProfileFile::Read; an absent or unreadable file gives 0.
std::size_t ReadProfileString(const std::string& path, const std::string& section, const std::string& key,
                              std::string& value, std::size_t size);
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);
bool DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key);
bool EmptyProfileSection(const std::string& path, const std::string& section);
