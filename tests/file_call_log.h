// Sees the file system calls this test program makes, as the system gets
// them: on Linux the program's own definitions of the C library's calls
// (which the dynamic linker prefers to the library's), on Windows its import
// table pointed at wrappers. Used to check the order of a save's steps, and
// to make single calls fail the way a file system or the system does.
#pragma once

#include <functional>
#include <string>
#include <vector>

/// One call: what it did ("write", "flush", "rename", "remove"), to which
/// path (for "rename" the new name in `to`), and whether the watched file
/// existed just before the call.
struct FileCall {
  std::string what, path, to;
  bool watchedExists = false;
};

/// Records every such call of this process while it lives (one at a time).
class FileCallLog {
 public:
  explicit FileCallLog(const std::string& watched);
  ~FileCallLog();
  FileCallLog(const FileCallLog&) = delete;
  FileCallLog& operator=(const FileCallLog&) = delete;

  /// The calls so far, in order.
  std::vector<FileCall> Calls() const;

  /// Makes calls of kind `call` fail with the system error `error`: the next
  /// `times` of them, or every one with -1, while the log lives. Kinds on
  /// Linux: "exchange" (a rename swapping two files), "noreplace" (a rename
  /// that must not replace), "rename" (any other), "link", "fchmod", "flock",
  /// "read" (of any file), "watch" (inotify_add_watch), "lease" (a write
  /// lease asked for with fcntl), "statfs" (which
  /// makes the file system's kind unknown, so that what it can do is tried); on
  /// Windows: "replace" (ReplaceFileW, which then leaves behind what the
  /// system documents for that error) and "move" (MoveFileExW).
  void FailCalls(const std::string& call, int error, int times = -1);

#ifndef _WIN32
  /// From now on while the log lives, file stamps read as FAT keeps them,
  /// both times rounded down to even seconds.
  void CoarseStamps();
  /// From now on while the log lives, statfs reports file systems of the
  /// kind `kind` (its f_type; 0x2011BAB0 is the kernel's exFAT).
  void ReportFileSystemKind(unsigned long kind);
#endif

  /// Runs `act` once, right before the next call of kind `call` (another
  /// program acting in that moment); its own calls are neither recorded nor failed.
  void ActBefore(const std::string& call, std::function<void()> act);
};
