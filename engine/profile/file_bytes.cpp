// Whole-file reading on top of the platform's RegularFileReader, and the
// reasons of failed file calls.
#include "file_bytes.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#ifndef _WIN32
#include <locale.h>
#endif

#include "ascii_text.h"
#include "file_error.h"

namespace {

std::string& ErrorSlot() {
  thread_local std::string reason;
  return reason;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == kPathSeparator) return folder + name;  // a root such as "/"
  return folder + kPathSeparator + name;
}

void SetFileError(std::string reason) { ErrorSlot() = std::move(reason); }

const std::string& LastFileError() { return ErrorSlot(); }

// In English whatever the user's locale, like the messages around it.
std::string ErrnoText(int error) {
#ifdef _WIN32
  std::string text = std::strerror(error);
#else
  static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t());
  std::string text = english ? strerror_l(error, english) : std::strerror(error);
#endif
  if (!text.empty()) text[0] = LowerAscii(text[0]);
  return text;
}

namespace {

std::function<void(SavePoint, const std::string&)>& SavePointHook() {
  static std::function<void(SavePoint, const std::string&)> hook;
  return hook;
}

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

void SetSavePointHook(std::function<void(SavePoint, const std::string&)> hook) { SavePointHook() = std::move(hook); }

void ReachSavePoint(SavePoint point, const std::string& path) {
  if (auto hook = SavePointHook()) hook(point, path);  // a copy: the hook may replace itself
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

bool IsAsRead(const std::string& path, const FileStamp* stamp, const std::string& readBytes) {
  if (stamp) {
    FileStamp now;
    if (!StampFile(path, now) || now != *stamp) return false;
    if (!stamp->exists) return true;
  }
  std::string bytes;
  return ReadFileBytes(path, bytes) == ReadStatus::Ok && bytes == readBytes;
}

ReplaceOutcome ChangedOutcome() {
  SetFileError(kChangedByAnotherProgram);
  return ReplaceOutcome::Changed;
}

bool WaitUntilQuiet(const std::string& path, int quietMs, int limitMs) {
  using Clock = std::chrono::steady_clock;
  const long long quietNs = static_cast<long long>(quietMs) * 1000000LL;
  const auto start = Clock::now();
  auto watchedSince = start;
  FileStamp last;
  if (!StampFile(path, last)) return false;
  for (;;) {
    if (!last.exists) return true;
    // Quiet by its time stamp, or by having been watched unchanged that long
    // (a time stamp in the future, from another clock, never ages).
    long long age = FileClockNow() - last.modifiedNs;
    auto now = Clock::now();
    if (age >= quietNs || now - watchedSince >= std::chrono::milliseconds(quietMs)) return true;
    if (now - start >= std::chrono::milliseconds(limitMs)) {
      std::string limit = limitMs % 1000 != 0 ? std::to_string(limitMs) + " ms"
                          : std::to_string(limitMs / 1000) + (limitMs == 1000 ? " second" : " seconds");
      SetFileError("still being written by another program (it kept changing for " + limit + ")");
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::clamp(quietMs / 10, 1, 20)));
    FileStamp current;
    if (!StampFile(path, current)) return false;
    if (current != last) {
      last = current;
      watchedSince = Clock::now();
    }
  }
}
