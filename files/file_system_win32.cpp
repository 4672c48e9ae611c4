// Windows side of the file layer: paths, the environment, reading and
// stamps. Paths arrive as UTF-8 and reach the system as UTF-16 in the long
// "\\?\" form.
#include <cstdlib>
#include <cwctype>

#include "environment.h"
#include "file_error.h"
#include "file_failure.h"
#include "file_read.h"
#include "paths.h"
#include "win32_system.h"

std::wstring WideOf(const std::string& text) {
  if (text.empty()) return {};
  int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

std::string Utf8Of(const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n, nullptr, nullptr);
  return text;
}

// The full path in the "\\?\" form, which lifts the 260-character limit.
std::wstring SystemPath(const std::string& path) {
  std::wstring wide = WideOf(path);
  if (wide.empty()) return wide;
  DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return wide;
  std::wstring full(size, L'\0');
  size = ::GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
  full.resize(size);
  if (full.compare(0, 4, L"\\\\?\\") == 0) return full;
  if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

Reason SystemText(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return R_("no such file or directory");
    case ERROR_ACCESS_DENIED:
      return R_("permission denied");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return R_("in use by another program");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return R_("no space left on device");
    case ERROR_WRITE_FAULT:
      return R_("input/output error");
    default:
      return Reason(R_("Windows error %s"), {Number(static_cast<long long>(error))});
  }
}

bool FailWith(DWORD error) { return Fail(SystemText(error)); }

// The running game or a virus scanner may hold the file for a moment.
bool Transient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

ULONGLONG Ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

namespace {

FileStamp StampOf(const BY_HANDLE_FILE_INFORMATION& info) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.device = info.dwVolumeSerialNumber;
  stamp.id = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  stamp.size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  // 100 ns units since 1601 -> nanoseconds since 1970
  stamp.modifiedNs = (static_cast<long long>(Ticks(info.ftLastWriteTime)) - 116444736000000000LL) * 100;
  return stamp;
}

}  // namespace

std::wstring WideText(const std::string& utf8) { return WideOf(utf8); }

std::string Utf8Text(const std::wstring& wide) { return Utf8Of(wide); }

std::filesystem::path FsPath(const std::string& path) {
  // An absolute path in the long form, so that listing a deep folder works too.
  bool absolute = (path.size() >= 3 && path[1] == ':' && (path[2] == '/' || path[2] == '\\')) ||
                  (path.size() >= 2 && (path[0] == '/' || path[0] == '\\') && (path[1] == '/' || path[1] == '\\'));
  return std::filesystem::path(absolute ? SystemPath(path) : WideOf(path));
}

std::string PathText(const std::filesystem::path& path) {
  std::wstring wide = path.wstring();
  if (wide.compare(0, 8, L"\\\\?\\UNC\\") == 0) return Utf8Of(L"\\\\" + wide.substr(8));
  if (wide.compare(0, 4, L"\\\\?\\") == 0) return Utf8Of(wide.substr(4));
  return Utf8Of(wide);
}

std::string AbsolutePath(const std::string& path) {
  return path.empty() ? path : PathText(std::filesystem::path(SystemPath(path)));
}

std::string FileSystemSpelling(const std::string& path) {
  if (path.empty()) return path;
  std::wstring full = SystemPath(path);
  HANDLE file = ::CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD size = ::GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    std::wstring final(size, L'\0');
    if (size != 0) size = ::GetFinalPathNameByHandleW(file, &final[0], size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    ::CloseHandle(file);
    if (size != 0 && size < final.size()) {
      final.resize(size);
      full = final;
    }
  }
  return PathText(std::filesystem::path(full));
}

std::string FileIdentity(const std::string& path) {
  const std::wstring spelt = WideOf(FileSystemSpelling(path));
  int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, spelt.c_str(), static_cast<int>(spelt.size()), nullptr,
                          0, nullptr, nullptr, 0);
  if (n <= 0) return Utf8Text(spelt);
  std::wstring upper(static_cast<std::size_t>(n), L'\0');
  ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, spelt.c_str(), static_cast<int>(spelt.size()), &upper[0], n,
                  nullptr, nullptr, 0);
  return Utf8Text(upper);
}

bool ListFolder(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  const std::wstring where = SystemPath(folder);
  DWORD attributes = ::GetFileAttributesW(where.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FailWith(::GetLastError());
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Fail(R_("not a directory"));
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((where + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || FailWith(error);  // an empty folder
  }
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(Utf8Of(name));
  } while (::FindNextFileW(search, &found));
  DWORD error = ::GetLastError();
  ::FindClose(search);
  return error == ERROR_NO_MORE_FILES || FailWith(error);
}

bool FileOrFolderExists(const std::string& path) {
  return !path.empty() && ::GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string EnvironmentText(const char* name) {
  std::wstring wideName = WideOf(name);
  DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  size = ::GetEnvironmentVariableW(wideName.c_str(), &value[0], size);
  value.resize(size);
  return Utf8Of(value);
}

std::string UserDataFolder() { return EnvironmentText("LOCALAPPDATA"); }

const bool kFileNamesIgnoreCase = true;

std::string WithTextLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

Reason SystemErrorText(const std::error_code& error) { return Reason::Known(error.message()); }

bool IsFolder(const std::string& path) {
  if (path.empty()) return false;
  DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

RegularFileReader::~RegularFileReader() {
  if (m_handle) ::CloseHandle(static_cast<HANDLE>(m_handle));
}

bool RegularFileReader::Open(const std::string& path) {
  m_missing = false;
  if (path.empty()) return Fail(R_("no file name"));
  // Full sharing: the game may keep the file open meanwhile. One that holds
  // it for itself for a moment (the game saving, a virus scanner) is waited
  // for, about a second.
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt <= 10; ++attempt) {
    file = ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE || !Transient(::GetLastError()) || ::GetLastError() == ERROR_ACCESS_DENIED) break;
    ::Sleep(100);
  }
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    m_missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return FailWith(error);
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::CloseHandle(file);
    return Fail(R_("not a regular file"));
  }
  m_handle = file;
  m_size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

long long RegularFileReader::Read(char* buffer, std::size_t size) {
  if (!m_handle) return -1;
  DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size), read = 0;
  if (!::ReadFile(static_cast<HANDLE>(m_handle), buffer, chunk, &read, nullptr)) return -1;
  return read;
}

bool StampFile(const std::string& path, FileStamp& stamp) {
  stamp = FileStamp();
  if (path.empty()) return true;
  HANDLE file = ::CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || FailWith(error);
  }
  BY_HANDLE_FILE_INFORMATION info;
  bool ok = ::GetFileInformationByHandle(file, &info) != 0;
  DWORD error = ::GetLastError();
  ::CloseHandle(file);
  if (!ok) return FailWith(error);
  stamp = StampOf(info);
  return true;
}

long long FileClockNow() {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  return (static_cast<long long>(Ticks(now)) - 116444736000000000LL) * 100;
}

bool RegularFileReader::Stamp(FileStamp& stamp) const {
  BY_HANDLE_FILE_INFORMATION info;
  if (!m_handle || !::GetFileInformationByHandle(static_cast<HANDLE>(m_handle), &info)) return FailWith(::GetLastError());
  stamp = StampOf(info);
  return true;
}
