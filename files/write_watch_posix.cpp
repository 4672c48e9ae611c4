#include "write_watch.h"

#include <cerrno>
#include <cstdint>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Everything that can change a file's bytes or set its times back; the
// watch's end (the file gone) and a full queue come whatever the mask.
constexpr std::uint32_t kWrites = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE;

}  // namespace

WriteWatch::WriteWatch(const std::string& path) {
  if (path.empty()) return;
  m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (m_fd >= 0 && ::inotify_add_watch(m_fd, path.c_str(), kWrites) < 0) {
    ::close(m_fd);
    m_fd = -1;  // out of watches, or not a file we may watch: the bytes tell
  }
}

WriteWatch::~WriteWatch() {
  if (m_fd >= 0) ::close(m_fd);
}

bool WriteWatch::Unwritten() const {
  if (m_fd < 0) return false;
  alignas(inotify_event) char events[sizeof(inotify_event) + 256];
  for (;;) {
    ssize_t n = ::read(m_fd, events, sizeof events);
    if (n > 0) return false;  // every event it can report is a write of some kind
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && errno == EAGAIN;
  }
}
