// Private to the file layer: the platform's single steps of a replacement.
// Each step is one system call (or a few tries of one); the sequence that
// makes them safe is in file_replace.cpp.
#pragma once

#include <string>
#include <vector>

#include "byte_parts.h"

/// A replacement's target and its temporary file.
struct Temporary {
  std::string target;  ///< the file to replace (a link's final target)
  std::string folder;  ///< the folder both are in
  std::string name;    ///< the target's name
  std::string path;    ///< the temporary file, written and flushed
  bool targetExisted = false;
};

/// Finds the target of `path` (a link followed; a link leading nowhere
/// refused), its folder and name, and whether it exists.
bool FindReplaceTarget(const std::string& path, Temporary& out);
/// Checks that the target found may be replaced: a regular file, not marked
/// read-only, writable.
bool CheckReplaceable(const Temporary& out);

/// Writes `bytes` to a new file `prefix` + a unique ending in out.folder,
/// flushed (unless `flush` is false) and closed, with the target's
/// permission bits (where the file system keeps them). False, with nothing
/// left behind, when a step fails.
bool WriteTemporary(Temporary& out, const std::string& prefix, const ByteParts& bytes, bool flush);

/// What one step did.
enum class Step {
  Done,
  Exists,       ///< the name it was to take is taken
  Missing,      ///< a file it was to move is gone
  Unsupported,  ///< the file system cannot do it
  Failed,       ///< LastFileError says why
  Stranded      ///< failed, and the original is left under the displaced name
};

/// What the file system of a folder can do for a replacement.
struct FolderAbilities {
  bool exchange = false;  ///< swap two names atomically (Linux's RENAME_EXCHANGE)
  bool freeName = false;  ///< rename only to a free name (RENAME_NOREPLACE)
  bool links = false;     ///< hard links
  /// Every write into its files passes through this kernel (a local file
  /// system of a known kind), so a write watch sees them all. Not so on a
  /// network or FUSE file system, or one of a kind not known: a writer
  /// elsewhere, or the file system's own process, writes unseen.
  bool seesEveryWrite = false;
};
/// Learns what the file system of out.folder can do: known from its kind
/// for the common Linux ones, else tried on empty files of its own named
/// `prefix` + a unique ending (a temporary file's name while it is written:
/// a stopped run's are swept), all removed again.
FolderAbilities ProbeFolder(const Temporary& out, const std::string& prefix);

/// Swaps the names of two files atomically.
Step ExchangeFiles(const std::string& a, const std::string& b);
/// Gives the file `existing` a second name (a hard link).
Step LinkFile(const std::string& existing, const std::string& name);
/// Moves `from` to `to` only while `to` is free.
Step MoveToFreeName(const std::string& from, const std::string& to);
/// The same, the way `can` allows it, trying nothing the file system refuses.
/// Where it has neither free-name renames nor links, the name is looked at
/// right before a plain rename.
Step MoveToFreeName(const std::string& from, const std::string& to, const FolderAbilities& can);
/// Moves `from` to `to`, replacing what `to` holds.
Step MoveOver(const std::string& from, const std::string& to);
/// Windows' ReplaceFileW: `temp` becomes `target`, the target's file goes
/// to `displaced`. A partial failure that left the original under the
/// displaced name moves it back: Failed means the original is at `target`
/// again, Stranded that it stayed at `displaced`.
Step ReplaceKeepingDisplaced(const std::string& target, const std::string& temp, const std::string& displaced);
/// Removes a file; false when it could not.
bool RemoveFile(const std::string& path);
/// Makes the renames in `folder` durable; a failure here loses nothing.
void FlushFolder(const std::string& folder);

/// The folder of a full path ("." for a bare name).
std::string FolderOfPath(const std::string& path);

/// A file in a folder that a replacement may have left: its name and how
/// long ago it was last written.
struct Leftover {
  std::string name;
  long long ageSeconds = 0;
};
/// The regular files in `folder` owned by this user whose names start with `prefix`.
std::vector<Leftover> FindLeftovers(const std::string& folder, const std::string& prefix);
/// This process's id, and whether the process `pid` has ended.
long CurrentProcessId();
bool ProcessGone(long pid);

/// Short pauses between tries of a step another program may hold up.
void PauseBriefly(int milliseconds);
