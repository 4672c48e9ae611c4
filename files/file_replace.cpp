// The save sequence, once for every platform, over the platform's single
// steps (replace_steps.h).
#include "file_replace.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ascii_text.h"
#include "byte_hash.h"
#include "file_error.h"
#include "file_failure.h"
#include "open_elsewhere.h"
#include "paths.h"
#include "reason_text.h"
#include "replace_steps.h"
#include "save_points.h"
#include "write_watch.h"

namespace {

const char* const kMark = ".brindlemarque-";
const char* const kDisplacedEnd = "-old";
constexpr long long kStaleSeconds = 300;

std::string TemporaryPrefix(const std::string& name) { return "." + name + kMark; }

const char* const kWriting = "-writing-";

// The name of this run's files while they are written: any that a stopped
// run leaves is its own, swept.
std::string WritingPrefix(const std::string& name) {
  return TemporaryPrefix(name) + std::to_string(CurrentProcessId()) + kWriting;
}

// A name for the bytes a temporary file is written with, so that a stopped
// run's temporary file can be told from a file a swap displaced into it.
std::string HashText(const ByteParts& bytes) {
  ByteHash hash;
  for (std::string_view part : bytes) hash.Add(part);
  return hash.Text();
}

// The hash earlier versions named temporary files with (FNV-1a), so that
// what one of them left is still known as its own.
std::string OlderHashText(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

// A temporary file is written as ".<name>.brindlemarque-<pid>-writing-<unique>".
// One that is to be swapped with the file is then, whole and flushed, named
// ".<name>.brindlemarque-<pid>-<hash of its bytes>-<unique>": a stopped
// run's file of either name is its own, never swapped in; a file under the
// second name whose bytes do not give the hash is one a swap displaced.
// Files renamed over their target (no swap displaces anything into them)
// keep the first name.
bool WriteTemporary(const std::string& path, const ByteParts& bytes, Temporary& t, bool flush) {
  return FindReplaceTarget(path, t) && CheckReplaceable(t) && WriteTemporary(t, WritingPrefix(t.name), bytes, flush);
}

bool PrepareSwapTemporary(const std::string& path, const ByteParts& bytes, Temporary& t) {
  if (!WriteTemporary(path, bytes, t, true)) return false;
  std::string whole = t.path;
  whole.replace(whole.rfind(kWriting), std::strlen(kWriting), "-" + HashText(bytes) + "-");
  if (MoveOver(t.path, whole) != Step::Done) {
    Reason reason = LastFileError();
    RemoveFile(t.path);
    return Fail(std::move(reason));
  }
  t.path = whole;
  return true;
}

// The writer's process id in a leftover's name; 0 when there is none.
long WriterOf(const std::string& name) {
  std::size_t mark = name.rfind(kMark);
  return mark == std::string::npos ? 0 : std::strtol(name.c_str() + mark + std::strlen(kMark), nullptr, 10);
}

// The hash a temporary file's name gives its bytes; empty in other names.
std::string NamedHash(const std::string& name) {
  std::size_t mark = name.rfind(kMark);
  if (mark == std::string::npos) return {};
  std::size_t dash = name.find('-', mark + std::strlen(kMark));
  if (dash == std::string::npos || name.size() < dash + 18 || name[dash + 17] != '-') return {};
  return name.substr(dash + 1, 16);
}

// A leftover of a run that is gone, or of a temporary file written long
// ago (its writer's id may be another's by now). A displaced file carries
// the original's time, so only its writer's end counts.
bool Stale(const Leftover& leftover, bool displaced, bool lockHeld) {
  long pid = WriterOf(leftover.name);
  bool gone = pid > 0 && (pid == CurrentProcessId() ? lockHeld : ProcessGone(pid));
  return gone || (!displaced && leftover.ageSeconds > kStaleSeconds);
}

ReplaceResult Outcome(ReplaceOutcome outcome, std::string kept = {}) { return {outcome, std::move(kept)}; }

ReplaceResult ChangedMeanwhile() {
  SetFileError(kChangedByAnotherProgram);
  return Outcome(ReplaceOutcome::Changed);
}

// The temporary file given up; the reason of a failure stays.
ReplaceResult Abandon(const Temporary& t, ReplaceOutcome outcome) {
  Reason reason = LastFileError();
  RemoveFile(t.path);
  if (outcome == ReplaceOutcome::Changed) return ChangedMeanwhile();
  SetFileError(reason);
  return Outcome(outcome);
}

// A file moved back to its name: tried for about a second, since a virus
// scanner or the game may hold it for a moment.
Step MoveBack(const std::string& displaced, const std::string& target) {
  Step step = Step::Failed;
  for (int attempt = 0; attempt < 10; ++attempt) {
    step = MoveOver(displaced, target);
    if (step == Step::Done || step == Step::Missing) return step;
    PauseBriefly(100);
  }
  return step;
}

// What a replacement read, the watch on the file since before the final
// check, and the handle the run holds on it (its lock's).
struct ReadThen {
  std::string_view bytes;
  const FileStamp& stamp;
  const WriteWatch& watch;
  NativeHandle held;
};

// What the look at the file a swap displaced found.
enum class Displaced { AsRead, Changed, StillOpen };

// Whether the file a swap displaced is still what was read. A program that
// opened it before the swap may still write into it (a save in place opens
// the file, and writes a moment later): it is looked at only once no other
// program holds it open, waited for up to the quiet time's limit (else it
// is StillOpen). One written less than the quiet time ago counts only once
// it has been quiet that long. The same file, with the times read, that
// nothing wrote into since before the final check is what was read without
// a look at its bytes; otherwise they are compared.
Displaced LookAtDisplacedFile(const std::string& displaced, const ReadThen& read, const QuietTime& quiet) {
  const auto start = std::chrono::steady_clock::now();
  while (FindOpenElsewhere(displaced, read.held) == OpenElsewhere::Yes) {
    if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(quiet.limitMs)) return Displaced::StillOpen;
    PauseBriefly(20);
  }
  FileStamp stamp;
  if (!StampFile(displaced, stamp) || !stamp.exists) return Displaced::Changed;
  if (QuietByStamp(stamp, quiet.quietMs)) {
    if (stamp.SameFileAndSize(read.stamp) && stamp.modifiedNs == read.stamp.modifiedNs && read.watch.Unwritten())
      return Displaced::AsRead;
    return CheckAsRead(displaced, nullptr, read.bytes) == AsRead::Same ? Displaced::AsRead : Displaced::Changed;
  }
  std::string bytes;
  const bool same = ReadQuietFile(displaced, quiet.quietMs, quiet.limitMs, bytes, stamp) == ReadStatus::Ok &&
                    bytes == read.bytes;
  return same ? Displaced::AsRead : Displaced::Changed;
}

// After the swap: the displaced file is compared with what was read. When
// another program wrote it meanwhile, it is the file again; when it cannot
// be, or another program still holds it open, it stays where it is, and
// the caller is told where.
// The swap is made durable first: a save into the displaced file by a
// program that opened it before the swap is then more likely to have
// landed by the time of the look.
ReplaceResult LookAtDisplaced(const Temporary& t, const std::string& displaced, const ReadThen& read,
                              const QuietTime& quiet) {
  FlushFolder(t.folder);
  switch (LookAtDisplacedFile(displaced, read, quiet)) {
    case Displaced::AsRead:
      RemoveFile(displaced);
      return Outcome(ReplaceOutcome::Done);
    case Displaced::StillOpen:
      SetFileError(Reason(reason::kHeldOpenKeptBeside, {Number(quiet.limitMs), Reason::Path(displaced)}));
      return Outcome(ReplaceOutcome::Kept, displaced);
    case Displaced::Changed:
      break;
  }
  Step back = MoveBack(displaced, t.target);
  FlushFolder(t.folder);
  if (back == Step::Done) return ChangedMeanwhile();
  SetFileError(Reason(reason::kOtherVersionKeptBeside, {LastFileError(), Reason::Path(displaced)}));
  return Outcome(ReplaceOutcome::Kept, displaced);
}

// A step that failed after the original was moved aside: it goes back.
ReplaceResult PutOriginalBack(const Temporary& t, const std::string& displaced) {
  Reason reason = LastFileError();
  RemoveFile(t.path);
  if (MoveBack(displaced, t.target) == Step::Done) {
    FlushFolder(t.folder);
    SetFileError(reason);
    return Outcome(ReplaceOutcome::Failed);
  }
  SetFileError(Reason(reason::kNotPutBack, {reason, Reason::Path(displaced)}));
  return Outcome(ReplaceOutcome::Unknown, displaced);
}

// Without an atomic exchange: the file is moved aside under a displaced
// name (whatever another program writes into it stays under a name, and no
// sweep removes it unseen), then the new one is put in while the name is
// free, which fails rather than replace a file made meanwhile (where the
// file system can tell: free-name renames or links). True when the new
// file is in; else `failure` says how it ended.
bool MoveAsideThenIn(const Temporary& t, const std::string& displaced, const ReadThen& read,
                     const FolderAbilities& can, const QuietTime& quiet, ReplaceResult& failure) {
  Step aside = MoveOver(t.target, displaced);
  if (aside != Step::Done) {
    failure = Abandon(t, aside == Step::Missing ? ReplaceOutcome::Changed : ReplaceOutcome::Failed);
    return false;
  }
  ReachSavePoint(SavePoint::Aside, t.target);
  Step in = MoveToFreeName(t.path, t.target, can);
  if (in == Step::Done) return true;
  if (in != Step::Exists) {
    failure = PutOriginalBack(t, displaced);
    return false;
  }
  // Another program made the file while it was aside: its file stays, and
  // the one moved aside goes only when it is what was read.
  RemoveFile(t.path);
  if (LookAtDisplacedFile(displaced, read, quiet) == Displaced::AsRead) {
    RemoveFile(displaced);
    FlushFolder(t.folder);
    failure = ChangedMeanwhile();
    return false;
  }
  FlushFolder(t.folder);  // the version kept beside stays under its name after a crash too
  SetFileError(Reason(reason::kFirstVersionKeptBeside, {Reason::Path(displaced)}));
  failure = Outcome(ReplaceOutcome::Kept, displaced);
  return false;
}

// The temporary file `t` renamed over its target; where the system replaces
// with a displaced name (Windows), the original's attributes and security
// stay with the file.
bool RenameIn(const Temporary& t) {
  const std::string displaced = t.path + kDisplacedEnd;
  Step step = t.targetExisted ? ReplaceKeepingDisplaced(t.target, t.path, displaced) : Step::Unsupported;
  if (step == Step::Done) RemoveFile(displaced);
  if (step == Step::Unsupported) step = MoveOver(t.path, t.target);
  return step == Step::Done;
}

}  // namespace

std::string FolderOfPath(const std::string& path) {
  std::string folder = FolderOf(path);
  return folder.empty() ? std::string(".") : folder;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  SweepLeftoversOf(path);
  return ReplaceFilesTogether({{path, {bytes}, true}}) == 1;
}

std::size_t ReplaceFilesTogether(const std::vector<FileWrite>& files) {
  std::vector<Temporary> temporaries(files.size());
  auto abandonFrom = [&](std::size_t first) {
    for (std::size_t i = first; i < temporaries.size(); ++i)
      if (!temporaries[i].path.empty()) Abandon(temporaries[i], ReplaceOutcome::Failed);
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!WriteTemporary(files[i].path, files[i].bytes, temporaries[i], files[i].flush)) {
      temporaries[i].path.clear();
      abandonFrom(0);
      return 0;
    }
  }
  std::size_t done = 0;
  for (; done < files.size(); ++done) {
    if (InjectedFault(ReplaceStep::Rename)) {
      SetFileError(R_("input/output error"));
      break;
    }
    if (!RenameIn(temporaries[done])) break;
  }
  abandonFrom(done);
  std::vector<std::string> flushed;
  for (std::size_t i = 0; i < done; ++i) {
    if (std::find(flushed.begin(), flushed.end(), temporaries[i].folder) != flushed.end()) continue;
    FlushFolder(temporaries[i].folder);
    flushed.push_back(temporaries[i].folder);
  }
  return done;
}

ReplaceResult ReplaceReadFile(const std::string& path, const ByteParts& bytes, const FileStamp& stamp,
                              std::string_view readBytes, const QuietTime& quiet, NativeHandle held) {
  Temporary t;
  if (!PrepareSwapTemporary(path, bytes, t)) return Outcome(ReplaceOutcome::Failed);
  // What the folder can do is learned first, so that the check below is
  // the last call before the swap.
  const FolderAbilities can = ProbeFolder(t, WritingPrefix(t.name));
  // Only where the kernel sees every write can the watch tell that nothing
  // wrote: elsewhere the displaced file's bytes are always compared.
  const WriteWatch watch(can.seesEveryWrite ? t.target : std::string());
  const ReadThen read{readBytes, stamp, watch, held};
  ReachSavePoint(SavePoint::BeforeCheck, path);
  // The last look before the swap: nothing slow comes between.
  AsRead now = CheckAsRead(t.target, &stamp, readBytes);
  if (now == AsRead::Unreadable) {
    SetFileError(Reason(reason::kUnreadableForCheck, {LastFileError()}));
    return Abandon(t, ReplaceOutcome::Failed);
  }
  if (now == AsRead::Changed) return Abandon(t, ReplaceOutcome::Changed);
  ReachSavePoint(SavePoint::BeforeSwap, path);
  if (InjectedFault(ReplaceStep::Rename)) {
    SetFileError(R_("input/output error"));
    return Abandon(t, ReplaceOutcome::Failed);
  }
  if (!stamp.exists) {
    // A new file: moved in only while the name is still free.
    Step in = MoveToFreeName(t.path, t.target, can);
    if (in != Step::Done) return Abandon(t, in == Step::Exists ? ReplaceOutcome::Changed : ReplaceOutcome::Failed);
    FlushFolder(t.folder);
    return Outcome(ReplaceOutcome::Done);
  }
  // The file the swap displaces ends under a name of ours, whole, to be
  // looked at once more: after an exchange the temporary file's name.
  std::string displaced = t.path;
  Step swap = can.exchange ? ExchangeFiles(t.path, t.target) : Step::Unsupported;
  if (swap == Step::Unsupported) {
    displaced = t.path + kDisplacedEnd;
    swap = ReplaceKeepingDisplaced(t.target, t.path, displaced);
    if (swap == Step::Stranded) {
      RemoveFile(t.path);
      SetFileError(Reason(reason::kNotPutBack, {LastFileError(), Reason::Path(displaced)}));
      return Outcome(ReplaceOutcome::Unknown, displaced);
    }
  }
  if (swap == Step::Unsupported) {
    ReplaceResult failure;
    if (!MoveAsideThenIn(t, displaced, read, can, quiet, failure)) return failure;
  } else if (swap == Step::Missing) {
    return Abandon(t, ReplaceOutcome::Changed);  // removed since the check
  } else if (swap != Step::Done) {
    return Abandon(t, ReplaceOutcome::Failed);
  }
  ReachSavePoint(SavePoint::AfterSwap, path);
  return LookAtDisplaced(t, displaced, read, quiet);
}

std::vector<Reason> SweepLeftoversOf(const std::string& path, const LeftoverKeeper& keep, bool lockHeld) {
  std::vector<Reason> lines;
  Temporary t;
  if (path.empty() || !FindReplaceTarget(path, t)) return lines;
  for (const Leftover& leftover : FindLeftovers(t.folder, TemporaryPrefix(t.name))) {
    const std::string full = JoinPath(t.folder, leftover.name);
    std::string bytes, current;
    if (!Stale(leftover, false, lockHeld) || ReadFileBytes(full, bytes) != ReadStatus::Ok) continue;
    // A temporary file a run wrote and never swapped in: nothing else is in it.
    bool ownTemporary = !EndsWith(leftover.name, kDisplacedEnd) &&
                        (leftover.name.find(kWriting) != std::string::npos ||
                         NamedHash(leftover.name) == HashText({bytes}) || NamedHash(leftover.name) == OlderHashText(bytes));
    if (ownTemporary) {
      RemoveFile(full);
      continue;
    }
    if (!Stale(leftover, true, lockHeld)) continue;
    // A file a swap displaced: the file's earlier content, or a save of the game.
    FileStamp now;
    if (!StampFile(t.target, now)) continue;
    if (!now.exists) {
      if (MoveToFreeName(full, t.target) == Step::Done) {
        FlushFolder(t.folder);
        lines.push_back(Reason(reason::kLeftoverPutBack, {Reason::Path(t.target), Reason::Path(full)}));
      }
      continue;
    }
    if (ReadFileBytes(t.target, current) == ReadStatus::Ok && current == bytes) {
      RemoveFile(full);
      continue;
    }
    std::string where;
    if (keep && keep(full, where)) {
      RemoveFile(full);
      if (!where.empty())
        lines.push_back(Reason(reason::kLeftoverKept, {Reason::Path(t.target), Reason::Path(where)}));
    }
  }
  return lines;
}

void RemoveStaleTemporaryFiles(const std::string& folder) {
  for (const Leftover& leftover : FindLeftovers(folder, "."))
    if (leftover.name.find(kMark) != std::string::npos && leftover.name.find(kMark) > 0 && Stale(leftover, false, false))
      RemoveFile(JoinPath(folder, leftover.name));
}
