// An in-memory, byte-preserving INI document.
//
// Behaviour callers rely on (that of the Windows private-profile functions):
// - section and key names compare without regard to ASCII case;
// - blanks around names and values are ignored when reading, and a value in
//   matching double or single quotes is read without them;
// - the first of duplicate sections and the first of duplicate keys wins;
// - an absent file, section or key reads as empty, and so does an empty value;
// - a line ends at LF, CR LF or a lone CR (a CR-only file is read line by line).
// Changes keep every byte of every line they do not touch: comments, blank
// lines, other sections, Latin-1 bytes, a byte-order mark, the line-end style
// (CRLF for a new file) and a missing final line end. A new key goes after the
// last key line of its section, a new section to the end of the file. No
// change ever creates a second copy of an existing section or key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "byte_parts.h"
#include "reason_text.h"

/// One INI file's bytes held in memory for a series of reads and changes.
/// Its sections are split apart and indexed once when loaded, so that a
/// change costs the size of its section, not of the file. It knows no path
/// and no disk: bytes go in (Load), views and pieces come out (Read, Parts).
/// It holds views into its own strings, so it is neither copied nor moved.
class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string bytes);
  IniDocument(const IniDocument&) = delete;
  IniDocument& operator=(const IniDocument&) = delete;

  /// Takes `bytes` as the file's content as read, forgetting everything held.
  void Load(std::string bytes);
  /// Forgets the content and any failure: an empty document.
  void Clear();

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
  /// name holding ']', and empty names.
  bool Write(const std::string& section, const std::string& key, const std::string& value);

  /// Removes every line of `key` in `section`; an absent key is no error.
  bool Delete(const std::string& section, const std::string& key);

  /// Removes every key line of `section`, keeping its header, comments and blank lines.
  bool EmptySection(const std::string& section);

  /// True once any call was refused since Load().
  bool Failed() const { return m_failed; }
  /// Why the first refusal happened ("the key name \"a=b\" cannot stand in the file").
  const Reason& Error() const { return m_error; }
  /// Marks the document failed with `reason`, for a refusal decided by a caller.
  void Fail(const Reason& reason);

  /// True when the held bytes differ from those loaded (or last marked saved).
  bool Changed() const;
  /// The bytes loaded, or last marked saved once the content changed again.
  const std::string& Loaded() const { return m_original; }
  /// The held content is what the file now holds (it was saved): Changed()
  /// is false until the next change.
  void MarkSaved();
  /// The file's bytes as they would be saved.
  std::string Bytes() const;
  /// The same, as pieces to write one after the other; valid until the next change.
  ByteParts Parts() const;
  /// Replaces the whole held content with `bytes` (to be saved as they are).
  bool SetBytes(std::string bytes);

 private:
  // One section: its header line (none for the lines before the first
  // header) and body lines, with their line ends, as in the file. A view
  // into the bytes read until it is first changed, its own copy from then on.
  struct Section {
    std::string_view view;
    std::string own;
    bool hasHeader = false;
    bool owned = false;
    // Its key lines in order, each as a hash of its key without case and
    // where it begins, and where the line after the last key line begins:
    // built at the first lookup, dropped by every change of the section
    // (building it again is one pass that allocates nothing).
    struct KeyLine {
      std::uint32_t hash;
      std::uint32_t at;
    };
    mutable std::vector<KeyLine> keys;
    mutable std::size_t afterLastKey = 0;
    mutable bool indexed = false;
    std::string_view Text() const { return owned ? std::string_view(own) : view; }
  };

  Section* Find(const std::string& name);
  const Section* Find(const std::string& name) const;
  // Where the first line of `key` begins in `section`'s text; npos when absent.
  static std::size_t FindKey(const Section& section, const std::string& key);
  void Split(std::string_view bytes);
  std::string& Own(Section& section);
  void TakeSavedAsRead();
  bool EndsOpen() const;
  void InsertLine(Section& section, std::size_t at, const std::string& line);
  void EraseLine(Section& section, std::size_t begin, std::size_t next);
  // Erases the key lines of `section`: those of `key`, or all when it is null.
  void EraseKeyLines(const std::string& section, const std::string* key);
  bool Refuse(const Reason& reason);
  void ClearContent();  // everything Split() fills

  std::string m_original;  // as loaded or last saved: the sections' bytes
  std::string m_replaced;  // the bytes given to SetBytes(), which the sections then view
  bool m_saved = false;    // saved and not changed since: m_original is behind the file
  std::string m_bom;       // a UTF-8 byte-order mark at the start, kept apart
  std::vector<Section> m_sections;                      // [0]: lines before the first header
  std::unordered_map<std::string, std::size_t> m_index;  // lower-case name -> first section of it
  std::string m_eol = "\r\n";
  bool m_failed = false;
  Reason m_error;
};
