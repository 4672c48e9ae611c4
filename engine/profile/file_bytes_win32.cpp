// Windows side of the file helpers: reading regular files, atomic replacement.
// Paths are 8-bit text in the ANSI code page, as the game's own files are named.
#include "file_bytes.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "file_error.h"

namespace {

bool StatRegular(const std::string& path, struct _stat64& st) {
  return !path.empty() && ::_stat64(path.c_str(), &st) == 0 && (st.st_mode & _S_IFREG) != 0;
}

std::string FolderOf(const std::string& path) {
  auto cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string(".\\") : path.substr(0, cut + 1);
}

std::string NameOf(const std::string& path) {
  auto cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool Fail(const std::string& reason) {
  SetFileError(reason);
  return false;
}

bool FailWith(DWORD error) { return Fail("Windows error " + std::to_string(error)); }

ReplaceStep g_failAt = ReplaceStep::None;

bool InjectedFault(ReplaceStep step) {
  if (g_failAt != step) return false;
  g_failAt = ReplaceStep::None;
  ::SetLastError(ERROR_WRITE_FAULT);
  return true;
}

std::string TemporaryPrefix(const std::string& name) { return "." + name + ".brindlemarque-"; }

constexpr ULONGLONG kStaleSeconds = 300;

bool ProcessAlive(DWORD pid) {
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;  // exists, but not ours to open
  bool alive = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  ::CloseHandle(process);
  return alive;
}

// Removes our temporary files for `name` in `folder` that a killed process
// left: written by a process that is gone, or older than kStaleSeconds.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
  const std::string prefix = TemporaryPrefix(name);
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((folder + prefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME nowFile;
  ::GetSystemTimeAsFileTime(&nowFile);
  ULARGE_INTEGER now{{nowFile.dwLowDateTime, nowFile.dwHighDateTime}};
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string file = found.cFileName;
    ULARGE_INTEGER written{{found.ftLastWriteTime.dwLowDateTime, found.ftLastWriteTime.dwHighDateTime}};
    unsigned long pid = std::strtoul(file.c_str() + prefix.size(), nullptr, 10);
    bool old = now.QuadPart > written.QuadPart && (now.QuadPart - written.QuadPart) / 10000000ULL > kStaleSeconds;
    if (old || (pid > 0 && !ProcessAlive(pid))) ::DeleteFileA((folder + file).c_str());
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
}

}  // namespace

RegularFileReader::~RegularFileReader() {
  if (m_fd >= 0) ::_close(m_fd);
}

bool RegularFileReader::Open(const std::string& path) {
  m_missing = false;
  struct _stat64 st;
  if (path.empty()) return Fail("no file name");
  if (::_stat64(path.c_str(), &st) != 0) {
    m_missing = errno == ENOENT;
    return Fail(ErrnoText(errno));
  }
  if (!(st.st_mode & _S_IFREG)) return Fail("not a regular file");
  int fd = ::_open(path.c_str(), _O_RDONLY | _O_BINARY);
  if (fd < 0) return Fail(ErrnoText(errno));
  m_fd = fd;
  m_size = static_cast<unsigned long long>(st.st_size);
  return true;
}

long long RegularFileReader::Read(char* buffer, std::size_t size) {
  if (m_fd < 0) return -1;
  unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
  return ::_read(m_fd, buffer, chunk);
}

bool IsLoadableFile(const std::string& path) {
  struct _stat64 st;
  return StatRegular(path, st) && static_cast<unsigned long long>(st.st_size) <= kMaxFileBytes;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  if (path.empty()) return Fail("no file name");
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return Fail("not a regular file");
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return Fail("marked read-only");

  const std::string folder = FolderOf(path), name = NameOf(path);
  RemoveStaleTemporaries(folder, name);
  const std::string stem = folder + TemporaryPrefix(name) + std::to_string(::GetCurrentProcessId()) + "-";
  std::string temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
    temp = stem + std::to_string(::GetTickCount() + attempt);
    file = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return FailWith(::GetLastError());
  }
  if (file == INVALID_HANDLE_VALUE) return Fail("no temporary file could be made");
  bool ok = !InjectedFault(ReplaceStep::Write);
  for (std::size_t done = 0; ok && done < bytes.size();) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x10000000u ? 0x10000000u : bytes.size() - done);
    ok = ::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written > 0;
    done += written;
  }
  if (ok) ok = !InjectedFault(ReplaceStep::Flush) && ::FlushFileBuffers(file);
  DWORD error = ok ? 0 : ::GetLastError();
  if (!::CloseHandle(file) && ok) {
    ok = false;
    error = ::GetLastError();
  }
  // ReplaceFile keeps the original's attributes and security; a new file is moved in.
  if (ok) {
    ok = !InjectedFault(ReplaceStep::Rename) &&
         (exists ? ::ReplaceFileA(path.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                  nullptr) != 0
                 : ::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != 0);
    if (!ok) error = ::GetLastError();
  }
  if (!ok) {
    ::DeleteFileA(temp.c_str());
    return FailWith(error);
  }
  return true;
}

void FailNextReplaceAt(ReplaceStep step) { g_failAt = step; }

bool FileLock::Acquire(const std::string& path, int waitMs) {
  Release();
  if (path.empty()) return Fail("no file name");
  // A named mutex per full path, letter case ignored as the file system does.
  char full[MAX_PATH];
  DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  std::string key = length > 0 && length < MAX_PATH ? std::string(full, length) : path;
  for (char& c : key) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
  std::string name = "Local\\Brindlemarque-" + std::to_string(std::hash<std::string>()(key));
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name.c_str());
  if (!mutex) return FailWith(::GetLastError());
  DWORD waited = ::WaitForSingleObject(mutex, static_cast<DWORD>(waitMs));
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    ::CloseHandle(mutex);
    return Fail("in use by another run of Brindlemarque; try again in a moment");
  }
  m_handle = mutex;
  return true;
}

void FileLock::Release() {
  if (!m_handle) return;
  ::ReleaseMutex(static_cast<HANDLE>(m_handle));
  ::CloseHandle(static_cast<HANDLE>(m_handle));
  m_handle = nullptr;
}
