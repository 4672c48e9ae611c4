// Blocks of 32 bytes, in four lanes of eight, each word mixed in by a
// multiply and a shift; the lanes, the last bytes and the length mixed at
// the end (with the finaliser of MurmurHash3). Written here rather than
// taken from a hashing library: it is a few dozen lines, and the Windows
// build would need such a library cross-built for it.
#include "byte_hash.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

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

}  // namespace

void ByteHash::AddBlock(const char* block) {
  for (int lane = 0; lane < 4; ++lane) m_lanes[lane] = Mix(m_lanes[lane], WordAt(block + 8 * lane));
}

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
    AddBlock(m_pending);
    m_pendingBytes = 0;
  }
  // The lanes in locals while the blocks go by: the bytes may be anything,
  // so a compiler must reload lanes kept in the object after every read.
  std::uint64_t a = m_lanes[0], b = m_lanes[1], c = m_lanes[2], d = m_lanes[3];
  for (; end - p >= 32; p += 32) {
    a = Mix(a, WordAt(p));
    b = Mix(b, WordAt(p + 8));
    c = Mix(c, WordAt(p + 16));
    d = Mix(d, WordAt(p + 24));
  }
  m_lanes[0] = a;
  m_lanes[1] = b;
  m_lanes[2] = c;
  m_lanes[3] = d;
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
