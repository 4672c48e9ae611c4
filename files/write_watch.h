// Whether anything wrote into a file while it was swapped out: the system
// reports every write as it happens, whatever time stamps the writer sets
// afterwards, so a file a swap displaced need not be read back to be known
// unchanged. Linux only (inotify); elsewhere nothing is known and the
// bytes are compared.
#pragma once

#include <string>

class WriteWatch {
 public:
  /// Watches the file `path` names now, from this moment on; an empty path
  /// watches nothing (Unwritten() is false).
  explicit WriteWatch(const std::string& path);
  ~WriteWatch();
  WriteWatch(const WriteWatch&) = delete;
  WriteWatch& operator=(const WriteWatch&) = delete;

  /// True only when the system has been watching the file and has reported
  /// no write, truncation, change of attributes or times, or close after
  /// writing since the watch began. False whenever it cannot tell.
  bool Unwritten() const;

 private:
  int m_fd = -1;
};
