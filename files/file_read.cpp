// Whole-file reading on top of the platform's RegularFileReader: with a
// stamp that belongs to the bytes, and once the file is quiet.
#include "file_read.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "file_error.h"
#include "file_failure.h"
#include "save_points.h"

namespace {

// Reads the open `file` whole into `bytes`.
ReadStatus ReadOpenFile(RegularFileReader& file, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  if (file.Size() > maxBytes) {
    SetFileError("larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MiB");
    return ReadStatus::Failed;
  }
  bytes.reserve(static_cast<std::size_t>(file.Size()));
  char buffer[65536];
  for (;;) {
    long long n = file.Read(buffer, sizeof buffer);
    if (n == 0) return ReadStatus::Ok;
    if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
      SetFileError(n < 0 ? N_("cannot be read") : N_("grew while it was read"));
      bytes.clear();
      return ReadStatus::Failed;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
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

ReadStatus ReadFileBytes(const std::string& path, std::string& bytes, FileStamp& stamp, std::size_t maxBytes) {
  constexpr int kAttempts = 5;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    bytes.clear();
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
    if (after == stamp && named == stamp) return ReadStatus::Ok;
  }
  bytes.clear();
  SetFileError(N_("changed while it was read, again and again"));
  return ReadStatus::Failed;
}

ReadStatus ReadQuietFile(const std::string& path, int quietMs, int limitMs, std::string& bytes, FileStamp& stamp,
                         std::size_t maxBytes) {
  using Clock = std::chrono::steady_clock;
  const long long quietNs = static_cast<long long>(quietMs) * 1000000LL;
  const auto start = Clock::now();
  auto watchedSince = start;
  FileStamp lastStamp;
  std::string lastBytes;
  bool read = true, watching = false;
  for (;;) {
    if (read) {
      ReadStatus status = ReadFileBytes(path, bytes, stamp, maxBytes);
      ReachSavePoint(SavePoint::AfterRead, path);
      if (status != ReadStatus::Ok) return status;  // a missing file is quiet
      if (!watching || stamp != lastStamp || bytes != lastBytes) {
        lastStamp = stamp;
        lastBytes = bytes;
        watchedSince = Clock::now();
        watching = true;
      }
    }
    // Quiet by its time stamp, looked at after the read, so that a save
    // begun just before it is seen (a coarse stamp, rounded down to as much
    // as two seconds, must be older by that much more); or by a file that
    // stayed as it was read for the quiet time (bytes too where stamps are coarse).
    auto now = Clock::now();
    const long long rounding = stamp.Coarse() ? 2000000000LL : 0;
    if (FileClockNow() - stamp.modifiedNs >= quietNs + rounding) return ReadStatus::Ok;
    if (now - watchedSince >= std::chrono::milliseconds(quietMs)) return ReadStatus::Ok;
    if (now - start >= std::chrono::milliseconds(limitMs)) {
      std::string limit = limitMs % 1000 != 0 ? std::to_string(limitMs) + " ms"
                          : std::to_string(limitMs / 1000) + (limitMs == 1000 ? " second" : " seconds");
      SetFileError("still being written by another program (it kept changing for " + limit + ")");
      bytes.clear();
      return ReadStatus::Failed;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::clamp(quietMs / 10, 1, 20)));
    // A fine stamp that stayed says the bytes did; a coarse one says little.
    FileStamp current;
    if (!StampFile(path, current)) return ReadStatus::Failed;
    read = stamp.Coarse() || current != stamp;
  }
}

AsRead CheckAsRead(const std::string& path, const FileStamp* stamp, const std::string& readBytes) {
  if (stamp) {
    FileStamp now;
    if (!StampFile(path, now)) return AsRead::Unreadable;
    if (now != *stamp) return AsRead::Changed;
    if (!stamp->exists) return AsRead::Same;
  }
  std::string bytes;
  switch (ReadFileBytes(path, bytes)) {
    case ReadStatus::Ok: return bytes == readBytes ? AsRead::Same : AsRead::Changed;
    case ReadStatus::Missing: return AsRead::Changed;
    default: return AsRead::Unreadable;
  }
}
