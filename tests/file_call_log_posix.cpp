// The calls are defined here with the C library's names; each records itself
// while a log is on, then calls the library's own (found with RTLD_NEXT).
#include "file_call_log.h"
#include "file_call_faults.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

std::mutex g_mutex;
bool g_on = false;
bool g_coarse = false;
unsigned long g_fileSystemKind = 0;  // reported by statfs instead of the real one, when set
std::string g_watched;
std::vector<FileCall> g_calls;

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

std::string PathOf(int fd) {
  char link[64], target[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = ::readlink(link, target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

std::string FullPath(int folder, const char* path) {
  if (path[0] == '/' || folder == AT_FDCWD) return path;
  return PathOf(folder) + "/" + path;
}

void Record(const char* what, const std::string& path, const std::string& to = std::string()) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_on || ActingNow()) return;
  struct stat st;
  g_calls.push_back({what, path, to, ::stat(g_watched.c_str(), &st) == 0});
}

// Before a call of kind `kind`: true (with errno set) when it is to fail.
bool Intercept(const char* kind) {
  int error = InterceptCall(kind);
  if (error != 0) errno = error;
  return error != 0;
}

// A stamp as FAT keeps it: both times in whole even seconds.
int Coarsened(int result, struct stat* st) {
  if (result == 0 && g_coarse) {
    for (struct timespec* time : {&st->st_mtim, &st->st_ctim}) {
      time->tv_sec -= time->tv_sec % 2;
      time->tv_nsec = 0;
    }
  }
  return result;
}

const char* RenameKind(unsigned int flags) {
  return (flags & RENAME_EXCHANGE) ? "exchange" : (flags & RENAME_NOREPLACE) ? "noreplace" : "rename";
}

}  // namespace

FileCallLog::FileCallLog(const std::string& watched) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_watched = watched;
  g_calls.clear();
  g_on = true;
  StartCallFaults();
}

FileCallLog::~FileCallLog() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_on = false;
  g_coarse = false;
  g_fileSystemKind = 0;
  StopCallFaults();
}

void FileCallLog::CoarseStamps() { g_coarse = true; }

void FileCallLog::ReportFileSystemKind(unsigned long kind) { g_fileSystemKind = kind; }

std::vector<FileCall> FileCallLog::Calls() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_calls;
}

extern "C" {

ssize_t write(int fd, const void* buffer, size_t size) {
  static auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
  if (g_on && fd > 2) Record("write", PathOf(fd));
  return real(fd, buffer, size);
}

ssize_t read(int fd, void* buffer, size_t size) {
  static auto real = Real<ssize_t (*)(int, void*, size_t)>("read");
  if (g_on && fd > 2 && Intercept("read")) return -1;
  return real(fd, buffer, size);
}

int fstat(int fd, struct stat* st) {
  static auto real = Real<int (*)(int, struct stat*)>("fstat");
  return Coarsened(real(fd, st), st);
}

int stat(const char* path, struct stat* st) {
  static auto real = Real<int (*)(const char*, struct stat*)>("stat");
  return Coarsened(real(path, st), st);
}

int fsync(int fd) {
  static auto real = Real<int (*)(int)>("fsync");
  Record("flush", PathOf(fd));
  return real(fd);
}

int rename(const char* from, const char* to) {
  static auto real = Real<int (*)(const char*, const char*)>("rename");
  if (Intercept("rename")) return -1;
  Record("rename", from, to);
  return real(from, to);
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags) {
  static auto real = Real<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
  if (Intercept(RenameKind(flags))) return -1;
  Record("rename", FullPath(fromFolder, from), FullPath(toFolder, to));
  return real(fromFolder, from, toFolder, to, flags);
}

int link(const char* from, const char* to) {
  static auto real = Real<int (*)(const char*, const char*)>("link");
  if (Intercept("link")) return -1;
  Record("link", from, to);
  return real(from, to);
}

int flock(int fd, int operation) {
  static auto real = Real<int (*)(int, int)>("flock");
  if (Intercept("flock")) return -1;
  return real(fd, operation);
}

int fchmod(int fd, mode_t mode) {
  static auto real = Real<int (*)(int, mode_t)>("fchmod");
  if (Intercept("fchmod")) return -1;
  return real(fd, mode);
}

int inotify_add_watch(int fd, const char* path, uint32_t mask) {
  static auto real = Real<int (*)(int, const char*, uint32_t)>("inotify_add_watch");
  if (Intercept("watch")) return -1;
  return real(fd, path, mask);
}

// A lease asked for ("lease"): fcntl's third argument, when it has one, is
// an integer or a pointer, passed on as it came.
int fcntl(int fd, int cmd, ...) {
  static auto real = Real<int (*)(int, int, ...)>("fcntl");
  va_list args;
  va_start(args, cmd);
  void* arg = va_arg(args, void*);
  va_end(args);
  if (cmd == F_SETLEASE && reinterpret_cast<long>(arg) != F_UNLCK && Intercept("lease")) return -1;
  return real(fd, cmd, arg);
}

int statfs(const char* path, struct statfs* fs) {
  static auto real = Real<int (*)(const char*, struct statfs*)>("statfs");
  if (Intercept("statfs")) return -1;
  int result = real(path, fs);
  if (result == 0 && g_fileSystemKind != 0) fs->f_type = static_cast<decltype(fs->f_type)>(g_fileSystemKind);
  return result;
}

int unlink(const char* path) {
  static auto real = Real<int (*)(const char*)>("unlink");
  Record("remove", path);
  return real(path);
}

}  // extern "C"
