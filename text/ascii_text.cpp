#include "ascii_text.h"

#include <algorithm>
#include <cstdlib>

std::string NoCaseKey(std::string text) {
  for (char& c : text) c = LowerAscii(c);
  return text;
}

bool SameTextNoCase(const char* a, const char* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b)
    if (LowerAscii(*a) != LowerAscii(*b)) return false;
  return *a == *b;
}

std::int32_t LeadingInt(const char* text) {
  if (!text) return 0;
  // strtol saturates at the limits of long; the clamp holds that to 32 bits.
  long value = std::strtol(text, nullptr, 10);
  return static_cast<std::int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::uint32_t HashNoCase(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 16777619u;
  return hash;
}
