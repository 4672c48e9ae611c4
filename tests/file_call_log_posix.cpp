// The calls are defined here with the C library's names; each records itself
// while a log is on, then calls the library's own (found with RTLD_NEXT).
#include "file_call_log.h"

#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex g_mutex;
bool g_on = false;
std::string g_watched;
std::vector<FileCall> g_calls;
struct Fault {
  int error, times;
};
std::map<std::string, Fault> g_faults;
std::map<std::string, std::function<void()>> g_acts;
thread_local bool t_acting = false;  // inside an act: its calls go through as they are

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
  if (!g_on || t_acting) return;
  struct stat st;
  g_calls.push_back({what, path, to, ::stat(g_watched.c_str(), &st) == 0});
}

// Before a call of kind `kind`: runs an act waiting for it, then tells
// whether the call is to fail (with errno set).
bool Intercept(const char* kind) {
  if (t_acting) return false;
  std::function<void()> act;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_on) return false;
    auto found = g_acts.find(kind);
    if (found != g_acts.end()) {
      act = std::move(found->second);
      g_acts.erase(found);
    }
  }
  if (act) {
    t_acting = true;
    act();
    t_acting = false;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  auto fault = g_faults.find(kind);
  if (fault == g_faults.end() || fault->second.times == 0) return false;
  if (fault->second.times > 0) --fault->second.times;
  errno = fault->second.error;
  return true;
}

const char* RenameKind(unsigned int flags) {
  return (flags & RENAME_EXCHANGE) ? "exchange" : (flags & RENAME_NOREPLACE) ? "noreplace" : "rename";
}

}  // namespace

void FileCallLog::FailCalls(const std::string& call, int error, int times) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_faults[call] = {error, times};
}

void FileCallLog::ActBefore(const std::string& call, std::function<void()> act) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_acts[call] = std::move(act);
}

FileCallLog::FileCallLog(const std::string& watched) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_watched = watched;
  g_calls.clear();
  g_faults.clear();
  g_acts.clear();
  g_on = true;
}

FileCallLog::~FileCallLog() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_on = false;
  g_faults.clear();
  g_acts.clear();
}

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

int unlink(const char* path) {
  static auto real = Real<int (*)(const char*)>("unlink");
  Record("remove", path);
  return real(path);
}

}  // extern "C"
