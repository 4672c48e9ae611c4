// Sees the file system calls this test program makes, as the system gets
// them: on Linux the program's own definitions of the C library's calls
// (which the dynamic linker prefers to the library's), on Windows its import
// table pointed at wrappers. Used to check the order of a save's steps.
#pragma once

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
};
