// POSIX steps of a replacement.
#include "replace_steps.h"
#include "paths.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <thread>
#include <unistd.h>

#include "file_error.h"
#include "file_failure.h"
#include "save_points.h"

namespace {

bool WriteAll(int fd, std::string_view bytes) {
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

mode_t CurrentUmask() {
  mode_t old = ::umask(0);
  ::umask(old);
  return old;
}

// "permission denied" on the folder a temporary file could not be made in
// says it is the folder.
Reason FolderError(int error, const std::string& folder) {
  Reason text = ErrnoText(error);
  if (error != EACCES && error != EPERM && error != EROFS) return text;
  return Reason(R_("%s (the folder %s)"), {std::move(text), Reason::Path(folder)});
}

// What most file systems answer for a call they cannot do (FAT gives EPERM for links).
bool NotSupported(int error, bool link = false) {
  return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == ENOTTY ||
         (link && (error == EPERM || error == EMLINK));
}

Step Failed(int error) {
  SetFileError(ErrnoText(error));
  return Step::Failed;
}

}  // namespace

bool FindReplaceTarget(const std::string& path, Temporary& out) {
  if (path.empty()) return Fail(R_("no file name"));
  out.target = path;
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return Fail(R_("a link that leads nowhere"));  // refused rather than the link replaced
    out.target = real;
    std::free(real);
  }
  out.targetExisted = ::stat(out.target.c_str(), &st) == 0;
  if (!out.targetExisted && errno != ENOENT) return Fail(ErrnoText(errno));
  out.folder = FolderOfPath(out.target);
  out.name = NameOf(out.target);
  return true;
}

bool CheckReplaceable(const Temporary& out) {
  struct stat st;
  if (::stat(out.target.c_str(), &st) != 0) return errno == ENOENT || Fail(ErrnoText(errno));
  if (!S_ISREG(st.st_mode)) return Fail(R_("not a regular file"));
  // A file the player marked read-only stays as it is, even for root.
  if ((st.st_mode & 0222) == 0) return Fail(R_("marked read-only"));
  if (::access(out.target.c_str(), W_OK) != 0) return Fail(ErrnoText(errno));
  return true;
}

namespace {

// The parts written in order, small ones gathered into writes of 64 KiB.
bool WriteParts(int fd, const ByteParts& parts) {
  std::string gathered;
  for (std::string_view part : parts) {
    if (gathered.size() + part.size() > 65536) {
      if (!WriteAll(fd, gathered)) return false;
      gathered.clear();
    }
    if (part.size() > 65536) {
      if (!WriteAll(fd, part)) return false;
    } else {
      gathered.append(part);
    }
  }
  return WriteAll(fd, gathered);
}

}  // namespace

bool WriteTemporary(Temporary& out, const std::string& prefix, const ByteParts& bytes, bool flush) {
  struct stat st;
  bool exists = ::stat(out.target.c_str(), &st) == 0;
  out.path = out.folder + "/" + prefix + "XXXXXX";
  int fd = InjectedFault(ReplaceStep::Create) ? -1 : ::mkstemp(&out.path[0]);
  if (fd < 0) return Fail(FolderError(errno, out.folder));
  int error = 0;
  bool ok = !InjectedFault(ReplaceStep::Write) && WriteParts(fd, bytes);
  if (ok && flush) ok = !InjectedFault(ReplaceStep::Flush) && ::fsync(fd) == 0;
  if (ok) {
    // The original's permission bits; a file system that keeps none (FAT
    // through FUSE) goes without.
    mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(fd, mode) != 0 && !NotSupported(errno, true)) ok = false;
    if (ok && exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
      // Keep the player's ownership when running with the rights to do so.
      if (::fchown(fd, st.st_uid, st.st_gid) != 0) { /* not permitted: keep ours */ }
    }
  }
  if (!ok) error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(out.path.c_str());
    return Fail(ErrnoText(error));
  }
  return true;
}

Step ExchangeFiles(const std::string& a, const std::string& b) {
  if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) return Step::Done;
  if (errno == ENOENT) return Step::Missing;
  return NotSupported(errno) ? Step::Unsupported : Failed(errno);
}

Step LinkFile(const std::string& existing, const std::string& name) {
  if (::link(existing.c_str(), name.c_str()) == 0) return Step::Done;
  if (errno == EEXIST) return Step::Exists;
  if (errno == ENOENT) return Step::Missing;
  return NotSupported(errno, true) ? Step::Unsupported : Failed(errno);
}

Step MoveToFreeName(const std::string& from, const std::string& to) {
  return MoveToFreeName(from, to, FolderAbilities{true, true, true});
}

Step MoveToFreeName(const std::string& from, const std::string& to, const FolderAbilities& can) {
  if (can.freeName) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return Step::Done;
    if (errno == EEXIST) return Step::Exists;
    if (errno == ENOENT) return Step::Missing;
    if (!NotSupported(errno)) return Failed(errno);
  }
  if (can.links) {
    Step linked = LinkFile(from, to);  // a link does the same, and then the first name goes
    if (linked == Step::Done) ::unlink(from.c_str());
    if (linked != Step::Unsupported) return linked;
  }
  // Neither: the name is looked at right before the rename.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) return Step::Exists;
  return MoveOver(from, to);
}

namespace {

// File systems whose Linux drivers have had RENAME_EXCHANGE, RENAME_NOREPLACE
// and hard links for as long as renameat2 has existed (ext2/3/4 share a
// magic number; the ext2 driver alone lacks the exchange, and then the
// failed exchange leads to the way without it). All are local: every write
// into their files passes through this kernel.
bool KnownToExchange(const std::string& folder) {
  struct statfs fs;
  if (::statfs(folder.c_str(), &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53:      // ext2, ext3, ext4
    case 0x9123683E:  // btrfs
    case 0x58465342:  // XFS
    case 0x01021994:  // tmpfs
    case 0xF2F52010:  // F2FS
      return true;
    default:
      return false;
  }
}

}  // namespace

FolderAbilities ProbeFolder(const Temporary& out, const std::string& prefix) {
  if (KnownToExchange(out.folder)) return {true, true, true, true};
  static std::atomic<unsigned> probes{0};
  auto name = [&](const char* what) {
    return JoinPath(out.folder, prefix + "probe-" + what + std::to_string(++probes));  // the prefix names the process
  };
  auto make = [](const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
    return fd >= 0;
  };
  FolderAbilities can;
  const std::string a = name("a"), b = name("b"), c = name("c");
  if (!make(a)) return can;
  if (make(b)) {
    can.exchange = ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
    ::unlink(b.c_str());
  }
  std::string last = a;
  if (!can.exchange) {
    // What a replacement without the exchange uses to put its file in.
    can.freeName = ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, c.c_str(), RENAME_NOREPLACE) == 0;
    if (can.freeName) last = c;
    can.links = ::link(last.c_str(), b.c_str()) == 0;
    if (can.links) ::unlink(b.c_str());
  }
  ::unlink(last.c_str());
  return can;
}

Step MoveOver(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) == 0) return Step::Done;
  return errno == ENOENT ? Step::Missing : Failed(errno);
}

Step ReplaceKeepingDisplaced(const std::string&, const std::string&, const std::string&) { return Step::Unsupported; }

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

void FlushFolder(const std::string& folder) {
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

std::vector<Leftover> FindLeftovers(const std::string& folder, const std::string& prefix) {
  std::vector<Leftover> found;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return found;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat st;
    std::string path = folder + "/" + name;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    found.push_back({name, static_cast<long long>(now - st.st_mtime)});
  }
  ::closedir(dir);
  return found;
}

long CurrentProcessId() { return static_cast<long>(::getpid()); }

bool ProcessGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

void PauseBriefly(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
