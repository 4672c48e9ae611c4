// Backups of the files a run is about to change: the bytes a file held just
// before it was replaced, kept in the user's data folder so that a build can
// be undone.
//
//   <root>/<file name> (<folder name>) <hash>/2026-12-07_12-05-22.123Z.ini
//                                            /2026-12-07_12-05-22.123Z.note
//                                            /source.txt
//
// The root is $XDG_DATA_HOME/Brindlemarque/backups (default
// ~/.local/share/Brindlemarque/backups), on Windows
// %LOCALAPPDATA%\Brindlemarque\backups. Each file has a folder of its own,
// named after it, its folder, and a hash of its full path; source.txt names
// the file in full. A backup is named after the moment (UTC) it was made and
// keeps the file's extension; its .note says what the run that followed it
// was about to write. The newest kBackupsKept are kept per file.
#pragma once

#include <string>
#include <vector>

#include "backup_note.h"
#include "character_file_session.h"
#include "run_outcome.h"

constexpr int kBackupsKept = 20;

/// The message of a restore that failed (the reason follows on the next line).
extern const char* const kCannotRestore;  // "can't restore the backup"

struct BackupInfo {
  std::string path;              ///< the backup file
  std::string time;              ///< when it was made, local time: "2026-12-07 13:05:22"
  unsigned long long size = 0;   ///< its size in bytes
  BackupNote note;               ///< what the run after it was about to write
  bool fromFuture = false;       ///< named more than a day ahead of the clock: `time` is not when it was made
};

/// The folder all backups are kept under; empty when the environment names
/// no home (HOME, or LOCALAPPDATA on Windows).
std::string BackupRoot();

/// The folder of the backups of `file`.
std::string BackupFolder(const std::string& file);

/// Keeps `bytes`, the content of `file` about to be replaced, as its newest
/// backup with `note`: written to a temporary file, flushed and renamed, so
/// it is whole on disk before the caller goes on. Then removes all but the
/// newest kBackupsKept. Bytes equal to the newest backup's are not kept
/// twice (a run that kept them and then failed, repeated). False, with `error` saying where and why, when the
/// backup could not be written.
/// `created`, when given, receives the new backup's name in the folder
/// (empty when none was needed).
bool KeepBackup(const std::string& file, const std::string& bytes, const BackupNote& note, Reason& error,
                std::string* created = nullptr);

/// Removes the backup `created` (a name KeepBackup gave) of `file` and its
/// note again, for a change that did not happen; an empty name removes nothing.
void DropBackup(const std::string& file, const std::string& created);

/// The backups of `file`, newest first (number 1 is the newest): the plain
/// files (no links) of its folder named after a real moment.
std::vector<BackupInfo> ListBackups(const std::string& file);

/// Makes every replacement of `file`, open on `path`, keep a backup with
/// `note` first; a backup that cannot be written stops the save, and one
/// kept for a replacement that then failed while the file stayed as it was
/// is removed again ("undo" must not find it).
void KeepBackupsOf(CharacterFileSession& file, const std::string& path, const BackupNote& note);

/// The keeper a session on `file` opens with: a save of another program that
/// a replacement displaced and could not put back, or that a stopped run left
/// beside the file, becomes a backup of its own (noted "the game's save,
/// displaced by a run at …", see KeepDisplacedSave); the session's Notes() say so.
LeftoverKeeper DisplacedSaveKeeper(const std::string& file);

/// Keeps the file at `displaced`, another program's save of `file` that a
/// run displaced, as the newest backup of `file`; `where` is its path (empty
/// when the newest backup held those bytes already). False when it could
/// not be kept.
bool KeepDisplacedSave(const std::string& file, const std::string& displaced, std::string& where);

/// Puts backup `number` (1 = newest) of `file` back, after keeping the
/// file's current content as a backup ("before restoring the backup of
/// <time>"), so that a restore can be undone the same way. Takes the file's
/// lock and refuses a file changed meanwhile, like a build. Built when the
/// file was put back, UpToDate when it already held the backup's bytes (left
/// alone); Refused when there is no such backup, Failed when the file could
/// not be written (nothing changed), both with kCannotRestore and the reason
/// on the next line as the headline. The outcome's backupTime is the
/// backup's; its details say what the restore did besides (a version of the
/// file a stopped run had left, put back or kept as a backup).
RunOutcome RestoreBackup(const std::string& file, int number, const FileWaits& waits);

/// RestoreBackup of the backup `backup` (from ListBackups) itself, whatever
/// its number is by now: what the player confirmed is what comes back. Fails
/// when it is gone.
RunOutcome RestoreBackup(const std::string& file, const BackupInfo& backup, const FileWaits& waits);
