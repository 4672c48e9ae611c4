// Shared by the fuzz targets: cutting an input into parts, reading small
// numbers from it, a scratch folder, and a check that stops the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_waits.h"

/// The separator between the parts of an input ("\n#---#\n").
extern const char* const kPartSeparator;

/// `count` parts of the input, cut at the separator; missing parts are
/// empty and the last part takes the rest.
std::vector<std::string> SplitParts(const std::uint8_t* data, std::size_t size, std::size_t count);

/// Reads bytes from the front of a text as small numbers; 0 once it is used up.
class ByteReader {
 public:
  explicit ByteReader(const std::string& bytes) : m_bytes(bytes) {}
  unsigned Next() { return m_at < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_at++]) : 0u; }
  /// A number from 0 to `count - 1`.
  unsigned Below(unsigned count) { return count ? Next() % count : 0u; }
  /// Up to `max` bytes as text.
  std::string Text(std::size_t max);
  bool Done() const { return m_at >= m_bytes.size(); }

 private:
  const std::string& m_bytes;
  std::size_t m_at = 0;
};

/// A folder of this process for the files a target writes.
const std::string& ScratchFolder();

/// A target writes a character file and changes it at once: taken as quiet
/// at once, not after the second a game's save is given.
constexpr FileWaits kScratchWaits{3000, {0, 0}};

/// Writes `bytes` to `path`, replacing it; reads a whole file ("" when it cannot).
void WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);

/// Stops the run with `what` when `ok` is false: a finding.
void Check(bool ok, const char* what);
