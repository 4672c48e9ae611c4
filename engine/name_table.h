// Many short names in little memory: their bytes one after the other in
// one string, found without regard to ASCII case through one sorted order
// of entry numbers (eight bytes per name besides its own).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class NameTable {
 public:
  using Entries = std::pair<const std::uint32_t*, const std::uint32_t*>;

  /// Adds `name` as the next entry; entries are numbered from 0 in the order added.
  void Add(std::string_view name);
  /// Gives back what the adding held in reserve; once, after the last Add().
  void Shrink();
  /// Shrink(), and sorts the names for Find().
  void Index();

  std::size_t Size() const { return m_starts.size(); }
  std::string_view Name(std::size_t entry) const;
  /// The numbers of the entries named `name` without regard to ASCII case,
  /// in the order they were added; an empty range when there is none.
  Entries Find(std::string_view name) const;

 private:
  std::string m_bytes;
  std::vector<std::uint32_t> m_starts;  // where each name begins; it ends where the next begins
  std::vector<std::uint32_t> m_sorted;  // entry numbers by name, then by number
};
