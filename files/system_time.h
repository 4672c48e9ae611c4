// Calendar time through the C library, the same way on every system.
#pragma once

#include <cstdint>
#include <ctime>

/// The last second (since 1970, UTC) the system's calendar calls handle:
/// the end of 9999, or of 3000 on Windows.
extern const std::int64_t kLastCalendarSecond;

/// The UTC calendar fields of `seconds` since 1970. False outside 1970 to kLastCalendarSecond.
bool UtcFields(std::int64_t seconds, std::tm& fields);

/// Seconds since 1970 of the UTC calendar fields `fields` (out-of-range
/// fields carried over, a 31st of February being a day of March). False
/// when the moment lies outside 1970 to kLastCalendarSecond.
bool UtcSeconds(const std::tm& fields, std::int64_t& seconds);

/// The local calendar fields of `seconds` since 1970. False when the system cannot tell them.
bool LocalFields(std::int64_t seconds, std::tm& fields);
