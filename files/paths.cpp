// Path text shared by every platform.
#include "paths.h"

bool IsAbsolutePath(const std::string& path) {
#ifdef _WIN32
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() >= 2 && path[1] == ':');
#else
  return !path.empty() && path[0] == '/';
#endif
}

namespace {

// Where the last separator of `path` is ('/', and on Windows '\\' too).
std::size_t LastSeparator(const std::string& path) {
#ifdef _WIN32
  return path.find_last_of("\\/");
#else
  return path.rfind('/');
#endif
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const auto cut = LastSeparator(path);
  if (cut == std::string::npos) return std::string();
  return path.substr(0, cut == 0 ? 1 : cut);
}

std::string NameOf(const std::string& path) {
  const auto cut = LastSeparator(path);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == kPathSeparator) return folder + name;  // a root such as "/"
  return folder + kPathSeparator + name;
}
