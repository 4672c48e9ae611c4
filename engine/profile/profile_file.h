// The character file's INI access: an in-memory, byte-preserving INI document
// tied to one path.
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
#include <functional>
#include <utility>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "file_lock.h"
#include "file_read.h"
#include "file_replace.h"

/// One INI file held in memory for a series of reads and changes, written
/// back in one atomic step by Save(). Its sections are split apart and
/// indexed once when it is read, so that a change costs the size of its
/// section, not of the file. While open, it holds this program's lock on the
/// file (see FileLock), so runs on one file follow each other.
class ProfileFile {
 public:
  ProfileFile() = default;
  ProfileFile(const ProfileFile&) = delete;
  ProfileFile& operator=(const ProfileFile&) = delete;

  /// Takes the lock (unless `lock` is false, for reading only) and reads the
  /// file at `path`. A file to be changed (locked) that changed less than
  /// the quiet time ago is still being saved (by the game): it is read once it
  /// has been unchanged that long (see SetQuietTime); what stopped runs left
  /// beside it is looked at first (see SweepLeftoversOf; Notes() says what
  /// was put back). A missing file opens empty and is created by
  /// Save(). Returns false (holding nothing, with Error() saying why) for an
  /// empty path, a folder ("… is a folder, not a character file"), a path
  /// that is not a regular file, a file that cannot be read or never stops
  /// changing, or a lock another run keeps.
  bool Open(const std::string& path, bool lock = true);

  /// Releases the lock and forgets the file's content.
  void Close();

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
  /// ReplaceReadFile); an unchanged file is not touched. Fails without
  /// writing when the file on disk no longer is what Open() read (another
  /// program changed it meanwhile, up to the moment of the swap; then
  /// ChangedMeanwhile() is true and the file keeps that program's content).
  /// A save of another program that the swap displaced and that could not
  /// be put back is handed to the keeper (SetKeeper) and named in Error();
  /// that is a failure, not a change to start over on. False on failure.
  bool Save();
  /// True when the last Save() failed because another program changed the file.
  bool ChangedMeanwhile() const { return m_changedMeanwhile; }

  /// True once any refused call or failed Open() or Save() happened since Open().
  bool Failed() const { return m_failed; }
  /// Why the first failure happened, naming the file where it concerns it:
  /// "c.ini: permission denied", "c.ini: changed by another program ...".
  const std::string& Error() const { return m_error; }
  /// Marks the file failed with `reason`, for a refusal decided by a caller.
  void Fail(const std::string& reason);
  /// True when the held bytes differ from those read by Open().
  bool Changed() const;
  /// The file's bytes as they would be saved.
  std::string Bytes() const;
  /// The same, as the pieces Save() writes one after the other; valid until
  /// the next change.
  ByteParts Parts() const;
  /// Replaces the whole held content with `bytes` (to be saved as they are).
  bool SetBytes(std::string bytes);

  /// `before` is called by Save() when it is about to replace an existing
  /// file (its bytes changed and the file on disk still holds what was
  /// read), with the bytes being replaced. When it returns false, Save()
  /// writes nothing and fails with the reason it set. When it returned true
  /// and the replacement then fails, `failed` is called. Kept until Close().
  using BeforeReplace = std::function<bool(const std::string& oldBytes, std::string& reason)>;
  void SetBeforeReplace(BeforeReplace before, std::function<void()> failed = nullptr) {
    m_beforeReplace = std::move(before);
    m_replaceFailed = std::move(failed);
  }

  /// `keep` is given what another program saved and could not stay the file
  /// (see ReplaceOutcome::Kept), to keep it somewhere safe. Kept until Close().
  void SetKeeper(LeftoverKeeper keep) { m_keep = std::move(keep); }

  /// What was done besides reading and writing since Open() (a file a
  /// stopped run left, put back or kept), for the run to say.
  const std::vector<std::string>& Notes() const { return m_notes; }
  void AddNotes(const std::vector<std::string>& notes) { m_notes.insert(m_notes.end(), notes.begin(), notes.end()); }

  /// How long Open() waits for a lock another run holds (default 3000 ms).
  static void SetLockWait(int milliseconds);
  /// How long a file must have been unchanged before Open() reads it (default
  /// 1000 ms; the programs take BRINDLEMARQUE_QUIET_MS from the environment,
  /// for tests), and how long Open() waits for that at most (default 5000 ms).
  static void SetQuietTime(int quietMs, int limitMs = 5000);

 private:
  // One section: its header line (none for the lines before the first
  // header) and body lines, with their line ends, as in the file. A view
  // into the bytes read until it is first changed, its own copy from then on.
  struct Section {
    std::string_view view;
    std::string own;
    bool hasHeader = false;
    bool owned = false;
    std::string_view Text() const { return owned ? std::string_view(own) : view; }
  };

  Section* Find(const std::string& name);
  const Section* Find(const std::string& name) const;
  void Split(std::string_view bytes);
  std::string& Own(Section& section);
  void TakeSavedAsRead();
  bool EndsOpen() const;
  void InsertLine(Section& section, std::size_t at, const std::string& line);
  void EraseLine(Section& section, std::size_t begin, std::size_t next);
  // Erases the key lines of `section`: those of `key`, or all when it is null.
  void EraseKeyLines(const std::string& section, const std::string* key);
  bool Refuse(const std::string& reason);
  bool RefuseNotOpen();
  void ClearContent();  // everything Split() fills

  std::string m_path;
  std::string m_original;  // as read by Open() or written by Save(): the sections' bytes
  std::string m_replaced;  // the bytes given to SetBytes(), which the sections then view
  bool m_saved = false;    // saved and not changed since: m_original is behind the file
  FileStamp m_stamp;       // the file's stamp when m_original was read or written
  bool m_existed = false;  // the file existed when it was read
  bool m_changedMeanwhile = false;
  std::string m_bom;       // a UTF-8 byte-order mark at the start, kept apart
  std::vector<Section> m_sections;                      // [0]: lines before the first header
  std::unordered_map<std::string, std::size_t> m_index;  // lower-case name -> first section of it
  std::string m_eol = "\r\n";
  bool m_open = false;
  bool m_failed = false;
  std::string m_error;
  FileLock m_lock;
  BeforeReplace m_beforeReplace;
  std::function<void()> m_replaceFailed;
  LeftoverKeeper m_keep;
  std::vector<std::string> m_notes;
};
