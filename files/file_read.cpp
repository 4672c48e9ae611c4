// Whole-file reading on top of the platform's RegularFileReader: with a
// stamp that belongs to the bytes, and once the file is quiet.
#include "file_read.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "byte_hash.h"
#include "file_error.h"
#include "file_failure.h"
#include "reason_text.h"
#include "save_points.h"

namespace {

// `bytes` grown or cut to `size`, the bytes added left as they are: they
// are about to be read into, and clearing megabytes first costs a pass.
void ResizeForReading(std::string& bytes, std::size_t size) {
#ifdef __cpp_lib_string_resize_and_overwrite
  bytes.resize_and_overwrite(size, [](char*, std::size_t n) { return n; });
#else
  bytes.resize(size);
#endif
}

// Reads the open `file` whole into `bytes`.
ReadStatus ReadOpenFile(RegularFileReader& file, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  if (file.Size() > maxBytes) {
    SetFileError(Reason(R_("larger than %s MiB"), {Number(static_cast<long long>(maxBytes / (1024 * 1024)))}));
    return ReadStatus::Failed;
  }
  // Read straight into the string: its size and one byte more, which shows
  // the end (or that it grew) without a second pass.
  std::size_t have = 0;
  ResizeForReading(bytes, static_cast<std::size_t>(file.Size()) + 1);
  for (;;) {
    if (have == bytes.size()) ResizeForReading(bytes, std::min(maxBytes + 1, have + 65536));
    long long n = file.Read(&bytes[have], bytes.size() - have);
    if (n == 0) {
      bytes.resize(have);
      return ReadStatus::Ok;
    }
    if (n > 0) have += static_cast<std::size_t>(n);
    if (n < 0 || have > maxBytes) {
      SetFileError(n < 0 ? R_("cannot be read") : R_("grew while it was read"));
      bytes.clear();
      return ReadStatus::Failed;
    }
  }
}

// Whether the open `file` holds `expected` exactly, read a piece at a time.
AsRead SameBytes(RegularFileReader& file, std::string_view expected) {
  if (file.Size() != expected.size()) return AsRead::Changed;
  char buffer[65536];
  std::size_t at = 0;
  for (;;) {
    long long n = file.Read(buffer, sizeof buffer);
    if (n < 0) {
      SetFileError(R_("cannot be read"));
      return AsRead::Unreadable;
    }
    if (n == 0) return at == expected.size() ? AsRead::Same : AsRead::Changed;
    std::size_t got = static_cast<std::size_t>(n);
    if (got > expected.size() - at || expected.compare(at, got, std::string_view(buffer, got)) != 0)
      return AsRead::Changed;
    at += got;
  }
}

}  // namespace

ReadStatus RegularFileReader::ReadAll(std::string& bytes, std::size_t maxBytes) {
  return ReadOpenFile(*this, bytes, maxBytes);
}

ReadStatus ReadFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  RegularFileReader file;
  if (!file.Open(path)) return file.Missing() ? ReadStatus::Missing : ReadStatus::Failed;
  return ReadOpenFile(file, bytes, maxBytes);
}

bool FileStamp::Decides() const {
  // Well over the tick of the clock that dates writes (a few ms), and over
  // the time between this clock and a file server's.
  constexpr long long kMarginNs = 100000000LL;
  return exists && !Coarse() && changedNs != 0 && readBeganNs != 0 && modifiedNs < readBeganNs - kMarginNs &&
         changedNs < readBeganNs - kMarginNs;
}

ReadStatus ReadFileBytes(const std::string& path, std::string& bytes, FileStamp& stamp, std::size_t maxBytes) {
  constexpr int kAttempts = 5;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    bytes.clear();
    const long long began = FileClockNow();
    stamp = FileStamp();
    RegularFileReader file;
    if (!file.Open(path)) return file.Missing() ? ReadStatus::Missing : ReadStatus::Failed;
    FileStamp after;
    if (!file.Stamp(stamp)) return ReadStatus::Failed;
    ReadStatus status = ReadOpenFile(file, bytes, maxBytes);
    if (status != ReadStatus::Ok) return status;
    // The bytes belong to the stamp only when the file did not change while
    // it was read, and the path still names it.
    FileStamp named;
    if (!file.Stamp(after) || !StampFile(path, named)) return ReadStatus::Failed;
    if (after == stamp && named == stamp) {
      stamp.readBeganNs = began;
      return ReadStatus::Ok;
    }
  }
  bytes.clear();
  SetFileError(R_("changed while it was read, again and again"));
  return ReadStatus::Failed;
}

bool QuietByStamp(const FileStamp& stamp, int quietMs, long long asOfNs) {
  const long long rounding = stamp.Coarse() ? 2000000000LL : 0;
  // A stamp tells of the file as it was when it was taken, not now: a
  // program may have written since.
  const long long at = asOfNs != 0 ? asOfNs : stamp.readBeganNs != 0 ? stamp.readBeganNs : FileClockNow();
  return at - stamp.modifiedNs >= static_cast<long long>(quietMs) * 1000000LL + rounding;
}

ReadStatus ReadQuietFile(const std::string& path, int quietMs, int limitMs, std::string& bytes, FileStamp& stamp,
                         std::size_t maxBytes) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  // Quietness is measured up to the latest look at the file (a read, or a
  // stamp that stayed), taken before that look began: never up to now, as
  // the file may have been written since the look, and a pause of this
  // process would make it look quiet.
  auto watchedSince = start, lookedAt = start;
  long long lookedAtNs = 0;  // on the file clock, when the latest look was a stamp that stayed
  FileStamp watchedStamp;
  std::uint64_t watchedHash = 0;  // of the bytes watched, taken before a read replaces them
  bool read = true, watching = false;
  for (;;) {
    if (read) {
      ReadStatus status = ReadFileBytes(path, bytes, stamp, maxBytes);
      ReachSavePoint(SavePoint::AfterRead, path);
      if (status != ReadStatus::Ok) return status;  // a missing file is quiet
      lookedAtNs = 0;
      if (!watching || stamp != watchedStamp || HashOfBytes(bytes) != watchedHash) {
        watchedStamp = stamp;
        watchedSince = Clock::now();
        watching = true;
      }
    }
    // Quiet by its time stamp as of the look, so that a save begun just
    // before it is seen (a coarse stamp, rounded down to as much as two
    // seconds, must be older by that much more); or by a file that stayed
    // as it was read for the quiet time (bytes too where stamps are coarse).
    if (quietMs <= 0 || QuietByStamp(stamp, quietMs, lookedAtNs)) return ReadStatus::Ok;
    if (lookedAt - watchedSince >= std::chrono::milliseconds(quietMs)) return ReadStatus::Ok;
    if (Clock::now() - start >= std::chrono::milliseconds(limitMs)) {
      SetFileError(Reason(reason::kStillBeingWritten, {Number(limitMs)}));
      bytes.clear();
      return ReadStatus::Failed;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::clamp(quietMs / 10, 1, 20)));
    // A fine stamp that stayed says the bytes did; a coarse one says little.
    lookedAt = Clock::now();
    const long long lookNs = FileClockNow();
    FileStamp current;
    if (!StampFile(path, current)) return ReadStatus::Failed;
    read = stamp.Coarse() || current != stamp;
    if (read) watchedHash = HashOfBytes(bytes);  // to tell whether the next read holds them
    else lookedAtNs = lookNs;
  }
}

AsRead CheckAsRead(const std::string& path, const FileStamp* stamp, std::string_view readBytes) {
  if (stamp) {
    FileStamp now;
    if (!StampFile(path, now)) return AsRead::Unreadable;
    if (!now.SameFileAndSize(*stamp)) return AsRead::Changed;
    if (!stamp->exists || (now == *stamp && stamp->Decides())) return AsRead::Same;
  }
  RegularFileReader file;
  if (!file.Open(path)) return file.Missing() ? AsRead::Changed : AsRead::Unreadable;
  return SameBytes(file, readBytes);
}
