// The character file's INI access: an in-memory, byte-preserving INI document
// tied to one path, and four one-shot calls that read or change a file by path.
//
// Behaviour callers rely on (that of the Windows private-profile functions):
// - section and key names compare without regard to ASCII case;
// - blanks around names and values are ignored when reading, and a value in
//   matching double or single quotes is read without them;
// - the first of duplicate sections and the first of duplicate keys wins;
// - an absent file, section or key reads as empty, and so does an empty value.
// Changes keep every byte of every line they do not touch: comments, blank
// lines, other sections, Latin-1 bytes, a byte-order mark, the line-end style
// (CRLF for a new file) and a missing final line end. A new key goes after the
// last key line of its section, a new section to the end of the file.
#pragma once

#include <cstddef>
#include <string>

/// One INI file held in memory for a series of reads and changes, written
/// back in one atomic step by Save(). Works on the raw bytes: a lookup scans
/// lines only up to what it looks for, and a change splices one line.
class ProfileFile {
 public:
  /// Reads the file at `path`. A missing file opens empty and is created by
  /// Save(). Returns false (holding nothing) for an empty path, a path that is
  /// not a regular file, or a file that cannot be read.
  bool Open(const std::string& path);

  /// Reads `key` of `section` into `value`, cut to `size - 1` characters.
  /// Returns the number of characters stored; 0 (and an empty value) when the
  /// key is absent, empty, or `size` is 0.
  std::size_t Read(const std::string& section, const std::string& key, std::string& value,
                   std::size_t size) const;

  /// Reads the whole value of `key` in `section`, uncut; empty when absent.
  std::string Read(const std::string& section, const std::string& key) const;

  /// Sets `key` of `section` to `value`, creating key and section as needed.
  /// Refuses (returns false, changes nothing) a name or value holding CR, LF
  /// or a zero byte, a key holding '=' or starting with '[' or ';', a section
  /// name holding ']', empty names, and any call on a file that is not open.
  bool Write(const std::string& section, const std::string& key, const std::string& value);

  /// Removes every line of `key` in `section`; an absent key is no error.
  bool Delete(const std::string& section, const std::string& key);

  /// Removes every key line of `section`, keeping its header, comments and blank lines.
  bool EmptySection(const std::string& section);

  /// Writes the file back atomically when its bytes changed (see
  /// ReplaceFileAtomically); an unchanged file is not touched. False on failure.
  bool Save();

  /// True once any refused call or failed Save() happened since Open().
  bool Failed() const { return m_failed; }
  /// True when the held bytes differ from those read by Open().
  bool Changed() const;
  /// The file's bytes as they would be saved.
  const std::string& Bytes() const { return m_bytes; }

 private:
  struct Range {
    std::size_t begin = 0, end = 0;  // byte offsets of the section's body, after its header line
    bool found = false;
  };

  Range FindSection(const std::string& section) const;
  void InsertLine(std::size_t at, const std::string& text);
  void EraseLine(std::size_t begin, std::size_t next);
  // Erases the key lines of `section`: those of `key`, or all when it is null.
  void EraseKeyLines(const std::string& section, const std::string* key);
  bool Refuse();

  std::string m_path;
  std::string m_original;  // as read by Open() or written by Save()
  std::string m_bytes;     // as changed since
  std::string m_eol = "\r\n";
  bool m_open = false;
  bool m_failed = false;
};

/// One-shot calls on the file at `path`: each reads the file, applies one
/// operation and, when the bytes changed, replaces the file atomically.
/// Each returns false when the file could not be read or written or the
/// call was refused (see ProfileFile); the file is then left as it was.

/// Reads like ProfileFile::Read; an absent or unreadable file gives 0.
std::size_t ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, std::string& value, std::size_t size);
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);
bool DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key);
bool EmptyProfileSection(const std::string& path, const std::string& section);
