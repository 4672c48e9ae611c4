// POSIX side of the file layer: paths, the environment, reading and stamps.
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "environment.h"
#include "file_error.h"
#include "file_failure.h"
#include "file_read.h"
#include "paths.h"

namespace {

FileStamp StampOf(const struct stat& st) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.device = static_cast<unsigned long long>(st.st_dev);
  stamp.id = static_cast<unsigned long long>(st.st_ino);
  stamp.size = static_cast<unsigned long long>(st.st_size);
  stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  stamp.changedNs = static_cast<long long>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec;
  return stamp;
}

}  // namespace

std::filesystem::path FsPath(const std::string& path) { return std::filesystem::path(path); }

std::string PathText(const std::filesystem::path& path) { return path.string(); }

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ignored;
  std::filesystem::path full = std::filesystem::absolute(path, ignored);
  return full.empty() ? path : full.lexically_normal().string();
}

std::string FileSystemSpelling(const std::string& path) { return AbsolutePath(path); }
std::string FileIdentity(const std::string& path) { return AbsolutePath(path); }

const bool kFileNamesIgnoreCase = false;

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

bool IsFolder(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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

std::string WithTextLineEnds(const std::string& text) { return text; }

Reason SystemErrorText(const std::error_code& error) { return ErrnoText(error.value()); }

RegularFileReader::~RegularFileReader() {
  if (m_handle != kNoHandle) ::close(m_handle);
}

bool RegularFileReader::Open(const std::string& path) {
  m_missing = false;
  if (path.empty()) return Fail(R_("no file name"));
  // O_NONBLOCK keeps a FIFO from blocking the open; fstat then rejects it.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    m_missing = errno == ENOENT;
    return Fail(ErrnoText(errno));
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Fail(R_("not a regular file"));
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

bool RegularFileReader::Stamp(FileStamp& stamp) const {
  struct stat st;
  if (m_handle == kNoHandle || ::fstat(m_handle, &st) != 0) return Fail(ErrnoText(errno));
  stamp = StampOf(st);
  return true;
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
