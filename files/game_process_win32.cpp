// The client's processes on Windows (and on Wine's own list of them),
// from a snapshot of the system's processes.
#include <windows.h>
#include <tlhelp32.h>

#include "game_process.h"
#include "win32_system.h"

namespace {

// When the process started; 0 when it is not ours to ask.
std::uint64_t CreationTime(DWORD id) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return 0;
  FILETIME created, exited, kernel, user;
  std::uint64_t started = ::GetProcessTimes(process, &created, &exited, &kernel, &user) ? Ticks(created) : 0;
  ::CloseHandle(process);
  return started;
}

}  // namespace

std::vector<GameProcess> FindGameProcesses() {
  std::vector<GameProcess> found;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
    if (IsGameProgram(Utf8Of(entry.szExeFile)))
      found.push_back({entry.th32ProcessID, CreationTime(entry.th32ProcessID)});
  ::CloseHandle(snapshot);
  return found;
}
