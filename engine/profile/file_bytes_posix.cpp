// POSIX side of the file helpers: reading regular files, atomic replacement.
#include "file_bytes.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const std::string& bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// The path a replacement must write: a symbolic link's final target.
bool ResolveTarget(const std::string& path, std::string& target) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    target = path;
    return true;
  }
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return false;  // dangling link: refuse rather than replace the link
  target = real;
  std::free(real);
  return true;
}

std::string FolderOf(const std::string& path) {
  auto cut = path.find_last_of('/');
  if (cut == std::string::npos) return ".";
  if (cut == 0) return "/";
  return path.substr(0, cut);
}

std::string NameOf(const std::string& path) {
  auto cut = path.find_last_of('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

mode_t CurrentUmask() {
  mode_t old = ::umask(0);
  ::umask(old);
  return old;
}

bool StatRegular(const std::string& path, struct stat& st) {
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

RegularFileReader::~RegularFileReader() {
  if (m_fd >= 0) ::close(m_fd);
}

bool RegularFileReader::Open(const std::string& path) {
  m_missing = false;
  if (path.empty()) return false;
  // O_NONBLOCK keeps a FIFO from blocking the open; fstat then rejects it.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    m_missing = errno == ENOENT;
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  m_size = static_cast<unsigned long long>(st.st_size);
  return true;
}

long long RegularFileReader::Read(char* buffer, std::size_t size) {
  if (m_fd < 0) return -1;
  for (;;) {
    ssize_t n = ::read(m_fd, buffer, size);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

bool IsLoadableFile(const std::string& path) {
  struct stat st;
  return StatRegular(path, st) && static_cast<unsigned long long>(st.st_size) <= kMaxFileBytes;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  if (path.empty()) return false;
  std::string target;
  if (!ResolveTarget(path, target)) return false;

  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists) {
    if (!S_ISREG(st.st_mode)) return false;
    // A file the player marked read-only stays as it is, even for root.
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return false;
  }

  std::string temp = FolderOf(target) + "/." + NameOf(target) + ".XXXXXX";
  int fd = ::mkstemp(&temp[0]);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (ok) {
    mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    ok = ::fchmod(fd, mode) == 0;
    if (ok && exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
      // Keep the player's ownership when running with the rights to do so.
      if (::fchown(fd, st.st_uid, st.st_gid) != 0) { /* not permitted: keep ours */ }
    }
  }
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);  // make the rename itself durable; failure here loses nothing
    ::close(dir);
  }
  return true;
}
