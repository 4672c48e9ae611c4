// A file's bytes as pieces, as an editor holds them and a writer takes them.
#pragma once

#include <string_view>
#include <vector>

/// A file's new bytes in pieces, written one after the other: a large file
/// is never joined in memory to be written.
using ByteParts = std::vector<std::string_view>;
