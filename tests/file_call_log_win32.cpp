// The program's import table entries of the kernel's file calls point at
// wrappers here while a log is on; each records itself and calls the
// kernel's own.
#include "file_call_log.h"
#include "file_call_faults.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <mutex>

namespace {

std::mutex g_mutex;
std::wstring g_watched;
std::vector<FileCall> g_calls;
std::map<HANDLE, std::string> g_handles;  // files opened while the log is on

// The kernel's own calls, as the import table held them.
enum Call { kCreate, kWrite, kFlush, kReplace, kMove, kDelete, kCalls };
void* g_original[kCalls];

template <typename Function>
Function Original(Call call) {
  return reinterpret_cast<Function>(g_original[call]);
}

std::string Utf8(const wchar_t* wide) {
  if (!wide) return std::string();
  int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], size, nullptr, nullptr);
  return text;
}

void Record(const char* what, const std::string& path, const std::string& to = std::string()) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (ActingNow()) return;
  bool exists = ::GetFileAttributesW(g_watched.c_str()) != INVALID_FILE_ATTRIBUTES;
  g_calls.push_back({what, path, to, exists});
}

std::string HandlePath(HANDLE file) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto found = g_handles.find(file);
  return found == g_handles.end() ? std::string() : found->second;
}

HANDLE WINAPI LoggedCreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE pattern) {
  HANDLE file = Original<decltype(&::CreateFileW)>(kCreate)(path, access, share, security, disposition, flags, pattern);
  if (file != INVALID_HANDLE_VALUE && (access & GENERIC_WRITE)) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_handles[file] = Utf8(path);
  }
  return file;
}

BOOL WINAPI LoggedWriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  std::string path = HandlePath(file);
  if (!path.empty()) Record("write", path);
  return Original<decltype(&::WriteFile)>(kWrite)(file, buffer, size, written, overlapped);
}

BOOL WINAPI LoggedFlushFileBuffers(HANDLE file) {
  Record("flush", HandlePath(file));
  return Original<decltype(&::FlushFileBuffers)>(kFlush)(file);
}

DWORD Intercept(const char* kind) { return static_cast<DWORD>(InterceptCall(kind)); }

BOOL WINAPI LoggedMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags);

BOOL WINAPI LoggedReplaceFileW(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
                               LPVOID reserved) {
  if (DWORD error = Intercept("replace")) {
    // What the system documents: with ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 the
    // replaced file is already under the backup name, and nothing is at its own.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && backup)
      Original<decltype(&::MoveFileExW)>(kMove)(replaced, backup, MOVEFILE_REPLACE_EXISTING);
    ::SetLastError(error);
    return FALSE;
  }
  Record("rename", Utf8(replacement), Utf8(replaced));
  return Original<decltype(&::ReplaceFileW)>(kReplace)(replaced, replacement, backup, flags, exclude, reserved);
}

BOOL WINAPI LoggedMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
  if (DWORD error = Intercept("move")) {
    ::SetLastError(error);
    return FALSE;
  }
  Record("rename", Utf8(from), Utf8(to));
  return Original<decltype(&::MoveFileExW)>(kMove)(from, to, flags);
}

BOOL WINAPI LoggedDeleteFileW(LPCWSTR path) {
  Record("remove", Utf8(path));
  return Original<decltype(&::DeleteFileW)>(kDelete)(path);
}

struct Hook {
  const char* name;
  void* wrapper;
};

const Hook kHooks[kCalls] = {
    {"CreateFileW", reinterpret_cast<void*>(&LoggedCreateFileW)},
    {"WriteFile", reinterpret_cast<void*>(&LoggedWriteFile)},
    {"FlushFileBuffers", reinterpret_cast<void*>(&LoggedFlushFileBuffers)},
    {"ReplaceFileW", reinterpret_cast<void*>(&LoggedReplaceFileW)},
    {"MoveFileExW", reinterpret_cast<void*>(&LoggedMoveFileExW)},
    {"DeleteFileW", reinterpret_cast<void*>(&LoggedDeleteFileW)},
};

// Points this program's imports of kernel32's calls named in kHooks at the
// wrappers (`on`, keeping what they held) or back at what they held.
void PointImports(bool on) {
  auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
    if (_stricmp(reinterpret_cast<char*>(base + dll->Name), "kernel32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
      for (int call = 0; call < kCalls; ++call) {
        if (std::strcmp(name, kHooks[call].name) != 0) continue;
        if (on) g_original[call] = reinterpret_cast<void*>(slots->u1.Function);
        void* target = on ? kHooks[call].wrapper : g_original[call];
        DWORD old;
        ::VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
        slots->u1.Function = reinterpret_cast<ULONG_PTR>(target);
        ::VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
      }
    }
  }
}

}  // namespace

FileCallLog::FileCallLog(const std::string& watched) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    int size = ::MultiByteToWideChar(CP_UTF8, 0, watched.c_str(), -1, nullptr, 0);
    g_watched.assign(size > 0 ? size - 1 : 0, L'\0');
    if (size > 1) ::MultiByteToWideChar(CP_UTF8, 0, watched.c_str(), -1, &g_watched[0], size);
    g_calls.clear();
    g_handles.clear();
  }
  StartCallFaults();
  PointImports(true);
}

FileCallLog::~FileCallLog() {
  PointImports(false);
  StopCallFaults();
}

std::vector<FileCall> FileCallLog::Calls() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_calls;
}
