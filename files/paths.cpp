// Path text shared by every platform.
#include "paths.h"

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == kPathSeparator) return folder + name;  // a root such as "/"
  return folder + kPathSeparator + name;
}
