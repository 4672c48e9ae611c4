// Path text and the folder calls around it.
//
// Paths are text in one encoding throughout the program: the bytes the file
// system gives on Linux, UTF-8 on Windows (converted to UTF-16 only at the
// system calls, in the long "\\?\" form, so that any name and any length
// work). Failing calls leave their reason in LastFileError().
#pragma once

#include <filesystem>
#include <string>
#include <vector>

/// A std::filesystem path for our path text (on Windows an absolute one in
/// the long "\\?\" form), and back (without that form).
std::filesystem::path FsPath(const std::string& path);
std::string PathText(const std::filesystem::path& path);

/// `path` in full: relative to the current folder, "." and ".." taken out.
std::string AbsolutePath(const std::string& path);

/// The full path of the file at `path` as the file system spells it: on
/// Windows, where names ignore case, with the case of its names on disk
/// (links and short names resolved); the full path as given for a file
/// that does not exist, and elsewhere.
std::string FileSystemSpelling(const std::string& path);

/// One text for every spelling of the file at `path`: on Windows its
/// FileSystemSpelling with every letter in upper case (not only ASCII:
/// "Über" and "über" are one); elsewhere the full path.
std::string FileIdentity(const std::string& path);

/// The platform's path separator.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

/// True where the file system takes names that differ only in case for one (Windows).
extern const bool kFileNamesIgnoreCase;

/// `folder`, the platform's separator (unless `folder` ends in one) and
/// `name`. An empty folder thus names the root folder, as the game's own
/// tools do.
std::string JoinPath(const std::string& folder, const std::string& name);

/// True when `path` names its place without a current folder: from the
/// root ("/x"), and on Windows also from a drive ("C:\\x", and "C:x" or
/// "\\x", which a folder cannot be put before either) or a share ("\\\\host\\x").
bool IsAbsolutePath(const std::string& path);

/// The folder part of `path`: up to its last separator ('/', and on Windows
/// '\\' too), the root's separator kept ("/x" gives "/"); empty when the
/// path has no separator.
std::string FolderOf(const std::string& path);

/// The last name of `path`: after its last separator; the whole path when
/// it has none.
std::string NameOf(const std::string& path);

/// The names of the entries of `folder` (without "." and ".."), in the
/// order the file system gives them. False, with LastFileError(), when the
/// folder cannot be listed ("no such file or directory", "not a directory").
bool ListFolder(const std::string& folder, std::vector<std::string>& names);

/// True when a file or a folder exists at `path`.
bool FileOrFolderExists(const std::string& path);

/// True when `path` names a folder (a link to one followed).
bool IsFolder(const std::string& path);

#ifdef _WIN32
/// UTF-8 and UTF-16 text, for the places that meet the system's wide calls.
std::wstring WideText(const std::string& utf8);
std::string Utf8Text(const std::wstring& wide);
#endif
