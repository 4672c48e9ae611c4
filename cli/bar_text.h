// The bars of a run as text: one line per bar, ten cells of fixed width.
#pragma once

#include <string>

struct BarPicture;

/// A header naming where the walk starts, then per bar "Quickbar2 bar 3 "
/// and ten cells of width kBarCellWidth: a mark ('+' a key the run placed
/// on an empty slot, '~' a slot whose key the run removed or replaced,
/// blank otherwise) and the slot's label cut to fit, or an empty slot's dot
/// ("·"; "." on a terminal that is not UTF-8); "(unchanged)" after a bar
/// the run leaves as it was. In the terminal's character set.
std::string BarPictureText(const BarPicture& picture);

/// Columns per cell, its mark included.
constexpr std::size_t kBarCellWidth = 10;
