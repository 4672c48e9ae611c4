// Whole-file reading on top of the platform's RegularFileReader, and the
// reasons of failed file calls.
#include "file_bytes.h"

#include <cstring>
#ifndef _WIN32
#include <locale.h>
#endif

#include "ascii_text.h"
#include "file_error.h"

namespace {

std::string& ErrorSlot() {
  thread_local std::string reason;
  return reason;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == kPathSeparator) return folder + name;  // a root such as "/"
  return folder + kPathSeparator + name;
}

void SetFileError(std::string reason) { ErrorSlot() = std::move(reason); }

const std::string& LastFileError() { return ErrorSlot(); }

// In English whatever the user's locale, like the messages around it.
std::string ErrnoText(int error) {
#ifdef _WIN32
  std::string text = std::strerror(error);
#else
  static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t());
  std::string text = english ? strerror_l(error, english) : std::strerror(error);
#endif
  if (!text.empty()) text[0] = LowerAscii(text[0]);
  return text;
}

ReadStatus ReadFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  RegularFileReader file;
  if (!file.Open(path)) return file.Missing() ? ReadStatus::Missing : ReadStatus::Failed;
  if (file.Size() > maxBytes) {
    SetFileError("larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MiB");
    return ReadStatus::Failed;
  }
  bytes.reserve(static_cast<std::size_t>(file.Size()));
  char buffer[65536];
  for (;;) {
    long long n = file.Read(buffer, sizeof buffer);
    if (n == 0) return ReadStatus::Ok;
    if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
      SetFileError(n < 0 ? "cannot be read" : "grew while it was read");
      bytes.clear();
      return ReadStatus::Failed;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}
