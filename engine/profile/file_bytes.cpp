// Whole-file reading on top of the platform's RegularFileReader.
#include "file_bytes.h"

ReadStatus ReadFileBytes(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  RegularFileReader file;
  if (!file.Open(path)) return file.Missing() ? ReadStatus::Missing : ReadStatus::Failed;
  if (file.Size() > maxBytes) return ReadStatus::Failed;
  bytes.reserve(static_cast<std::size_t>(file.Size()));
  char buffer[65536];
  for (;;) {
    long long n = file.Read(buffer, sizeof buffer);
    if (n == 0) return ReadStatus::Ok;
    if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > maxBytes) {
      bytes.clear();
      return ReadStatus::Failed;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}
