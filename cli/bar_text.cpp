#include "bar_text.h"

#include "bar_picture.h"
#include "printable.h"
#include "terminal.h"

namespace {

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
