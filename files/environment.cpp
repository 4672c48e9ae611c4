#include "environment.h"

int QuietTimeSetting() {
  const std::string text = EnvironmentText("BRINDLEMARQUE_QUIET_MS");
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return 1000;
  return std::stoi(text);
}

FileWaits ProgramFileWaits() {
  FileWaits waits;
  waits.quiet.quietMs = QuietTimeSetting();
  return waits;
}
