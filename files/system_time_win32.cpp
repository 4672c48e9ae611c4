#include "system_time.h"

const std::int64_t kLastCalendarSecond = 32535215999LL;  // 3000-12-31 23:59:59, as far as the CRT goes

bool UtcFields(std::int64_t seconds, std::tm& fields) {
  __time64_t t = seconds;
  return seconds >= 0 && seconds <= kLastCalendarSecond && _gmtime64_s(&fields, &t) == 0;
}

bool UtcSeconds(const std::tm& fields, std::int64_t& seconds) {
  std::tm copy = fields;
  seconds = _mkgmtime64(&copy);
  return seconds >= 0 && seconds <= kLastCalendarSecond;
}

bool LocalFields(std::int64_t seconds, std::tm& fields) {
  __time64_t t = seconds;
  return _localtime64_s(&fields, &t) == 0;
}
