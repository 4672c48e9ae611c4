// Replacing a file whole, so that a failure never leaves it half-written and
// nothing another program (the game) saves meanwhile is lost without a word.
//
// A replacement writes a temporary file ".<name>.brindlemarque-<pid>-…"
// beside the file, flushes it, and only then swaps it in. A file the swap
// displaces is looked at once more and put back when another program wrote
// it; what cannot be put back is kept, never removed. Failing calls leave
// their reason in LastFileError().
//
// Where the file system can exchange two names atomically (Linux's
// RENAME_EXCHANGE) or replace with a backup name (Windows' ReplaceFileW),
// every save of the other program is seen. Without the exchange (exFAT, FAT,
// many FUSE file systems), the file is moved aside under a name of its own,
// never swept unseen, and the new one is put in while the name is free; the
// moved-aside file becomes the file again when another program wrote it,
// once it has been quiet. Where the file system can neither rename to a free
// name only nor link, a save that makes the file anew (a rename of the other
// program's own file into place, or an open that creates it) in the moment
// between looking at the name and the rename is the one that cannot be seen.
// What a folder can do is known before the final check (from the file
// system's kind, or tried on files of our own), so that nothing comes
// between the check and the swap.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_parts.h"
#include "file_error.h"
#include "file_read.h"
#include "file_waits.h"
#include "native_handle.h"

/// Replaces the file at `path` with `bytes`, keeping the original's
/// permission bits (and owner, where allowed); a symbolic link is followed
/// and its target replaced. Creates the file when it is missing. Returns
/// false, leaving the original untouched and no temporary file, for an empty
/// path, a path that is not a regular file, a file without any write
/// permission bit (marked read-only), or any failed step. For files no other
/// program writes (backups, logs); a file that may be, see ReplaceReadFile.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

/// One file of ReplaceFilesTogether.
struct FileWrite {
  std::string path;
  ByteParts bytes;
  bool flush = true;  ///< flushed to disk before it is renamed in; without, it may be empty after a system crash
};

/// ReplaceFileAtomically of several files of one folder at once: every
/// temporary file is written (and flushed where asked) first, then each is
/// renamed in, in order, and the folder is flushed once at the end. Returns
/// how many were replaced, in order: all of them, or those before the one
/// whose step failed (see LastFileError); no temporary file is left.
/// Leftovers of stopped runs are the caller's to sweep (a folder of many
/// such files is swept at once, see RemoveStaleTemporaryFiles).
std::size_t ReplaceFilesTogether(const std::vector<FileWrite>& files);

/// How ReplaceReadFile ended.
enum class ReplaceOutcome {
  Done,     ///< the file holds the new bytes, and what it displaced was what was read
  Changed,  ///< another program changed the file since it was read: it holds that program's content
            ///< (put back when the swap had displaced it); nothing was written
  Kept,     ///< another program's save was displaced and could not be put back: it is kept at `kept`
  Failed,   ///< a step failed; the file is as it was (see LastFileError)
  Unknown   ///< a step failed and the original could not be put back: it is kept at `kept`, and
            ///< nothing may be at the path (the next sweep puts it back)
};

struct ReplaceResult {
  ReplaceOutcome outcome = ReplaceOutcome::Failed;
  std::string kept;  ///< for Kept and Unknown: the file kept beside the path
};

/// LastFileError() of a replacement whose file another program changed.
constexpr CatalogText kChangedByAnotherProgram = R_("changed by another program");

/// Replaces a file a run read earlier (its `stamp` and `readBytes`, from
/// ReadFileBytes; a missing file has a stamp that does not exist): the
/// temporary file is written and flushed first; the check that the file is
/// still what was read is the last call before the swap; the file the swap
/// displaced is compared with what was read once more (one written less
/// than `quiet` ago once it has been quiet), and when another program wrote
/// it meanwhile, that file is put back (moves back are tried for about a
/// second) or, failing that, kept. The displaced file is looked at once no
/// other program holds it open (waited for up to `quiet`'s limit; still
/// open then, it is kept). `held` is a handle this run holds on the file
/// (its lock's): not another program's. LastFileError() says what happened
/// for every outcome but Done.
ReplaceResult ReplaceReadFile(const std::string& path, const ByteParts& bytes, const FileStamp& stamp,
                              std::string_view readBytes, const QuietTime& quiet = {}, NativeHandle held = kNoHandle);

/// Keeps a copy of a file a run left beside its file somewhere safe (as a
/// backup), setting `where` to its new place (empty when a copy was there
/// already); false when it could not. The caller removes the file once kept.
using LeftoverKeeper = std::function<bool(const std::string& leftover, std::string& where)>;

/// Looks at what runs that are gone (or stopped over five minutes ago) left
/// beside the file at `path`: a temporary file holding exactly what it was
/// written with is removed; a displaced file (the file's earlier content, or
/// another program's save) is moved back to `path` when no file is there,
/// removed when it holds the file's own bytes, else handed to `keep` and
/// removed once kept. Nothing else is removed. With `lockHeld` (the caller
/// holds the file's FileLock, so no replacement of it is under way in this
/// process) this process's own leftovers of earlier runs count too. Returns
/// a note for each file moved back or kept ("… was put back", "… is kept as …").
std::vector<Reason> SweepLeftoversOf(const std::string& path, const LeftoverKeeper& keep = nullptr,
                                          bool lockHeld = false);

/// Removes every stale temporary file of a replacement in `folder`: for
/// folders only this program writes, whose files are written once under new
/// names (backups).
void RemoveStaleTemporaryFiles(const std::string& folder);
