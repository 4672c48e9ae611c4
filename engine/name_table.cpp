#include "name_table.h"

#include <algorithm>

#include "ascii_text.h"

namespace {

// Byte order of the names with ASCII letters taken as lower case.
bool BeforeNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(LowerAscii(a[i])), y = static_cast<unsigned char>(LowerAscii(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace

void NameTable::Add(std::string_view name) {
  m_starts.push_back(static_cast<std::uint32_t>(m_bytes.size()));
  m_bytes.append(name);
}

void NameTable::Shrink() {
  m_bytes.shrink_to_fit();
  m_starts.shrink_to_fit();
}

void NameTable::Index() {
  Shrink();
  m_sorted.resize(m_starts.size());
  for (std::uint32_t i = 0; i < m_sorted.size(); ++i) m_sorted[i] = i;
  std::stable_sort(m_sorted.begin(), m_sorted.end(),
                   [this](std::uint32_t a, std::uint32_t b) { return BeforeNoCase(Name(a), Name(b)); });
}

std::string_view NameTable::Name(std::size_t entry) const {
  const std::size_t end = entry + 1 < m_starts.size() ? m_starts[entry + 1] : m_bytes.size();
  return std::string_view(m_bytes).substr(m_starts[entry], end - m_starts[entry]);
}

NameTable::Entries NameTable::Find(std::string_view name) const {
  struct ByName {
    const NameTable& table;
    bool operator()(std::uint32_t a, std::string_view b) const { return BeforeNoCase(table.Name(a), b); }
    bool operator()(std::string_view a, std::uint32_t b) const { return BeforeNoCase(a, table.Name(b)); }
  };
  auto range = std::equal_range(m_sorted.begin(), m_sorted.end(), name, ByName{*this});
  return {m_sorted.data() + (range.first - m_sorted.begin()), m_sorted.data() + (range.second - m_sorted.begin())};
}
