// Reading whole files, and what tells whether a file changed since.
//
// Nothing here opens a folder, FIFO or device, blocks on opening, or reads
// more than a caller's limit. Failing calls leave their reason in
// LastFileError(); the caller owns every buffer it passes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "native_handle.h"

/// Outcome of ReadFileBytes.
enum class ReadStatus {
  Ok,       ///< `bytes` holds the whole file
  Missing,  ///< nothing exists at the path
  Failed    ///< empty path, not a regular file, too large, or unreadable
};

/// Files larger than this are refused by ReadFileBytes (game and template files are far smaller).
constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u;

/// Reads the regular file at `path` into `bytes`, byte for byte.
ReadStatus ReadFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes = kMaxFileBytes);

/// What tells cheaply whether a file changed: its identity (device and inode,
/// or volume and file index), size, modification time and, where the system
/// keeps one, the time of its last change of any kind (which no program can
/// set back, as it can the modification time).
struct FileStamp {
  bool exists = false;
  unsigned long long device = 0, id = 0, size = 0;
  long long modifiedNs = 0;  ///< nanoseconds since 1970 (UTC)
  long long changedNs = 0;   ///< the same for the last change of any kind; 0 where not kept (Windows)
  /// For a stamp taken with a read (ReadFileBytes): when the read began, on
  /// the FileClockNow() clock; 0 otherwise. Not part of the comparison.
  long long readBeganNs = 0;

  bool operator==(const FileStamp& o) const {
    return exists == o.exists && device == o.device && id == o.id && size == o.size && modifiedNs == o.modifiedNs &&
           changedNs == o.changedNs;
  }
  bool operator!=(const FileStamp& o) const { return !(*this == o); }
  /// The same file (or none) of the same size: what a stamp tells whatever
  /// the times say.
  bool SameFileAndSize(const FileStamp& o) const {
    return exists == o.exists && device == o.device && id == o.id && size == o.size;
  }

  /// True when the file system keeps whole seconds at most (FAT keeps two):
  /// then a file can change without a new time stamp, and only its bytes tell.
  bool Coarse() const { return exists && modifiedNs % 1000000000LL == 0; }

  /// True when an equal stamp later on says the file still holds the bytes
  /// read with this one: both times are fine-grained and well before the
  /// read began, so that any write since has moved at least the change time.
  /// Otherwise (a coarse or missing change time, a write within a tick of
  /// the read) only the bytes tell.
  bool Decides() const;
};

/// The stamp of what `path` names now (a link followed); a missing file gives
/// a stamp that does not exist. False (see LastFileError) when it cannot be looked at.
bool StampFile(const std::string& path, FileStamp& stamp);

/// Now on the clock modification times are given in (nanoseconds since 1970).
long long FileClockNow();

/// Whether a file of `stamp` had been quiet for `quietMs` by its time stamp
/// alone: written at least that long before `asOfNs` (a time on the
/// FileClockNow() clock at which the stamp was known to hold; by default
/// when the read of a stamp taken with one began, else now), a coarse
/// stamp, rounded down by as much as two seconds, that much more.
bool QuietByStamp(const FileStamp& stamp, int quietMs, long long asOfNs = 0);

/// ReadFileBytes that also gives the file's stamp as it was read. A file that
/// changes while it is read is read again (a few times) so that bytes and
/// stamp belong together; one that keeps changing fails ("changed while it was read").
ReadStatus ReadFileBytes(const std::string& path, std::string& bytes, FileStamp& stamp,
                         std::size_t maxBytes = kMaxFileBytes);

/// ReadFileBytes of a file another program (the game) may be saving: the
/// bytes are taken only once the file has been quiet for `quietMs` as they
/// were read, by its time stamp (older than `quietMs` when the read began,
/// or when a later look found the same stamp; a coarse one two seconds
/// more), or by having been read unchanged, bytes included, for that long
/// (a time stamp in the future, or a coarse one too recent to tell). A
/// missing file is quiet. Failed, with "still being written by another program",
/// when it kept changing for `limitMs`.
ReadStatus ReadQuietFile(const std::string& path, int quietMs, int limitMs, std::string& bytes, FileStamp& stamp,
                         std::size_t maxBytes = kMaxFileBytes);

/// What a final check found.
enum class AsRead {
  Same,       ///< the file is the one that was read, byte for byte
  Changed,    ///< another program changed it (or made or removed it)
  Unreadable  ///< it could not be looked at (see LastFileError)
};

/// Whether the file at `path` is still what was read: with `stamp`, the file
/// of that identity and size (a missing one still missing) holding
/// `readBytes`. An equal stamp that Decides() settles it without a read;
/// otherwise the bytes are compared, a piece at a time (a changed time over
/// the same bytes is no change). Without `stamp`, the bytes alone.
AsRead CheckAsRead(const std::string& path, const FileStamp* stamp, std::string_view readBytes);

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
  /// Reads the rest of the file (all of it, when nothing was read yet) into
  /// `bytes`, refusing more than `maxBytes`.
  ReadStatus ReadAll(std::string& bytes, std::size_t maxBytes = kMaxFileBytes);
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
