#include "environment.h"

int EnvironmentMilliseconds(const char* name, int fallback) {
  const std::string text = EnvironmentText(name);
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return fallback;
  return std::stoi(text);
}
