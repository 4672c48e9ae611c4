// Windows side of the runs' lock: a named semaphore per file.
#include "file_lock.h"

#include <cwctype>
#include <functional>

#include "file_error.h"
#include "file_failure.h"
#include "win32_system.h"

bool FileLock::Acquire(const std::string& path, int waitMs) {
  Release();
  if (path.empty()) return Fail(R_("no file name"));
  // A named semaphore of one per full path (letter case ignored, as the file
  // system does). Unlike a mutex it is not owned by a thread, so a second
  // hold in the same thread waits too. It goes with the last handle to it.
  std::wstring key = SystemPath(path);
  for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(c));
  std::wstring name = L"Local\\Brindlemarque-" + std::to_wstring(std::hash<std::wstring>()(key));
  HANDLE semaphore = ::CreateSemaphoreW(nullptr, 1, 1, name.c_str());
  if (!semaphore) return FailWith(::GetLastError());
  if (::WaitForSingleObject(semaphore, static_cast<DWORD>(waitMs)) != WAIT_OBJECT_0) {
    ::CloseHandle(semaphore);
    return Fail(R_("in use by another run of Brindlemarque; try again in a moment"));
  }
  m_handle = semaphore;
  return true;
}

void FileLock::Release() {
  if (!m_handle) return;
  ::ReleaseSemaphore(static_cast<HANDLE>(m_handle), 1, nullptr);
  ::CloseHandle(static_cast<HANDLE>(m_handle));
  m_handle = nullptr;
}
