// The lock, the quiet read, the sweep and the checked save of one character file.
#include "character_file_session.h"

#include <filesystem>

#include "file_error.h"
#include "paths.h"
#include "reason_text.h"
#include "save_points.h"

bool CharacterFileSession::Open(const std::string& path, const FileWaits& waits, LeftoverKeeper keep) {
  Close();
  m_path = path;
  m_quiet = waits.quiet;
  m_failed = false;
  m_changedMeanwhile = false;
  m_error = {};
  m_notes.clear();
  if (path.empty()) return Refuse(R_("no character file chosen"));
  if (IsFolder(path)) return Refuse(Reason(reason::kFolderNotCharacter, {Reason::Path(path)}));
  if (!m_lock.Acquire(path, waits.lockWaitMs)) return Refuse(AtPath(path, LastFileError()));
  m_keep = std::move(keep);
  m_notes = SweepLeftoversOf(path, m_keep, true);  // what a stopped run left beside the file
  ReachSavePoint(SavePoint::BeforeRead, path);
  std::string bytes;
  ReadStatus status = ReadQuietFile(path, m_quiet.quietMs, m_quiet.limitMs, bytes, m_stamp);
  if (status == ReadStatus::Failed) {
    Reason reason = AtPath(path, LastFileError());
    Close();
    return Refuse(reason);
  }
  m_existed = status == ReadStatus::Ok;
  m_document.Load(std::move(bytes));
  m_open = true;
  return true;
}

void CharacterFileSession::Close() {
  m_lock.Release();
  m_beforeReplace = nullptr;
  m_replaceFailed = nullptr;
  m_keep = nullptr;
  m_open = false;
  m_document.Clear();
}

bool CharacterFileSession::Refuse(const Reason& reason) {
  if (!Failed()) m_error = reason;
  m_failed = true;
  return false;
}

bool CharacterFileSession::Save() {
  if (!m_open) return Refuse(m_path.empty() ? Reason(R_("no character file chosen")) : AtPath(m_path, R_("not open")));
  if (!m_document.Changed()) return true;
  const ByteParts bytes = m_document.Parts();
  const std::string& original = m_document.Loaded();
  // The slow steps first (the backup, then the temporary file); the check
  // that the file is still what this run read comes last, right before the
  // swap, so that a change made meanwhile by the game is never lost.
  Reason reason;
  bool told = m_existed && m_beforeReplace;
  if (told && !m_beforeReplace(original, reason)) return Refuse(AtPath(m_path, reason));
  ReachSavePoint(SavePoint::AfterBackup, m_path);
  ReplaceResult result = ReplaceReadFile(m_path, bytes, m_stamp, original, m_quiet, m_lock.Handle());
  reason = LastFileError();
  switch (result.outcome) {
    case ReplaceOutcome::Done:
      break;
    case ReplaceOutcome::Failed:
    case ReplaceOutcome::Changed:
      // The file is as it was, or another program's: the backup kept for
      // this replacement stands for nothing that happened.
      if (told && m_replaceFailed) m_replaceFailed();
      if (result.outcome == ReplaceOutcome::Failed) return Refuse(AtPath(m_path, reason));
      m_changedMeanwhile = true;
      return Refuse(AtPath(m_path, reason::kChangedRunAgain));
    case ReplaceOutcome::Kept: {
      // Another program's save could not stay the file: it is kept, and said where.
      std::string where;
      if (m_keep && m_keep(result.kept, where) && !where.empty()) {
        std::error_code ignored;
        std::filesystem::remove(FsPath(result.kept), ignored);  // kept twice is once too many
        reason = Reason(reason::kOtherVersionKeptAsBackup, {Reason::Path(where)});
      }
      return Refuse(AtPath(m_path, reason));
    }
    case ReplaceOutcome::Unknown:
      return Refuse(AtPath(m_path, reason));
  }
  m_document.MarkSaved();  // what was saved is what was read, from now on
  m_existed = true;
  StampFile(m_path, m_stamp);  // a second Save() compares with what this one wrote
  return true;
}
