// Whole-file reading and atomic replacement: the only way the engine touches
// files on disk, so that a failure can never leave a half-written file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

/// Marks a fixed reason text (a message's line after its first) for the
/// window's translation catalogs; the engine uses the text as it is.
#ifndef N_
#define N_(text) text
#endif

/// Outcome of ReadFileBytes.
enum class ReadStatus {
  Ok,       ///< `bytes` holds the whole file
  Missing,  ///< nothing exists at the path
  Failed    ///< empty path, not a regular file, too large, or unreadable
};

/// Files larger than this are refused by ReadFileBytes (game and template files are far smaller).
constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u;

/// Reads the regular file at `path` into `bytes`, byte for byte. Never opens
/// a folder, FIFO or device, so it cannot block or exhaust memory.
ReadStatus ReadFileBytes(const std::string& path, std::string& bytes,
                         std::size_t maxBytes = kMaxFileBytes);

/// What tells cheaply whether a file changed: its identity (device and inode,
/// or volume and file index), size and modification time.
struct FileStamp {
  bool exists = false;
  unsigned long long device = 0, id = 0, size = 0;
  long long modifiedNs = 0;  ///< nanoseconds since 1970 (UTC)

  bool operator==(const FileStamp& o) const {
    return exists == o.exists && device == o.device && id == o.id && size == o.size && modifiedNs == o.modifiedNs;
  }
  bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

/// The stamp of what `path` names now (a link followed); a missing file gives
/// a stamp that does not exist. False (see LastFileError) when it cannot be looked at.
bool StampFile(const std::string& path, FileStamp& stamp);

/// Now on the clock modification times are given in (nanoseconds since 1970).
long long FileClockNow();

/// ReadFileBytes that also gives the file's stamp as it was read. A file that
/// changes while it is read is read again (a few times) so that bytes and
/// stamp belong together; one that keeps changing fails ("changed while it was read").
ReadStatus ReadFileBytes(const std::string& path, std::string& bytes, FileStamp& stamp,
                         std::size_t maxBytes = kMaxFileBytes);

/// Waits until the file at `path` is quiet: unchanged for `quietMs` (by its
/// modification time, or watched that long), checking every few
/// milliseconds. A missing file is quiet. False (see LastFileError) when it
/// was still changing after `limitMs`.
bool WaitUntilQuiet(const std::string& path, int quietMs, int limitMs);

/// What the system gives for an open file (or lock): a handle on Windows,
/// a descriptor elsewhere.
#ifdef _WIN32
using NativeHandle = void*;
constexpr NativeHandle kNoHandle = nullptr;
#else
using NativeHandle = int;
constexpr NativeHandle kNoHandle = -1;
#endif

/// A regular file open for reading, closed when this object goes.
/// Never opens a folder, FIFO or device, and never blocks on opening.
class RegularFileReader {
 public:
  RegularFileReader() = default;
  RegularFileReader(const RegularFileReader&) = delete;
  RegularFileReader& operator=(const RegularFileReader&) = delete;
  ~RegularFileReader();

  /// Opens `path`. Returns false, holding nothing open, when the path is
  /// empty, names nothing (then Missing() is true), cannot be opened, or is
  /// not a regular file.
  bool Open(const std::string& path);
  /// Reads up to `size` bytes into `buffer`; returns how many, 0 at the end.
  /// Returns -1 on a read error.
  long long Read(char* buffer, std::size_t size);
  /// The file's size when it was opened.
  unsigned long long Size() const { return m_size; }
  bool Missing() const { return m_missing; }
  /// The open file's stamp now. False when nothing is open or it cannot be looked at.
  bool Stamp(FileStamp& stamp) const;

 private:
  NativeHandle m_handle = kNoHandle;
  unsigned long long m_size = 0;
  bool m_missing = false;
};

/// Replaces the file at `path` with `bytes`: writes a temporary file
/// ".<name>.brindlemarque-<process id>-XXXXXX" in the same folder, flushes it
/// to disk and renames it over the original, keeping the original's
/// permission bits (and owner, where allowed); a symbolic link is followed and
/// its target replaced. Creates the file when it is missing. First removes
/// the stale temporary files of earlier replacements of the same file (ours,
/// left by a process that is gone or older than five minutes). Returns false,
/// leaving the original untouched and no temporary file, for an empty path, a
/// path that is not a regular file, a file without any write permission bit
/// (marked read-only), or any failed step.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

/// How ReplaceReadFile ended.
enum class ReplaceOutcome {
  Done,     ///< the file holds the new bytes
  Failed,   ///< nothing changed (see LastFileError)
  Changed   ///< another program changed the file since it was read: it keeps that content
};

/// LastFileError() of a replacement whose file another program changed.
constexpr const char* kChangedByAnotherProgram = N_("changed by another program");

/// ReplaceFileAtomically, for a file a run read earlier (its `stamp` and
/// `readBytes` from ReadFileBytes): everything slow (writing and flushing the
/// temporary file) happens first; last, immediately before the swap, the
/// file must still be what was read (the stamp first, then the bytes; a file
/// that was missing must still be missing). The swap exchanges the two files
/// where the file system can, so that the file it displaced is looked at once
/// more: when another program wrote it in the moment between the check and
/// the swap (in place, or by putting a file of its own there), that file is
/// put back as it is and the outcome is Changed. Nothing another program
/// writes is lost without this outcome.
ReplaceOutcome ReplaceReadFile(const std::string& path, const std::string& bytes, const FileStamp& stamp,
                               const std::string& readBytes);

/// Points of a save where tests may act as another program writing the file.
enum class SavePoint {
  BeforeRead,   ///< a run is about to wait for the file to be quiet and read it
  AfterBackup,  ///< the backup of what was read is kept; nothing written yet
  BeforeCheck,  ///< the temporary file is written and flushed; the final check comes next
  BeforeSwap    ///< the final check passed; the swap comes next
};

/// For tests: `hook` is called at every SavePoint with the file's path (null: none).
void SetSavePointHook(std::function<void(SavePoint point, const std::string& path)> hook);
/// Calls the hook set for tests, if any.
void ReachSavePoint(SavePoint point, const std::string& path);

/// Removes the stale temporary files of earlier replacements of the file at
/// `path` (as ReplaceFileAtomically does), for a run that may not replace it.
void RemoveStaleTemporariesOf(const std::string& path);

/// Removes the stale temporary files of every replacement in `folder` (as
/// ReplaceFileAtomically does for those of its own file): for folders whose
/// files are written once under new names, such as backups.
void RemoveStaleTemporaryFiles(const std::string& folder);

/// Paths are text in one encoding throughout the program: the bytes the file
/// system gives on Linux, UTF-8 on Windows (converted to UTF-16 only at the
/// system calls, in the long "\\?\" form, so that any name and any length work).

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

/// `folder`, the platform's separator (unless `folder` ends in one) and
/// `name`. An empty folder thus names the root folder, as the game's own
/// tools do.
std::string JoinPath(const std::string& folder, const std::string& name);

/// The names of the entries of `folder` (without "." and ".."), in the
/// order the file system gives them. False, with LastFileError(), when the
/// folder cannot be listed ("no such file or directory", "not a directory").
bool ListFolder(const std::string& folder, std::vector<std::string>& names);

/// True when a file or a folder exists at `path`.
bool FileOrFolderExists(const std::string& path);

/// The environment variable `name` as path text; empty when unset.
std::string EnvironmentText(const char* name);

/// The folder for the user's own data of programs: %LOCALAPPDATA% on
/// Windows; elsewhere $XDG_DATA_HOME when absolute, else ~/.local/share.
/// Empty when none is set.
std::string UserDataFolder();

/// True where the file system takes names that differ only in case for one (Windows).
extern const bool kFileNamesIgnoreCase;

/// `text` with the line ends of the system's text files (CR LF on Windows).
std::string WithTextLineEnds(const std::string& text);

/// The reason of a failed std::filesystem call, in a few words, as LastFileError gives it.
std::string SystemErrorText(const std::error_code& error);

#ifdef _WIN32
/// UTF-8 and UTF-16 text, for the places that meet the system's wide calls.
std::wstring WideText(const std::string& utf8);
std::string Utf8Text(const std::wstring& wide);
#endif

/// Why the last failing file call of this thread failed, in a few words
/// ("permission denied", "marked read-only", "not a regular file").
const std::string& LastFileError();

/// The steps of ReplaceFileAtomically that tests can make fail.
enum class ReplaceStep {
  None,
  Create,  ///< the temporary file cannot be made, as in a folder without write permission
  Write,
  Flush,
  Rename
};

/// For tests: the next ReplaceFileAtomically in this process fails at `step`
/// as with an I/O error, and cleans up as after a real one.
void FailNextReplaceAt(ReplaceStep step);

/// An advisory lock that serialises this program's runs on one file, held
/// from Acquire to Release (or destruction). A run on a file that does not
/// exist yet holds it through the file's folder, so also while it makes the
/// file. It does not keep other programs from writing the file.
class FileLock {
 public:
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() { Release(); }

  /// Takes the lock of `path`, waiting up to `waitMs` milliseconds while
  /// another run holds it. False (see LastFileError) when it stayed taken or
  /// the file cannot be opened for locking.
  bool Acquire(const std::string& path, int waitMs);
  void Release();

 private:
  NativeHandle m_handle = kNoHandle;
};
