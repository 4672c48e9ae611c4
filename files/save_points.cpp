// The test hooks of a save: its points, and faults of its steps.
#include "save_points.h"

#include <cerrno>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::function<void(SavePoint, const std::string&)>& SavePointHook() {
  static std::function<void(SavePoint, const std::string&)> hook;
  return hook;
}

ReplaceStep g_failAt = ReplaceStep::None;

}  // namespace

void SetSavePointHook(std::function<void(SavePoint, const std::string&)> hook) { SavePointHook() = std::move(hook); }

void ReachSavePoint(SavePoint point, const std::string& path) {
  if (auto hook = SavePointHook()) hook(point, path);  // a copy: the hook may replace itself
}

void FailNextReplaceAt(ReplaceStep step) { g_failAt = step; }

bool InjectedFault(ReplaceStep step) {
  if (g_failAt != step) return false;
  g_failAt = ReplaceStep::None;
#ifdef _WIN32
  ::SetLastError(step == ReplaceStep::Create ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT);
#else
  errno = step == ReplaceStep::Create ? EACCES : EIO;
#endif
  return true;
}
