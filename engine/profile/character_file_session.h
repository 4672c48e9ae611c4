// One run's hold on a character file: the lock, the read of a file the game
// may be saving, what stopped runs left beside it, and the checked save.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "file_lock.h"
#include "file_read.h"
#include "file_replace.h"
#include "file_waits.h"
#include "ini_document.h"

/// A character file opened to be changed: locked (see FileLock) so that runs
/// on one file follow each other, read once it is quiet, edited in memory
/// through Document(), written back in one atomic step by Save().
class CharacterFileSession {
 public:
  CharacterFileSession() = default;
  CharacterFileSession(const CharacterFileSession&) = delete;
  CharacterFileSession& operator=(const CharacterFileSession&) = delete;

  /// Takes the lock, looks at what stopped runs left beside the file (see
  /// SweepLeftoversOf: what another program saved and cannot be put back is
  /// handed to `keep`; Notes() says what was done), then reads the file once
  /// it has been unchanged for the quiet time. A missing file opens empty and
  /// is created by Save(). Returns false (holding nothing, with Error()
  /// saying why) for an empty path, a folder ("… is a folder, not a
  /// character file"), a path that is not a regular file, a file that cannot
  /// be read or never stops changing, or a lock another run keeps.
  bool Open(const std::string& path, const FileWaits& waits, LeftoverKeeper keep = nullptr);

  /// Releases the lock and forgets the file's content.
  void Close();

  /// The file's content, to read and change; empty until Open().
  IniDocument& Document() { return m_document; }
  const IniDocument& Document() const { return m_document; }

  /// Writes the document back atomically when its bytes changed (see
  /// ReplaceReadFile); an unchanged file is not touched. Fails without
  /// writing when the file on disk no longer is what Open() read (another
  /// program changed it meanwhile, up to the moment of the swap; then
  /// ChangedMeanwhile() is true and the file keeps that program's content).
  /// A save of another program that the swap displaced and that could not
  /// be put back is handed to the keeper and named in Error(); that is a
  /// failure, not a change to start over on. False on failure.
  bool Save();
  /// True when the last Save() failed because another program changed the file.
  bool ChangedMeanwhile() const { return m_changedMeanwhile; }

  /// True once Open() or Save() failed, or the document refused a call.
  bool Failed() const { return m_failed || m_document.Failed(); }
  /// Why: "c.ini: permission denied", "c.ini: changed by another program ...",
  /// or the document's refusal.
  const Reason& Error() const { return m_failed ? m_error : m_document.Error(); }

  /// `before` is called by Save() when it is about to replace an existing
  /// file (its bytes changed and the file on disk still holds what was
  /// read), with the bytes being replaced. When it returns false, Save()
  /// writes nothing and fails with the reason it set. When it returned true
  /// and the replacement then fails, `failed` is called. Kept until Close().
  using BeforeReplace = std::function<bool(const std::string& oldBytes, Reason& reason)>;
  void SetBeforeReplace(BeforeReplace before, std::function<void()> failed = nullptr) {
    m_beforeReplace = std::move(before);
    m_replaceFailed = std::move(failed);
  }

  /// What was done besides reading and writing since Open() (a file a
  /// stopped run left, put back or kept), for the run to say.
  const std::vector<Reason>& Notes() const { return m_notes; }

 private:
  bool Refuse(const Reason& reason);

  std::string m_path;
  IniDocument m_document;
  QuietTime m_quiet;
  FileStamp m_stamp;       // the file's stamp when the document's bytes were read or written
  bool m_existed = false;  // the file existed when it was read
  bool m_open = false;
  bool m_changedMeanwhile = false;
  bool m_failed = false;
  Reason m_error;
  FileLock m_lock;
  BeforeReplace m_beforeReplace;
  std::function<void()> m_replaceFailed;
  LeftoverKeeper m_keep;
  std::vector<Reason> m_notes;
};
