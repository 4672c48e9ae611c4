// Blocks of 32 bytes, in four lanes of eight, each word mixed in by a
// multiply and a shift; the lanes, the last bytes and the length mixed at
// the end (with the finaliser of MurmurHash3). Written here rather than
// taken from a hashing library: it is a few dozen lines, and the Windows
// build would need such a library cross-built for it.
#include "byte_hash.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr std::uint64_t kPrime = 0x9FB21C651E98DF25ull;

std::uint64_t Mix(std::uint64_t state, std::uint64_t word) {
  state = (state ^ word) * kPrime;
  return state ^ (state >> 32);
}

// Eight bytes as one word, the first byte lowest, on every platform.
std::uint64_t WordAt(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  word = __builtin_bswap64(word);
#endif
  return word;
}

// One block of 32 bytes mixed into the four lanes.
void MixBlock(std::uint64_t (&lanes)[4], const char* block) {
  lanes[0] = Mix(lanes[0], WordAt(block));
  lanes[1] = Mix(lanes[1], WordAt(block + 8));
  lanes[2] = Mix(lanes[2], WordAt(block + 16));
  lanes[3] = Mix(lanes[3], WordAt(block + 24));
}

}  // namespace

void ByteHash::Add(std::string_view bytes) {
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  m_length += bytes.size();
  if (m_pendingBytes != 0) {
    std::size_t take = std::min<std::size_t>(sizeof m_pending - m_pendingBytes, bytes.size());
    std::memcpy(m_pending + m_pendingBytes, p, take);
    m_pendingBytes += take;
    p += take;
    if (m_pendingBytes < sizeof m_pending) return;
    MixBlock(m_lanes, m_pending);
    m_pendingBytes = 0;
  }
  // The lanes in a local copy while the blocks go by: the bytes may be
  // anything, so a compiler must reload lanes kept in the object after
  // every read.
  std::uint64_t lanes[4];
  std::copy(std::begin(m_lanes), std::end(m_lanes), lanes);
  for (; end - p >= 32; p += 32) MixBlock(lanes, p);
  std::copy(std::begin(lanes), std::end(lanes), m_lanes);
  std::memcpy(m_pending, p, static_cast<std::size_t>(end - p));
  m_pendingBytes = static_cast<std::size_t>(end - p);
}

std::uint64_t ByteHash::Value() const {
  std::uint64_t h = m_length;
  for (std::uint64_t lane : m_lanes) h = Mix(h, lane);
  char last[32] = {};
  std::memcpy(last, m_pending, m_pendingBytes);
  for (std::size_t i = 0; i < m_pendingBytes; i += 8) h = Mix(h, WordAt(last + i));
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 33);
}

std::string ByteHash::Text() const {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(Value()));
  return text;
}

std::uint64_t HashOfBytes(std::string_view bytes) {
  ByteHash hash;
  hash.Add(bytes);
  return hash.Value();
}

std::string HashTextOfBytes(std::string_view bytes) {
  ByteHash hash;
  hash.Add(bytes);
  return hash.Text();
}
