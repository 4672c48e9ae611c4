#include "system_time.h"

const std::int64_t kLastCalendarSecond = 253402300799LL;  // 9999-12-31 23:59:59

bool UtcFields(std::int64_t seconds, std::tm& fields) {
  std::time_t t = static_cast<std::time_t>(seconds);
  return seconds >= 0 && seconds <= kLastCalendarSecond && ::gmtime_r(&t, &fields) != nullptr;
}

bool UtcSeconds(const std::tm& fields, std::int64_t& seconds) {
  std::tm copy = fields;
  seconds = static_cast<std::int64_t>(::timegm(&copy));
  return seconds >= 0 && seconds <= kLastCalendarSecond;
}

bool LocalFields(std::int64_t seconds, std::tm& fields) {
  std::time_t t = static_cast<std::time_t>(seconds);
  return ::localtime_r(&t, &fields) != nullptr;
}
