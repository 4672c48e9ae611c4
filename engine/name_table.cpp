#include "name_table.h"

#include <algorithm>

#include "ascii_text.h"

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
  for (std::uint32_t i = 0; i < m_sorted.size(); ++i) m_sorted[i] = std::uint64_t{HashNoCase(Name(i))} << 32 | i;
  std::sort(m_sorted.begin(), m_sorted.end());
}

std::string_view NameTable::Name(std::size_t entry) const {
  const std::size_t end = entry + 1 < m_starts.size() ? m_starts[entry + 1] : m_bytes.size();
  return std::string_view(m_bytes).substr(m_starts[entry], end - m_starts[entry]);
}

std::vector<std::uint32_t> NameTable::Find(std::string_view name) const {
  std::vector<std::uint32_t> found;
  const std::uint64_t hash = HashNoCase(name);  // widened: compared with the top half
  for (auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), hash << 32); it != m_sorted.end() && *it >> 32 == hash;
       ++it) {
    const auto entry = static_cast<std::uint32_t>(*it);
    if (EqualNoCase(Name(entry), name)) found.push_back(entry);
  }
  return found;
}
