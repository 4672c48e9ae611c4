// Windows steps of a replacement. ReplaceFileW keeps the original's
// attributes and security with the file and leaves the original under a
// name of ours; a file held open for a moment is tried again for about a second.
#include "replace_steps.h"

#include "file_error.h"
#include "file_failure.h"
#include "paths.h"
#include "save_points.h"
#include "win32_system.h"

namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x10000000u ? 0x10000000u : bytes.size() - done);
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// "permission denied" on the folder a temporary file could not be made in
// says it is the folder.
bool FailInFolder(DWORD error, const std::string& folder) {
  Reason text = SystemText(error);
  if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
    text = Reason(R_("%s (the folder %s)"), {std::move(text), Reason::Path(folder)});
  return Fail(std::move(text));
}

bool Missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

Step Failed(DWORD error) {
  FailWith(error);
  return Step::Failed;
}

// `move` tried until it succeeds or fails with more than a moment's hold.
template <typename Move>
DWORD Retried(Move move) {
  for (int attempt = 0;; ++attempt) {
    if (move()) return 0;
    DWORD error = ::GetLastError();
    if (!Transient(error) || attempt == 10) return error;
    ::Sleep(100);
  }
}

bool Exists(const std::string& path) { return ::GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

bool FindReplaceTarget(const std::string& path, Temporary& out) {
  if (path.empty()) return Fail(R_("no file name"));
  out.target = AbsolutePath(path);
  DWORD attributes = ::GetFileAttributesW(SystemPath(out.target).c_str());
  out.targetExisted = attributes != INVALID_FILE_ATTRIBUTES;
  if (!out.targetExisted && !Missing(::GetLastError())) return FailWith(::GetLastError());
  out.folder = FolderOfPath(out.target);
  out.name = NameOf(out.target);
  // Names ignore case here: a path typed in another case names the same
  // file, and the new file takes the name the old one has on disk, not the
  // spelling given.
  WIN32_FIND_DATAW found;
  HANDLE search = out.targetExisted ? ::FindFirstFileW(SystemPath(out.target).c_str(), &found) : INVALID_HANDLE_VALUE;
  if (search != INVALID_HANDLE_VALUE) {
    ::FindClose(search);
    out.name = Utf8Text(found.cFileName);
    out.target = JoinPath(out.folder, out.name);
  }
  return true;
}

bool CheckReplaceable(const Temporary& out) {
  DWORD attributes = ::GetFileAttributesW(SystemPath(out.target).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Missing(::GetLastError()) || FailWith(::GetLastError());
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(R_("not a regular file"));
  if (attributes & FILE_ATTRIBUTE_READONLY) return Fail(R_("marked read-only"));
  return true;
}

bool WriteTemporary(Temporary& out, const std::string& prefix, const ByteParts& bytes, bool flush) {
  const std::string stem = JoinPath(out.folder, prefix);
  HANDLE file = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
    out.path = stem + std::to_string(::GetTickCount() + attempt);
    file = InjectedFault(ReplaceStep::Create)
               ? INVALID_HANDLE_VALUE
               : ::CreateFileW(SystemPath(out.path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
      return FailInFolder(::GetLastError(), out.folder);
  }
  if (file == INVALID_HANDLE_VALUE) return Fail(R_("no temporary file could be made"));
  bool ok = !InjectedFault(ReplaceStep::Write);
  for (std::size_t i = 0; ok && i < bytes.size(); ++i) ok = WriteAll(file, bytes[i]);
  if (ok && flush) ok = !InjectedFault(ReplaceStep::Flush) && ::FlushFileBuffers(file);
  DWORD error = ok ? 0 : ::GetLastError();
  if (!::CloseHandle(file) && ok) {
    ok = false;
    error = ::GetLastError();
  }
  if (!ok) {
    ::DeleteFileW(SystemPath(out.path).c_str());
    return FailWith(error);
  }
  return true;
}

Step ExchangeFiles(const std::string&, const std::string&) { return Step::Unsupported; }

Step LinkFile(const std::string&, const std::string&) { return Step::Unsupported; }

Step MoveToFreeName(const std::string& from, const std::string& to) {
  const std::wstring a = SystemPath(from), b = SystemPath(to);
  DWORD error = Retried([&] { return ::MoveFileExW(a.c_str(), b.c_str(), MOVEFILE_WRITE_THROUGH) != 0; });
  if (error == 0) return Step::Done;
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return Step::Exists;
  return Missing(error) ? Step::Missing : Failed(error);
}

Step MoveToFreeName(const std::string& from, const std::string& to, const FolderAbilities&) {
  return MoveToFreeName(from, to);  // a move without REPLACE_EXISTING takes only a free name
}

// ReplaceFileW keeps the displaced file: no exchange is needed, and a move
// without REPLACE_EXISTING takes only a free name.
FolderAbilities ProbeFolder(const Temporary&, const std::string&) { return {false, true, false, false}; }

Step MoveOver(const std::string& from, const std::string& to) {
  const std::wstring a = SystemPath(from), b = SystemPath(to);
  DWORD error = Retried(
      [&] { return ::MoveFileExW(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0; });
  if (error == 0) return Step::Done;
  return Missing(error) ? Step::Missing : Failed(error);
}

Step ReplaceKeepingDisplaced(const std::string& target, const std::string& temp, const std::string& displaced) {
  const std::wstring t = SystemPath(target), r = SystemPath(temp), d = SystemPath(displaced);
  DWORD error = Retried([&] {
    return ::ReplaceFileW(t.c_str(), r.c_str(), d.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
  });
  if (error == 0) return Step::Done;
  // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 (and, by some systems' account,
  // ERROR_UNABLE_TO_MOVE_REPLACEMENT) leave the original under the displaced
  // name and nothing at the target: it goes back.
  if (!Exists(target) && Exists(displaced)) {
    if (MoveOver(displaced, target) != Step::Done) {
      FailWith(error);
      return Step::Stranded;
    }
    return Failed(error);
  }
  if (Missing(error) && !Exists(target)) return Step::Missing;  // removed since the check
  return Failed(error);
}

bool RemoveFile(const std::string& path) { return ::DeleteFileW(SystemPath(path).c_str()) != 0; }

void FlushFolder(const std::string&) {}  // the moves are written through

std::vector<Leftover> FindLeftovers(const std::string& folder, const std::string& prefix) {
  std::vector<Leftover> found;
  WIN32_FIND_DATAW entry;
  HANDLE search = ::FindFirstFileW((SystemPath(folder) + L"\\" + WideOf(prefix) + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  do {
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    ULONGLONG written = Ticks(entry.ftLastWriteTime);
    long long age = Ticks(now) > written ? static_cast<long long>((Ticks(now) - written) / 10000000ULL) : 0;
    found.push_back({Utf8Of(entry.cFileName), age});
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
  return found;
}

long CurrentProcessId() { return static_cast<long>(::GetCurrentProcessId()); }

bool ProcessGone(long pid) {
  HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!process) return ::GetLastError() != ERROR_ACCESS_DENIED;  // denied: it exists, but is not ours to open
  bool gone = ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT;
  ::CloseHandle(process);
  return gone;
}

void PauseBriefly(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }
