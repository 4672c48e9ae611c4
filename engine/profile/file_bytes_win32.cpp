// Windows side of the file helpers: reading regular files, atomic
// replacement, the lock. Paths arrive as UTF-8 and reach the system as
// UTF-16 in the long "\\?\" form.
#include "file_bytes.h"

#include <cstdlib>
#include <cwctype>
#include <functional>
#include <windows.h>

#include "file_error.h"

namespace {

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

// The folder and the name of a full path.
std::wstring FolderOf(const std::wstring& full) { return full.substr(0, full.find_last_of(L'\\')); }
std::wstring NameOf(const std::wstring& full) { return full.substr(full.find_last_of(L'\\') + 1); }

bool Fail(const std::string& reason) {
  SetFileError(reason);
  return false;
}

std::string SystemText(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "no such file or directory";
    case ERROR_ACCESS_DENIED:
      return "permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "in use by another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "no space left on device";
    case ERROR_WRITE_FAULT:
      return "input/output error";
    default:
      return "Windows error " + std::to_string(error);
  }
}

bool FailWith(DWORD error) { return Fail(SystemText(error)); }

ReplaceStep g_failAt = ReplaceStep::None;

bool InjectedFault(ReplaceStep step) {
  if (g_failAt != step) return false;
  g_failAt = ReplaceStep::None;
  ::SetLastError(step == ReplaceStep::Create ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT);
  return true;
}

std::wstring TemporaryPrefix(const std::wstring& name) { return L"." + name + L".brindlemarque-"; }

constexpr ULONGLONG kStaleSeconds = 300;

bool ProcessAlive(DWORD pid) {
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;  // exists, but not ours to open
  bool alive = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  ::CloseHandle(process);
  return alive;
}

ULONGLONG Ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Removes our temporary files in `folder` that a killed process left, those
// of replacing `name` or, with an empty name, of any file: written by a
// process that is gone, or older than kStaleSeconds.
void RemoveStaleTemporaries(const std::wstring& folder, const std::wstring& name) {
  const std::wstring mark = L".brindlemarque-";
  const std::wstring prefix = name.empty() ? L"." : TemporaryPrefix(name);
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"\\" + prefix + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::wstring file = found.cFileName;
    std::size_t at = file.rfind(mark);
    if (at == std::wstring::npos || at == 0) continue;
    unsigned long pid = std::wcstoul(file.c_str() + at + mark.size(), nullptr, 10);
    ULONGLONG written = Ticks(found.ftLastWriteTime);
    bool old = Ticks(now) > written && (Ticks(now) - written) / 10000000ULL > kStaleSeconds;
    if (old || (pid > 0 && !ProcessAlive(pid))) ::DeleteFileW((folder + L"\\" + file).c_str());
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x10000000u ? 0x10000000u : bytes.size() - done);
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// The running game or a virus scanner may hold the file for a moment.
bool Transient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED;
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

void RemoveStaleTemporaryFiles(const std::string& folder) {
  RemoveStaleTemporaries(SystemPath(folder), std::wstring());
}

void RemoveStaleTemporariesOf(const std::string& path) {
  if (path.empty()) return;
  const std::wstring full = SystemPath(path);
  RemoveStaleTemporaries(FolderOf(full), NameOf(full));
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
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Fail(N_("not a directory"));
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

std::string SystemErrorText(const std::error_code& error) { return error.message(); }

RegularFileReader::~RegularFileReader() {
  if (m_handle) ::CloseHandle(static_cast<HANDLE>(m_handle));
}

bool RegularFileReader::Open(const std::string& path) {
  m_missing = false;
  if (path.empty()) return Fail(N_("no file name"));
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
    return Fail(N_("not a regular file"));
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

namespace {

// A replacement written and flushed beside its target, not yet swapped in.
struct Prepared {
  std::wstring target, folder, temp;
  bool exists = false;
};

// "permission denied" on the folder a temporary file could not be made in
// says it is the folder.
bool FailInFolder(DWORD error, const std::wstring& folder) {
  std::string text = SystemText(error);
  if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
    text += " (the folder " + PathText(std::filesystem::path(folder)) + ")";
  return Fail(text);
}

// Everything slow of a replacement: checks, the temporary file written,
// flushed and closed.
bool PrepareReplacement(const std::string& path, const std::string& bytes, Prepared& out) {
  if (path.empty()) return Fail(N_("no file name"));
  out.target = SystemPath(path);
  DWORD attributes = ::GetFileAttributesW(out.target.c_str());
  out.exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!out.exists && ::GetLastError() != ERROR_FILE_NOT_FOUND) return FailWith(::GetLastError());
  if (out.exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return Fail(N_("not a regular file"));
  if (out.exists && (attributes & FILE_ATTRIBUTE_READONLY)) return Fail(N_("marked read-only"));

  out.folder = FolderOf(out.target);
  const std::wstring name = NameOf(out.target);
  RemoveStaleTemporaries(out.folder, name);
  const std::wstring stem =
      out.folder + L"\\" + TemporaryPrefix(name) + std::to_wstring(::GetCurrentProcessId()) + L"-";
  HANDLE file = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
    out.temp = stem + std::to_wstring(::GetTickCount() + attempt);
    file = InjectedFault(ReplaceStep::Create)
               ? INVALID_HANDLE_VALUE
               : ::CreateFileW(out.temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
      return FailInFolder(::GetLastError(), out.folder);
  }
  if (file == INVALID_HANDLE_VALUE) return Fail(N_("no temporary file could be made"));
  bool ok = !InjectedFault(ReplaceStep::Write) && WriteAll(file, bytes);
  if (ok) ok = !InjectedFault(ReplaceStep::Flush) && ::FlushFileBuffers(file);
  DWORD error = ok ? 0 : ::GetLastError();
  if (!::CloseHandle(file) && ok) {
    ok = false;
    error = ::GetLastError();
  }
  if (!ok) {
    ::DeleteFileW(out.temp.c_str());
    return FailWith(error);
  }
  return true;
}

// Swaps the prepared file in: ReplaceFile keeps the original's attributes and
// security (and, with `displaced`, keeps the replaced file under that name);
// a new file is moved in only while the name is free. A file held open for a
// moment is tried again for about a second. The error, or 0.
DWORD SwapIn(const Prepared& prepared, const wchar_t* displaced) {
  for (int attempt = 0;; ++attempt) {
    bool moved = prepared.exists
                     ? ::ReplaceFileW(prepared.target.c_str(), prepared.temp.c_str(), displaced,
                                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                     : ::MoveFileExW(prepared.temp.c_str(), prepared.target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (moved) return 0;
    DWORD error = ::GetLastError();
    if (!Transient(error) || attempt == 10) return error;
    ::Sleep(100);
  }
}

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

bool ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  Prepared prepared;
  if (!PrepareReplacement(path, bytes, prepared)) return false;
  DWORD error = InjectedFault(ReplaceStep::Rename) ? ::GetLastError() : SwapIn(prepared, nullptr);
  if (error == 0) return true;
  ::DeleteFileW(prepared.temp.c_str());
  return FailWith(error);
}

ReplaceOutcome ReplaceReadFile(const std::string& path, const std::string& bytes, const FileStamp& stamp,
                               const std::string& readBytes) {
  Prepared prepared;
  if (!PrepareReplacement(path, bytes, prepared)) return ReplaceOutcome::Failed;
  ReachSavePoint(SavePoint::BeforeCheck, path);
  if (!IsAsRead(PathText(std::filesystem::path(prepared.target)), &stamp, readBytes)) {
    ::DeleteFileW(prepared.temp.c_str());
    return ChangedOutcome();
  }
  ReachSavePoint(SavePoint::BeforeSwap, path);
  prepared.exists = stamp.exists;
  const std::wstring displaced = prepared.temp + L"-old";
  DWORD error = InjectedFault(ReplaceStep::Rename) ? ::GetLastError() : SwapIn(prepared, displaced.c_str());
  if (error != 0) {
    ::DeleteFileW(prepared.temp.c_str());
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return ChangedOutcome();  // made since the check
    FailWith(error);
    return ReplaceOutcome::Failed;
  }
  if (!stamp.exists) return ReplaceOutcome::Done;
  if (!IsAsRead(PathText(std::filesystem::path(displaced)), nullptr, readBytes)) {
    // Written meanwhile: that file, as it is, is the character file again.
    if (!::MoveFileExW(displaced.c_str(), prepared.target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      SetFileError("changed by another program while Brindlemarque worked on it; its version is kept in " + PathText(std::filesystem::path(displaced)));
      return ReplaceOutcome::Changed;
    }
    return ChangedOutcome();
  }
  ::DeleteFileW(displaced.c_str());
  return ReplaceOutcome::Done;
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

void FailNextReplaceAt(ReplaceStep step) { g_failAt = step; }

bool FileLock::Acquire(const std::string& path, int waitMs) {
  Release();
  if (path.empty()) return Fail(N_("no file name"));
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
    return Fail(N_("in use by another run of Brindlemarque; try again in a moment"));
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
