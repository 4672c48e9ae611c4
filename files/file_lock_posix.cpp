// POSIX side of the runs' lock: flock on the file, or on its folder while
// the file does not exist.
#include "file_lock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "file_error.h"
#include "file_failure.h"
#include "replace_steps.h"

namespace {

// One try at the lock of `path`: the folder's lock first, always, so that a
// run on a file that does not exist yet keeps it (no other run takes the
// file it makes before it is done); for a file that exists, then its own
// lock, and the folder's is let go. 0 with `held` set; kReplaced when the
// file was replaced while it was locked (a lock on the old file is worthless:
// try again on what the path names now); else the error.
constexpr int kReplaced = -1;

int TryLock(const std::string& path, int& held) {
  int folder = ::open(FolderOfPath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return errno;
  if (::flock(folder, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    ::close(folder);
    return error;
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    int error = errno;
    if (error == ENOENT) {
      held = folder;
      return 0;
    }
    ::close(folder);
    return error;
  }
  int error = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
  ::close(folder);
  struct stat locked, now;
  if (error == 0 && ::fstat(fd, &locked) == 0 && ::stat(path.c_str(), &now) == 0 && locked.st_dev == now.st_dev &&
      locked.st_ino == now.st_ino) {
    held = fd;
    return 0;
  }
  ::close(fd);
  return error == 0 ? kReplaced : error;
}

}  // namespace

bool FileLock::Acquire(const std::string& path, int waitMs) {
  Release();
  if (path.empty()) return Fail(R_("no file name"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    int error = TryLock(path, m_handle);
    if (error == 0) return true;
    bool waitable = error == EWOULDBLOCK || error == EINTR || error == kReplaced;
    if (!waitable || std::chrono::steady_clock::now() >= deadline)
      return Fail(error == EWOULDBLOCK ? R_("in use by another run of Brindlemarque; try again in a moment")
                  : error == kReplaced ? R_("replaced again and again by another program while it was locked")
                                       : ErrnoText(error));
    if (error != kReplaced) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void FileLock::Release() {
  if (m_handle == kNoHandle) return;
  ::close(m_handle);  // closing the only descriptor releases the lock
  m_handle = kNoHandle;
}
