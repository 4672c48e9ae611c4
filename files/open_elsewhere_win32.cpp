// Windows tells whether another handle on a file exists through sharing: an
// open that shares nothing fails with a sharing violation while any other
// handle that may read, write or delete it is open (whatever that one
// shares), and the run itself holds none on the file (its lock is a
// semaphore).
#include "open_elsewhere.h"

#include "win32_system.h"

OpenElsewhere FindOpenElsewhere(const std::string& path, NativeHandle) {
  HANDLE file = ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    ::CloseHandle(file);
    return OpenElsewhere::No;
  }
  return ::GetLastError() == ERROR_SHARING_VIOLATION ? OpenElsewhere::Yes : OpenElsewhere::Unknown;
}
