// The lock that serialises this program's runs on one file.
#pragma once

#include <string>

#include "native_handle.h"

/// An advisory lock held from Acquire to Release (or destruction). A run on
/// a file that does not exist yet holds it through the file's folder, so
/// also while it makes the file. It does not keep other programs from
/// writing the file.
class FileLock {
 public:
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() { Release(); }

  /// Takes the lock of `path`, waiting up to `waitMs` milliseconds while
  /// another run holds it (also while the file is replaced again and again).
  /// The lock held is that of the file the path names when it returns. False
  /// (see LastFileError) when it stayed taken or the file cannot be opened
  /// for locking.
  bool Acquire(const std::string& path, int waitMs);
  void Release();
  /// The handle the lock is held through (kNoHandle when none, or only the
  /// folder's): a handle of this run's on the file, not another program's.
  NativeHandle Handle() const { return m_handle; }

 private:
  NativeHandle m_handle = kNoHandle;
};
