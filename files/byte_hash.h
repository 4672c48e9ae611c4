// A fast 64-bit hash of a run of bytes, taken in pieces: what tells a file's
// bytes from others' without holding them twice (a temporary file's name, a
// backup's note, the check that a file is still what was read). Not for
// adversarial input: a match is taken as equal bytes only where a false
// match costs a needless backup or a lost check against a program that
// rewrites a file with different bytes of exactly the same hash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// A hash built piece by piece: the pieces' split does not matter, only the
/// bytes in order. Stable across runs, builds and platforms of one byte order.
class ByteHash {
 public:
  void Add(std::string_view bytes);
  std::uint64_t Value() const;
  /// Value() as 16 lower-case hex digits.
  std::string Text() const;

 private:
  // Four lanes of eight bytes each, mixed independently so that the steps
  // overlap; the bytes not yet a whole block of 32 wait in `m_pending`.
  std::uint64_t m_lanes[4] = {0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull,
                              0x27D4EB2F165667C5ull};
  char m_pending[32] = {};
  std::size_t m_pendingBytes = 0;
  std::uint64_t m_length = 0;
};

/// The ByteHash of `bytes` in one piece.
std::uint64_t HashOfBytes(std::string_view bytes);
std::string HashTextOfBytes(std::string_view bytes);
