#include "backups.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <filesystem>
#include <system_error>

#include "ascii_text.h"
#include "byte_hash.h"
#include "file_error.h"
#include "paths.h"
#include "reason_text.h"
#include "environment.h"
#include "file_read.h"
#include "file_replace.h"
#include "system_time.h"

namespace fs = std::filesystem;

const char* const kCannotRestore = "can't restore the backup";

namespace {

const char* const kNoteExtension = ".note";
// The last line of a note: the hash of its backup's bytes, so that the
// newest backup is compared with new bytes without being read.
const char* const kHashLine = "#bytes-hash ";
const char* const kSourceName = "source.txt";
constexpr std::size_t kStampLength = 24;  // "2026-12-07_12-05-22.123Z"

std::uint32_t HashOf(const std::string& text, bool foldAscii = false) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : text) {
    if (foldAscii) c = LowerAscii(c == '/' ? '\\' : c);
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return hash;
}

const char* const kStampFormat = "%Y-%m-%d_%H-%M-%S";

// A moment in milliseconds since 1970 (UTC) as a backup's name stem, and back.
std::string StampOf(std::int64_t ms) {
  std::tm fields{};
  if (!UtcFields(ms / 1000, fields)) return std::string();
  char text[64];
  std::size_t length = std::strftime(text, sizeof text, kStampFormat, &fields);
  std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(ms % 1000));
  return text;
}

// The moments a backup may be named after: 1970 to the end of the
// calendar's four-digit years (of 3000 on Windows).
const std::int64_t kLastStampMs = kLastCalendarSecond * 1000 + 999;
const std::int64_t kFutureSlackMs = 24 * 3600 * 1000;  // a day: time zones and clocks a little off

// The moment a backup's name stands for. Only a real moment counts: a name
// whose fields are out of range (a 31st of February, hour 25) is not a backup
// of ours, which is seen by writing the moment back.
bool ParseStamp(const std::string& name, std::int64_t& ms) {
  if (name.size() < kStampLength) return false;
  const char* pattern = "dddd-dd-dd_dd-dd-dd.dddZ";
  for (std::size_t i = 0; i < kStampLength; ++i) {
    bool digit = name[i] >= '0' && name[i] <= '9';
    if (pattern[i] == 'd' ? !digit : name[i] != pattern[i]) return false;
  }
  auto number = [&name](std::size_t at, std::size_t digits) {
    int n = 0;
    for (std::size_t i = at; i < at + digits; ++i) n = n * 10 + (name[i] - '0');
    return n;
  };
  std::tm fields{};
  fields.tm_year = number(0, 4) - 1900;
  fields.tm_mon = number(5, 2) - 1;
  fields.tm_mday = number(8, 2);
  fields.tm_hour = number(11, 2);
  fields.tm_min = number(14, 2);
  fields.tm_sec = number(17, 2);
  std::int64_t seconds;
  if (!UtcSeconds(fields, seconds)) return false;
  ms = seconds * 1000 + number(20, 3);
  return name.compare(0, kStampLength, StampOf(ms)) == 0;
}

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string LocalTimeOf(std::int64_t ms) {
  std::tm local{};
  char text[32] = "";
  if (LocalFields(ms / 1000, local)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// A regular file itself, not a link to one (which could lead anywhere).
bool IsPlainFile(const std::string& path) {
  std::error_code failed;
  return fs::symlink_status(FsPath(path), failed).type() == fs::file_type::regular && !failed;
}

// A stamp more than a day ahead of the clock: made while the clock was
// wrong. Its moment says nothing about when it was made.
bool FromTheFuture(std::int64_t ms, std::int64_t now) { return ms > now + kFutureSlackMs; }

// The backups' names in `folder`, newest first, with their moments: plain
// files named after a moment, nothing else that may lie there. Those named
// in the future come last: the newest backup is the newest one made by a
// right clock.
std::vector<std::pair<std::string, std::int64_t>> BackupNames(const std::string& folder) {
  std::vector<std::string> names;
  std::vector<std::pair<std::string, std::int64_t>> backups;
  if (!ListFolder(folder, names)) return backups;
  for (const std::string& name : names) {
    std::int64_t ms;
    if (!EndsWith(name, kNoteExtension) && ParseStamp(name, ms) && IsPlainFile(JoinPath(folder, name)))
      backups.emplace_back(name, ms);
  }
  const std::int64_t now = NowMs();
  std::sort(backups.begin(), backups.end(), [now](const auto& a, const auto& b) {
    const bool aLate = FromTheFuture(a.second, now), bLate = FromTheFuture(b.second, now);
    return aLate != bLate ? bLate : a.first > b.first;
  });
  return backups;
}

std::string NoteName(const std::string& backupName) { return backupName.substr(0, kStampLength) + kNoteExtension; }

// Removes one backup and its note; one left over is no reason to fail a run.
void RemoveBackup(const std::string& folder, const std::string& name) {
  std::error_code ignored;
  fs::remove(FsPath(JoinPath(folder, name)), ignored);
  fs::remove(FsPath(JoinPath(folder, NoteName(name))), ignored);
}

// Removes all but the newest kBackupsKept of `backups` (BackupNames' order).
void RemoveAllButNewest(const std::string& folder, const std::vector<std::pair<std::string, std::int64_t>>& backups) {
  for (std::size_t i = kBackupsKept; i < backups.size(); ++i) RemoveBackup(folder, backups[i].first);
}

// The folder of the backups of the file at the full path `full`, named after
// the file and its folder as spelt, and a hash of `key`.
std::string FolderFor(const std::string& root, const std::string& full, std::uint32_t key) {
  fs::path path = FsPath(full);
  std::string name = PathText(path.filename());
  std::string parent = PathText(path.parent_path().filename());
  char hash[16];
  std::snprintf(hash, sizeof hash, "%08x", static_cast<unsigned>(key));
  return JoinPath(root, name + (parent.empty() ? std::string() : " (" + parent + ")") + " " + hash);
}

// The folder of the backups of the file at the full path `full`: named as
// the file system spells the file, hashed from the file's identity, so that every spelling of one file finds the
// same backups. Where that folder is missing and one hashed from the path
// as spelt (with ASCII case folded on Windows, as older versions did)
// exists, that one is moved to the new name first.
std::string FolderFor(const std::string& root, const std::string& full) {
  std::string folder = FolderFor(root, FileSystemSpelling(full), HashOf(FileIdentity(full)));
  if (kFileNamesIgnoreCase) {
    std::string older = FolderFor(root, full, HashOf(full, true));
    std::error_code ignored;
    if (older != folder && !fs::exists(FsPath(folder), ignored) && fs::is_directory(FsPath(older), ignored))
      fs::rename(FsPath(older), FsPath(folder), ignored);
  }
  return folder;
}

std::string WithoutLineEnds(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// A note's text with its backup's hash as its last line.
std::string NoteText(const std::string& note, const std::string& hash) { return note + "\n" + kHashLine + hash + "\n"; }

// The note of `notePath` as written (the hash line apart); false when there is none.
bool ReadNote(const std::string& notePath, std::string& note, std::string& hash) {
  note.clear();
  hash.clear();
  if (!IsPlainFile(notePath) || ReadFileBytes(notePath, note, 4096) != ReadStatus::Ok) return false;
  std::size_t mark = note.rfind(kHashLine);
  if (mark != std::string::npos && (mark == 0 || note[mark - 1] == '\n')) {
    hash = WithoutLineEnds(note.substr(mark + std::strlen(kHashLine)));
    note.erase(mark);
  }
  note = WithoutLineEnds(std::move(note));
  return true;
}

// The same bytes as the newest backup's: sizes first, then the hash its
// note keeps; the backup itself is read only when its note has none.
bool SameAsNewest(const std::string& folder, const std::string& newest, const std::string& bytes,
                  const std::string& hash) {
  std::string path = JoinPath(folder, newest), kept, note, keptHash;
  std::error_code failed;
  auto size = fs::file_size(FsPath(path), failed);
  if (failed || size != bytes.size()) return false;
  if (ReadNote(JoinPath(folder, NoteName(newest)), note, keptHash) && !keptHash.empty()) return keptHash == hash;
  return ReadFileBytes(path, kept) == ReadStatus::Ok && kept == bytes;
}

}  // namespace

std::string BackupRoot() {
  std::string base = UserDataFolder();
  return base.empty() ? std::string() : JoinPath(JoinPath(base, "Brindlemarque"), "backups");
}

std::string BackupFolder(const std::string& file) {
  std::string root = BackupRoot();
  return root.empty() || file.empty() ? std::string() : FolderFor(root, AbsolutePath(file));
}

bool KeepBackup(const std::string& file, const std::string& bytes, const BackupNote& backupNote, Reason& error,
                std::string* created) {
  const std::string note = WriteBackupNote(backupNote);
  if (created) created->clear();
  std::string root = BackupRoot(), full = AbsolutePath(file);
  std::string folder = root.empty() || file.empty() ? std::string() : FolderFor(root, full);
  if (folder.empty()) {
    error = file.empty() ? Reason(R_("can't keep a backup: no file named"))
                         : Reason(R_("can't keep a backup: no folder for it (HOME or LOCALAPPDATA is not set)"));
    return false;
  }
  std::error_code made;
  fs::create_directories(FsPath(folder), made);
  if (made) {
    error = Reason(reason::kCannotKeepBackupIn, {Reason::Path(folder), SystemErrorText(made)});
    return false;
  }
  RemoveStaleTemporaryFiles(folder);  // of a run killed while it kept a backup
  auto existing = BackupNames(folder);
  const std::string hash = HashTextOfBytes(bytes);
  // The same bytes as the newest backup (a run that failed after keeping
  // one, again and again): nothing new to keep, and older ones stay; a note
  // that could not be written then is written now.
  if (!existing.empty() && SameAsNewest(folder, existing.front().first, bytes, hash)) {
    std::string notePath = JoinPath(folder, NoteName(existing.front().first));
    if (!note.empty() && !FileOrFolderExists(notePath)) ReplaceFileAtomically(notePath, NoteText(note, hash));
    return true;
  }
  // Always newer than the newest kept, even when the clock went back; within
  // the four-digit years whatever the clock says (at the very end of 9999 a
  // new backup takes the place of the newest).
  std::int64_t now = NowMs();
  // After the newest backup even when the clock went back a little; a
  // stamp from the future is no base (every later backup would take it).
  if (!existing.empty() && !FromTheFuture(existing.front().second, now))
    now = std::max(now, existing.front().second + 1);
  now = std::clamp<std::int64_t>(now, 0, kLastStampMs);
  std::string extension = PathText(FsPath(file).extension());
  std::string name = StampOf(now) + extension;
  // The backup, its note and (the first time) source.txt go to disk
  // together: one flush of the folder. Only the backup's bytes are flushed
  // themselves; a note or source.txt a system crash empties costs a line of
  // text ("(no note)"), never the backup, and an empty source.txt is written again.
  std::vector<FileWrite> writes;
  std::string source = JoinPath(folder, kSourceName), sourceText = full + "\n";
  std::error_code ignored;
  auto sourceSize = fs::file_size(FsPath(source), ignored);
  if (ignored || sourceSize == 0) writes.push_back({source, {sourceText}, false});
  writes.push_back({JoinPath(folder, name), {bytes}, true});
  const std::size_t backupWrites = writes.size();
  std::string notePath = JoinPath(folder, NoteName(name)), noteText = NoteText(note, hash);
  if (!note.empty()) writes.push_back({notePath, {noteText}, false});
  const std::size_t written = ReplaceFilesTogether(writes);
  if (written < backupWrites) {
    error = Reason(reason::kCannotKeepBackupIn, {Reason::Path(folder), LastFileError()});
    return false;
  }
  // The bytes matter, not the note: a note that could not be written is left
  // out, and a note of an older backup of that moment is not this one's.
  if (written < writes.size() || note.empty()) fs::remove(FsPath(notePath), ignored);
  // The new backup is the newest (unless it took the newest's name, at the
  // end of the calendar): the folder need not be listed again to prune it.
  if (existing.empty() || existing.front().first != name) existing.insert(existing.begin(), {name, now});
  RemoveAllButNewest(folder, existing);
  if (created) *created = name;
  return true;
}

void DropBackup(const std::string& file, const std::string& created) {
  if (!created.empty()) RemoveBackup(BackupFolder(file), created);
}

std::vector<BackupInfo> ListBackups(const std::string& file) {
  std::vector<BackupInfo> list;
  std::string folder = BackupFolder(file);
  if (folder.empty()) return list;
  const std::int64_t now = NowMs();
  for (const auto& [name, ms] : BackupNames(folder)) {
    BackupInfo info;
    info.path = JoinPath(folder, name);
    info.time = LocalTimeOf(ms);
    info.fromFuture = FromTheFuture(ms, now);
    std::error_code ignored;
    auto size = fs::file_size(FsPath(info.path), ignored);
    info.size = ignored ? 0 : static_cast<unsigned long long>(size);
    std::string note, hash;
    ReadNote(JoinPath(folder, NoteName(name)), note, hash);
    info.note = ReadBackupNote(note);
    list.push_back(std::move(info));
  }
  return list;
}

bool KeepDisplacedSave(const std::string& file, const std::string& displaced, std::string& where) {
  std::string bytes, created;
  Reason error;
  if (ReadFileBytes(displaced, bytes) != ReadStatus::Ok) return false;
  if (!KeepBackup(file, bytes, BackupNote::At(BackupNote::Kind::Displaced, LocalTimeOf(NowMs())), error, &created))
    return false;
  // Bytes the newest backup holds already (the file as a stopped run read
  // it) need no word.
  where = created.empty() ? std::string() : JoinPath(BackupFolder(file), created);
  return true;
}

LeftoverKeeper DisplacedSaveKeeper(const std::string& file) {
  return [file](const std::string& displaced, std::string& where) { return KeepDisplacedSave(file, displaced, where); };
}

void KeepBackupsOf(CharacterFileSession& file, const std::string& path, const BackupNote& note) {
  auto created = std::make_shared<std::string>();
  file.SetBeforeReplace(
      [path, note, created](const std::string& oldBytes, Reason& reason) {
        return KeepBackup(path, oldBytes, note, reason, created.get());
      },
      [path, created] { DropBackup(path, *created); });
}

namespace {

// A restore's failure: `why`, under kCannotRestore.
Reason CannotRestore(Reason why) { return Lines(Reason::Plain(kCannotRestore), std::move(why)); }

// The outcome of a restore that did not get to the file.
RunOutcome RestoreRefused(Reason why) {
  RunOutcome refused;
  refused.headline = CannotRestore(std::move(why));
  return refused;
}

// Puts the backup `name` (made at `ms`) of `file` back, as RestoreBackup says.
RunOutcome Restore(const std::string& file, const std::string& folder, const std::string& name, std::int64_t ms,
                   const FileWaits& waits) {
  RunOutcome result;  // refused until the file is worked on
  result.backupTime = LocalTimeOf(ms);
  std::string path = JoinPath(folder, name), bytes;
  if (ReadFileBytes(path, bytes) != ReadStatus::Ok) {
    result.headline = CannotRestore(AtPath(path, LastFileError()));
    return result;
  }
  result.kind = RunKind::Failed;
  CharacterFileSession target;
  if (target.Open(file, waits, DisplacedSaveKeeper(file)) && target.Document().SetBytes(std::move(bytes))) {
    const bool changed = target.Document().Changed();
    KeepBackupsOf(target, file, BackupNote::At(BackupNote::Kind::Restore, result.backupTime));
    if (target.Save()) result.kind = changed ? RunKind::Built : RunKind::UpToDate;
  }
  if (result.kind == RunKind::Failed) result.headline = CannotRestore(target.Error());
  result.details = target.Notes();
  return result;
}

}  // namespace

RunOutcome RestoreBackup(const std::string& file, int number, const FileWaits& waits) {
  std::string folder = BackupFolder(file);
  auto backups = BackupNames(folder);  // none for an empty folder, which cannot be listed
  if (number < 1 || static_cast<std::size_t>(number) > backups.size())
    return RestoreRefused(backups.empty() ? Reason(reason::kNoBackupsKept, {Reason::Path(file), Reason::Path(folder)})
                                          : Reason(reason::kNoSuchBackup, {Reason::Path(file), Number(number),
                                                                           Number(static_cast<long long>(backups.size()))}));
  const auto& [name, ms] = backups[static_cast<std::size_t>(number) - 1];
  return Restore(file, folder, name, ms, waits);
}

RunOutcome RestoreBackup(const std::string& file, const BackupInfo& backup, const FileWaits& waits) {
  std::string folder = BackupFolder(file);
  for (const auto& [name, ms] : BackupNames(folder))
    if (JoinPath(folder, name) == backup.path) return Restore(file, folder, name, ms, waits);
  return RestoreRefused(Reason(reason::kBackupGone, {Reason::Path(backup.path), Reason::Plain(backup.time)}));
}
