#include "open_elsewhere.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "ascii_text.h"

namespace {

// Whether one of `pid`'s descriptors names the file (`skip`, in this
// process, excepted).
bool DescriptorOf(const std::string& pid, dev_t device, ino_t inode, int skip, bool& readable) {
  const std::string folder = "/proc/" + pid + "/fd";
  DIR* fds = ::opendir(folder.c_str());
  if (!fds) return false;  // ended, or not this user's to see
  readable = true;
  bool found = false;
  while (dirent* entry = ::readdir(fds)) {
    struct stat st;
    if (!IsAllDigits(entry->d_name) || std::atoi(entry->d_name) == skip ||
        ::fstatat(::dirfd(fds), entry->d_name, &st, 0) != 0)
      continue;
    if (st.st_dev == device && st.st_ino == inode) {
      found = true;
      break;
    }
  }
  ::closedir(fds);
  return found;
}

// Whether one of `pid`'s mappings is of the file: "start-end perms offset
// major:minor inode path" per line.
bool MappingOf(const std::string& pid, dev_t device, ino_t inode) {
  std::FILE* maps = std::fopen(("/proc/" + pid + "/maps").c_str(), "re");
  if (!maps) return false;
  bool found = false;
  char line[4096];
  while (!found && std::fgets(line, sizeof line, maps)) {
    unsigned major = 0, minor = 0;
    unsigned long long node = 0;
    if (std::sscanf(line, "%*s %*s %*s %x:%x %llu", &major, &minor, &node) == 3)
      found = node == inode && makedev(major, minor) == device;
  }
  std::fclose(maps);
  return found;
}

// The descriptors and mappings /proc shows of the processes this user may see.
OpenElsewhere FindInProc(dev_t device, ino_t inode, int own) {
  const std::string self = std::to_string(::getpid());
  DIR* proc = ::opendir("/proc");
  if (!proc) return OpenElsewhere::Unknown;
  bool looked = false, found = false;
  while (!found) {
    dirent* entry = ::readdir(proc);
    if (!entry) break;
    if (!IsAllDigits(entry->d_name)) continue;
    const int skip = self == entry->d_name ? own : -1;
    found = DescriptorOf(entry->d_name, device, inode, skip, looked) || MappingOf(entry->d_name, device, inode);
  }
  ::closedir(proc);
  return found ? OpenElsewhere::Yes : looked ? OpenElsewhere::No : OpenElsewhere::Unknown;
}

}  // namespace

OpenElsewhere FindOpenElsewhere(const std::string& path, NativeHandle own) {
  struct stat named, held;
  if (::stat(path.c_str(), &named) != 0) return OpenElsewhere::Unknown;
  // The lease is asked for on the caller's own descriptor of the file when
  // it has one (a second of ours would be "another"), else on one opened
  // here: non-blocking, since another's lease would hold the open.
  const bool ours = own >= 0 && ::fstat(own, &held) == 0 && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
  const int fd = ours ? own : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return OpenElsewhere::Unknown;
  const int lease = ::fcntl(fd, F_SETLEASE, F_WRLCK);
  const int error = errno;
  if (lease == 0) ::fcntl(fd, F_SETLEASE, F_UNLCK);
  if (!ours) ::close(fd);  // before /proc is looked at: this call's descriptor is no other's
  if (lease == 0) return OpenElsewhere::No;
  if (error == EAGAIN) return OpenElsewhere::Yes;
  return FindInProc(named.st_dev, named.st_ino, ours ? own : -1);
}
