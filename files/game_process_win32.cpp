// The client's processes on Windows (and on Wine's own list of them),
// from a snapshot of the system's processes.
#include <windows.h>
#include <tlhelp32.h>

#include "game_process.h"
#include "win32_system.h"

namespace {

// Whether the process still runs (one that ended may stay listed while
// another program holds it open) and when it started (0 when it is not
// ours to ask).
struct ProcessState {
  bool running = true;
  std::uint64_t started = 0;
};

ProcessState StateOf(DWORD id) {
  ProcessState state;
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return state;
  FILETIME created, exited, kernel, user;
  if (::GetProcessTimes(process, &created, &exited, &kernel, &user)) state.started = Ticks(created);
  DWORD code = 0;
  if (::GetExitCodeProcess(process, &code) && code != STILL_ACTIVE) state.running = false;
  ::CloseHandle(process);
  return state;
}

}  // namespace

std::vector<GameProcess> ScanGameProcesses() {
  std::vector<GameProcess> found;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
    if (IsGameProgram(Utf8Of(entry.szExeFile))) {
      const ProcessState state = StateOf(entry.th32ProcessID);
      if (state.running) found.push_back({entry.th32ProcessID, state.started});
    }
  ::CloseHandle(snapshot);
  return found;
}
