#include "build_context.h"

#include "paths.h"

std::string BuildContext::InWorkFolder(const std::string& path) const {
  if (workFolder.empty() || path.empty() || IsAbsolutePath(path)) return path;
  return JoinPath(workFolder, path);
}
