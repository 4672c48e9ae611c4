// Windows side of the file helpers: reading regular files, atomic replacement.
// Paths are 8-bit text in the ANSI code page, as the game's own files are named.
#include "file_bytes.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace {

bool StatRegular(const std::string& path, struct _stat64& st) {
  return !path.empty() && ::_stat64(path.c_str(), &st) == 0 && (st.st_mode & _S_IFREG) != 0;
}

std::string FolderOf(const std::string& path) {
  auto cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string(".") : path.substr(0, cut + 1);
}

}  // namespace

RegularFileReader::~RegularFileReader() {
  if (m_fd >= 0) ::_close(m_fd);
}

bool RegularFileReader::Open(const std::string& path) {
  m_missing = false;
  struct _stat64 st;
  if (path.empty()) return false;
  if (::_stat64(path.c_str(), &st) != 0) {
    m_missing = errno == ENOENT;
    return false;
  }
  if (!(st.st_mode & _S_IFREG)) return false;
  int fd = ::_open(path.c_str(), _O_RDONLY | _O_BINARY);
  if (fd < 0) return false;
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
  if (path.empty()) return false;
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) return false;

  char temp[MAX_PATH];
  if (!::GetTempFileNameA(FolderOf(path).c_str(), "bmq", 0, temp)) return false;
  HANDLE file = ::CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x10000000u ? 0x10000000u : bytes.size() - done);
    ok = ::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written > 0;
    done += written;
  }
  if (file != INVALID_HANDLE_VALUE) {
    ok = ::FlushFileBuffers(file) && ok;
    ok = ::CloseHandle(file) && ok;
  }
  // ReplaceFile keeps the original's attributes and security; a new file is moved in.
  if (ok)
    ok = exists ? ::ReplaceFileA(path.c_str(), temp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                : ::MoveFileExA(temp, path.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) ::DeleteFileA(temp);
  return ok;
}
