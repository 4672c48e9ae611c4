// Whole-file reading and atomic replacement: the only way the engine touches
// files on disk, so that a failure can never leave a half-written file.
#pragma once

#include <cstddef>
#include <string>

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

 private:
  int m_fd = -1;
  unsigned long long m_size = 0;
  bool m_missing = false;
};

/// True when `path` names a regular file no larger than kMaxFileBytes:
/// one that a parser may safely open and read whole.
bool IsLoadableFile(const std::string& path);

/// Replaces the file at `path` with `bytes`: writes a temporary file in the
/// same folder, flushes it to disk and renames it over the original, keeping
/// the original's permission bits (and owner, where allowed); a symbolic link
/// is followed and its target replaced. Creates the file when it is missing.
/// Returns false, leaving the original untouched, for an empty path, a path
/// that is not a regular file, a file without any write permission bit
/// (marked read-only), or any failed step.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);
