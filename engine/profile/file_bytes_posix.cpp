// POSIX side of the file helpers: reading regular files, atomic replacement.
#include "file_bytes.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "file_error.h"

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

FileStamp StampOf(const struct stat& st) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.device = static_cast<unsigned long long>(st.st_dev);
  stamp.id = static_cast<unsigned long long>(st.st_ino);
  stamp.size = static_cast<unsigned long long>(st.st_size);
  stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return stamp;
}

ReplaceStep g_failAt = ReplaceStep::None;

// True (with errno EIO) when a test asked this step of the replacement to fail.
bool InjectedFault(ReplaceStep step) {
  if (g_failAt != step) return false;
  g_failAt = ReplaceStep::None;
  errno = step == ReplaceStep::Create ? EACCES : EIO;
  return true;
}

bool Fail(const std::string& reason) {
  SetFileError(reason);
  return false;
}

// The temporary files of the replacements of `name` start with this.
std::string TemporaryPrefix(const std::string& name) { return "." + name + ".brindlemarque-"; }
const char* const kTemporaryMark = ".brindlemarque-";

constexpr int kStaleSeconds = 300;

// Removes our temporary files in `folder` that a killed process left, those
// of replacing `name` or, with an empty name, of any file: owned by this
// user, and either written by a process that is gone or older than
// kStaleSeconds (a process id may have been reused).
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
  const std::string prefix = name.empty() ? "." : TemporaryPrefix(name);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    std::string file = entry->d_name;
    std::size_t mark = file.rfind(kTemporaryMark);
    if (file.compare(0, prefix.size(), prefix) != 0 || mark == std::string::npos || mark == 0) continue;
    std::string path = folder + "/" + file;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    long pid = std::strtol(file.c_str() + mark + std::strlen(kTemporaryMark), nullptr, 10);
    bool writerGone = pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    if (writerGone || now - st.st_mtime > kStaleSeconds) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

}  // namespace

std::filesystem::path FsPath(const std::string& path) { return std::filesystem::path(path); }

std::string PathText(const std::filesystem::path& path) { return path.string(); }

void RemoveStaleTemporaryFiles(const std::string& folder) { RemoveStaleTemporaries(folder, std::string()); }

void RemoveStaleTemporariesOf(const std::string& path) {
  std::string target;
  if (!path.empty() && ResolveTarget(path, target)) RemoveStaleTemporaries(FolderOf(target), NameOf(target));
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ignored;
  std::filesystem::path full = std::filesystem::absolute(path, ignored);
  return full.empty() ? path : full.lexically_normal().string();
}

std::string FileSystemSpelling(const std::string& path) { return AbsolutePath(path); }
std::string FileIdentity(const std::string& path) { return AbsolutePath(path); }

bool ListFolder(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return Fail(ErrnoText(errno));
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  int error = errno;
  ::closedir(dir);
  return error == 0 || Fail(ErrnoText(error));
}

bool FileOrFolderExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::string EnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string UserDataFolder() {
  std::string base = EnvironmentText("XDG_DATA_HOME");
  if (!base.empty() && base[0] == '/') return base;  // relative values are to be ignored
  std::string home = EnvironmentText("HOME");
  return home.empty() ? std::string() : home + "/.local/share";
}

const bool kFileNamesIgnoreCase = false;

std::string WithTextLineEnds(const std::string& text) { return text; }

std::string SystemErrorText(const std::error_code& error) { return ErrnoText(error.value()); }

RegularFileReader::~RegularFileReader() {
  if (m_handle != kNoHandle) ::close(m_handle);
}

bool RegularFileReader::Open(const std::string& path) {
  m_missing = false;
  if (path.empty()) return Fail(N_("no file name"));
  // O_NONBLOCK keeps a FIFO from blocking the open; fstat then rejects it.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    m_missing = errno == ENOENT;
    return Fail(ErrnoText(errno));
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Fail(N_("not a regular file"));
  }
  m_handle = fd;
  m_size = static_cast<unsigned long long>(st.st_size);
  return true;
}

long long RegularFileReader::Read(char* buffer, std::size_t size) {
  if (m_handle == kNoHandle) return -1;
  for (;;) {
    ssize_t n = ::read(m_handle, buffer, size);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

namespace {

// A replacement written and flushed beside its target, not yet swapped in.
struct Prepared {
  std::string target, folder, name, temp;
};

// "permission denied" on the folder a temporary file could not be made in
// says it is the folder.
std::string FolderError(int error, const std::string& folder) {
  std::string text = ErrnoText(error);
  return error == EACCES || error == EPERM || error == EROFS ? text + " (the folder " + folder + ")" : text;
}

// Everything slow of a replacement: checks, the temporary file written with
// the original's permission bits, flushed and closed.
bool PrepareReplacement(const std::string& path, const std::string& bytes, Prepared& out) {
  if (path.empty()) return Fail(N_("no file name"));
  if (!ResolveTarget(path, out.target)) return Fail(N_("a link that leads nowhere"));
  const std::string& target = out.target;

  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return Fail(ErrnoText(errno));
  out.folder = FolderOf(target);
  out.name = NameOf(target);
  if (exists) {
    if (!S_ISREG(st.st_mode)) return Fail(N_("not a regular file"));
    // A file the player marked read-only stays as it is, even for root.
    if ((st.st_mode & 0222) == 0) return Fail(N_("marked read-only"));
    if (::access(target.c_str(), W_OK) != 0) return Fail(ErrnoText(errno));
  }

  RemoveStaleTemporaries(out.folder, out.name);
  out.temp = out.folder + "/" + TemporaryPrefix(out.name) + std::to_string(::getpid()) + "-XXXXXX";
  int fd = InjectedFault(ReplaceStep::Create) ? -1 : ::mkstemp(&out.temp[0]);
  if (fd < 0) return Fail(FolderError(errno, out.folder));
  int error = 0;
  bool ok = !InjectedFault(ReplaceStep::Write) && WriteAll(fd, bytes);
  if (ok) ok = !InjectedFault(ReplaceStep::Flush) && ::fsync(fd) == 0;
  if (ok) {
    mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    ok = ::fchmod(fd, mode) == 0;
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
    ::unlink(out.temp.c_str());
    return Fail(ErrnoText(error));
  }
  return true;
}

// Makes the renames in `folder` durable; a failure here loses nothing.
void FlushFolder(const std::string& folder) {
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

// The prepared file given up: removed, nothing replaced; an `error` of 0
// means another program changed the file.
ReplaceOutcome Abandoned(const Prepared& prepared, int error) {
  ::unlink(prepared.temp.c_str());
  if (error == 0) return ChangedOutcome();
  Fail(ErrnoText(error));
  return ReplaceOutcome::Failed;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  Prepared prepared;
  if (!PrepareReplacement(path, bytes, prepared)) return false;
  if (InjectedFault(ReplaceStep::Rename) || ::rename(prepared.temp.c_str(), prepared.target.c_str()) != 0) {
    Abandoned(prepared, errno);
    return false;
  }
  FlushFolder(prepared.folder);
  return true;
}

namespace {

// A new file: moved in only while the name is still free.
ReplaceOutcome MoveInNewFile(const Prepared& prepared) {
  const char *temp = prepared.temp.c_str(), *target = prepared.target.c_str();
  int moved = ::renameat2(AT_FDCWD, temp, AT_FDCWD, target, RENAME_NOREPLACE);
  if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) moved = ::link(temp, target);  // a link does the same
  if (moved != 0) return Abandoned(prepared, errno == EEXIST ? 0 : errno);
  ::unlink(temp);  // gone already after a rename; the second name after a link
  FlushFolder(prepared.folder);
  return ReplaceOutcome::Done;
}

// Swaps the prepared file in: the file the name held goes to a name of ours,
// still whole, and is compared once more with what was read; when another
// program wrote it meanwhile, that file, as it is, is put back. Without the
// exchange (some file systems) a second link keeps it.
ReplaceOutcome SwapInExisting(const Prepared& prepared, const FileStamp& stamp, const std::string& readBytes) {
  const char *temp = prepared.temp.c_str(), *target = prepared.target.c_str();
  std::string displaced = prepared.temp;
  if (::renameat2(AT_FDCWD, temp, AT_FDCWD, target, RENAME_EXCHANGE) != 0) {
    if (errno == ENOENT) return Abandoned(prepared, 0);  // removed since the check
    if (errno != EINVAL && errno != ENOSYS) return Abandoned(prepared, errno);
    displaced += "-old";
    bool linked = ::link(target, displaced.c_str()) == 0;
    if (::rename(temp, target) != 0) {
      int error = errno;
      if (linked) ::unlink(displaced.c_str());
      return Abandoned(prepared, error);
    }
    if (!linked) displaced.clear();  // nothing to look at again
  }
  ReplaceOutcome outcome = ReplaceOutcome::Done;
  if (!displaced.empty() && !IsAsRead(displaced, &stamp, readBytes)) {
    if (::rename(displaced.c_str(), target) != 0) {
      SetFileError("changed by another program while Brindlemarque worked on it; its version is kept in " + displaced);
      return ReplaceOutcome::Changed;
    }
    outcome = ChangedOutcome();
  }
  if (!displaced.empty()) ::unlink(displaced.c_str());  // no longer there when it was put back
  FlushFolder(prepared.folder);
  return outcome;
}

}  // namespace

ReplaceOutcome ReplaceReadFile(const std::string& path, const std::string& bytes, const FileStamp& stamp,
                               const std::string& readBytes) {
  Prepared prepared;
  if (!PrepareReplacement(path, bytes, prepared)) return ReplaceOutcome::Failed;
  ReachSavePoint(SavePoint::BeforeCheck, path);
  if (!IsAsRead(prepared.target, &stamp, readBytes)) return Abandoned(prepared, 0);
  ReachSavePoint(SavePoint::BeforeSwap, path);
  if (InjectedFault(ReplaceStep::Rename)) return Abandoned(prepared, errno);
  return stamp.exists ? SwapInExisting(prepared, stamp, readBytes) : MoveInNewFile(prepared);
}

bool StampFile(const std::string& path, FileStamp& stamp) {
  stamp = FileStamp();
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    stamp = StampOf(st);
    return true;
  }
  if (errno == ENOENT) return true;
  return Fail(ErrnoText(errno));
}

long long FileClockNow() {
  struct timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

bool RegularFileReader::Stamp(FileStamp& stamp) const {
  struct stat st;
  if (m_handle == kNoHandle || ::fstat(m_handle, &st) != 0) return Fail(ErrnoText(errno));
  stamp = StampOf(st);
  return true;
}

void FailNextReplaceAt(ReplaceStep step) { g_failAt = step; }

namespace {

// One try at the lock of `path`: the folder's lock first, always, so that a
// run on a file that does not exist yet keeps it (no other run takes the
// file it makes before it is done); for a file that exists, then its own
// lock, and the folder's is let go. 0 with `held` set; kReplaced when the
// file was replaced while it was locked (a lock on the old file is worthless:
// try again on what the path names now); else the error.
constexpr int kReplaced = -1;

int TryLock(const std::string& path, int& held) {
  int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
  if (path.empty()) return Fail(N_("no file name"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    int error = TryLock(path, m_handle);
    if (error == 0) return true;
    if (error == kReplaced) continue;
    if ((error != EWOULDBLOCK && error != EINTR) || std::chrono::steady_clock::now() >= deadline)
      return Fail(error == EWOULDBLOCK ? "in use by another run of Brindlemarque; try again in a moment"
                                       : ErrnoText(error));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void FileLock::Release() {
  if (m_handle == kNoHandle) return;
  ::close(m_handle);  // closing the only descriptor releases the lock
  m_handle = kNoHandle;
}
