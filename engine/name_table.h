// Many short names in little memory: their bytes one after the other in
// one string, found without regard to ASCII case through one order of
// entries sorted by a hash of the name (twelve bytes per name besides its
// own; sorting numbers is quick even for the largest configurations).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class NameTable {
 public:
  /// Adds `name` as the next entry; entries are numbered from 0 in the order added.
  void Add(std::string_view name);
  /// Gives back what the adding held in reserve; once, after the last Add().
  void Shrink();
  /// Shrink(), and sorts the names' hashes for Find().
  void Index();

  std::size_t Size() const { return m_starts.size(); }
  std::string_view Name(std::size_t entry) const;
  /// The numbers of the entries named `name` without regard to ASCII case,
  /// in the order they were added; none when there is none.
  std::vector<std::uint32_t> Find(std::string_view name) const;

 private:
  std::string m_bytes;
  std::vector<std::uint32_t> m_starts;  // where each name begins; it ends where the next begins
  std::vector<std::uint64_t> m_sorted;  // (hash of the name << 32) | entry number, ascending
};
