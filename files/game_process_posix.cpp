// The client's processes on Linux, where the game runs under Wine: Wine
// names a process (its comm) after the Windows program's file, and its
// first argument is the Windows path of that file.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include "ascii_text.h"
#include "game_process.h"

namespace {

// Up to `size` bytes of `path`, relative to the folder `proc`; empty when
// it cannot be opened or read (the process ended, or is not ours to see).
std::string ReadSmall(int proc, const std::string& path, std::size_t size) {
  int fd = ::openat(proc, path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return {};
  std::string bytes(size, '\0');
  ssize_t n;
  do n = ::read(fd, &bytes[0], size);
  while (n < 0 && errno == EINTR);
  ::close(fd);
  bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return bytes;
}

// What a process's stat says of it: whether it still runs and when it
// started (field 22, after the name in parentheses, which may hold
// anything; 0 when it cannot be read). One that has ended but that its
// parent has not yet reaped (state Z, or X while it goes) still has its
// entries, its name among them: it no longer runs.
struct ProcessStat {
  bool running = true;
  std::uint64_t started = 0;
};

ProcessStat ReadStat(int proc, const std::string& id) {
  ProcessStat result;
  const std::string stat = ReadSmall(proc, id + "/stat", 1024);
  std::size_t at = stat.rfind(')');
  if (at == std::string::npos) return result;
  at += 2;  // ") " then field 3, the state
  if (at < stat.size()) result.running = stat[at] != 'Z' && stat[at] != 'X';
  for (int field = 3; field < 22 && at < stat.size(); ++field) {
    at = stat.find(' ', at);
    if (at == std::string::npos) return result;
    ++at;
  }
  if (at < stat.size()) result.started = std::strtoull(stat.c_str() + at, nullptr, 10);
  return result;
}

// The kernel keeps 15 bytes of a process's name.
constexpr std::size_t kNameBytes = 15;

bool IsGameClient(int proc, const std::string& id) {
  std::string comm = ReadSmall(proc, id + "/comm", 64);
  if (!comm.empty() && comm.back() == '\n') comm.pop_back();
  if (IsGameProgram(comm)) return true;
  // A name cut short, or Wine's loader's own: the first argument is the
  // program's path, Windows or not. Other processes are not asked (reading
  // a process's arguments costs more than its name), nor are those whose
  // name holds a '/', which no Windows program's file name does (the
  // kernel's own threads: "kworker/0:1H").
  const bool wine = NoCaseKey(comm.substr(0, 4)) == "wine";
  if ((comm.size() < kNameBytes && !wine) || comm.find('/') != std::string::npos) return false;
  const std::string cmdline = ReadSmall(proc, id + "/cmdline", 4096);
  return !cmdline.empty() && IsGameProgram(std::string_view(cmdline.c_str()));
}

}  // namespace

std::vector<GameProcess> FindGameProcessesIn(const std::string& procFolder) {
  std::vector<GameProcess> found;
  DIR* proc = ::opendir(procFolder.c_str());
  if (!proc) return found;
  while (dirent* entry = ::readdir(proc)) {
    if (!IsAllDigits(entry->d_name)) continue;
    const std::string id = entry->d_name;
    if (!IsGameClient(::dirfd(proc), id)) continue;
    const ProcessStat stat = ReadStat(::dirfd(proc), id);
    if (stat.running) found.push_back({std::strtoul(id.c_str(), nullptr, 10), stat.started});
  }
  ::closedir(proc);
  return found;
}

std::vector<GameProcess> ScanGameProcesses() { return FindGameProcessesIn("/proc"); }
