#include "bar_text.h"

#include "bar_picture.h"
#include "printable.h"
#include "terminal.h"

namespace {

// `printed` cut to `width` columns (whole characters).
std::string CutTo(const std::string& printed, std::size_t width) {
  if (TerminalIsSingleByte()) return printed.substr(0, width);
  std::size_t columns = 0, end = 0;
  for (; end < printed.size(); ++end) {
    if ((static_cast<unsigned char>(printed[end]) & 0xC0) == 0x80) continue;  // inside a character
    if (columns++ == width) break;
  }
  return printed.substr(0, end);
}

std::string Cell(const PictureSlot& slot) {
  const char mark = slot.replaced ? '~' : slot.content == SlotContent::Recipe || slot.content == SlotContent::Spacer
                                              ? '+'
                                              : ' ';
  std::string label = Printable(slot.label);
  if (slot.content == SlotContent::Empty)
    label = ToTerminal(TerminalIsSingleByte() ? "." : "\xC2\xB7");
  else if (slot.content == SlotContent::Kept && label.empty())
    label = KindName(slot.kind) ? KindName(slot.kind) : "kind " + std::to_string(slot.kind);
  return std::string(1, mark) + PadTo(CutTo(label, kBarCellWidth - 2), kBarCellWidth - 1);
}

}  // namespace

std::string BarPictureText(const BarPicture& picture) {
  if (picture.bars.empty()) return std::string();
  const PictureBar& first = picture.reverse ? picture.bars.back() : picture.bars.front();
  std::string text = "slot 1 is bar " + std::to_string(first.bar) + " slot 1" +
                     (picture.reverse ? " (reverse)" : "") + "; + new, ~ replaced or removed\n";
  for (const PictureBar& bar : picture.bars) {
    std::string line = PadTo("Quickbar" + std::string(bar.quickbar > 1 ? std::to_string(bar.quickbar) : "") +
                                 " bar " + std::to_string(bar.bar),
                             16);
    for (const PictureSlot& slot : bar.slots) line += "|" + Cell(slot);
    line += "|";
    if (!bar.touched) line += " (unchanged)";
    text += line + "\n";
  }
  return text;
}
