#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "paths.h"

const char* const kPartSeparator = "\n#---#\n";

std::vector<std::string> SplitParts(const std::uint8_t* data, std::size_t size, std::size_t count) {
  std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (parts.size() + 1 < count) {
    std::size_t cut = input.find(kPartSeparator, at);
    if (cut == std::string::npos) break;
    parts.push_back(input.substr(at, cut - at));
    at = cut + std::char_traits<char>::length(kPartSeparator);
  }
  parts.push_back(at <= input.size() ? input.substr(at) : std::string());
  parts.resize(count);
  return parts;
}

std::string ByteReader::Text(std::size_t max) {
  std::size_t length = Below(static_cast<unsigned>(max) + 1);
  std::string text;
  for (std::size_t i = 0; i < length && !Done(); ++i) text += static_cast<char>(Next());
  return text;
}

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      auto path = std::filesystem::temp_directory_path() / ("brindlemarque-fuzz-" + std::to_string(random()));
      std::error_code ec;
      if (!std::filesystem::create_directory(path, ec)) continue;
      // Builds keep backups in the user's data folder: here, in this folder.
#ifdef _WIN32
      ::_wputenv_s(L"LOCALAPPDATA", (path / "data").wstring().c_str());
#else
      ::setenv("XDG_DATA_HOME", PathText(path / "data").c_str(), 1);
#endif
      return PathText(path);
    }
    std::abort();
  }();
  static const bool removedAtExit = [] {
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(FsPath(folder), ec);
    });
    return true;
  }();
  (void)removedAtExit;
  return folder;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(FsPath(path), std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "finding: %s\n", what);
  std::abort();
}
