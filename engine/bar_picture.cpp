#include "bar_picture.h"

#include "xml_text.h"

namespace {

// A key's own name: the third field of its value ("4,1,Slam,-1"), if any.
std::string OwnName(const std::string& value) {
  std::size_t first = value.find(','), second = first == std::string::npos ? first : value.find(',', first + 1);
  if (second == std::string::npos) return std::string();
  std::size_t end = value.find(',', second + 1);
  return value.substr(second + 1, end == std::string::npos ? end : end - second - 1);
}

std::string Value(const SlotValues& values, SlotCode code) {
  auto found = values.find(code);
  return found == values.end() ? std::string() : found->second;
}

}  // namespace

const char* KindName(int kind) {
  if (kind == 52) return R_("macro").english;
  if (kind == 45) return R_("recipe").english;
  return nullptr;
}

SlotValues ReadSlotRange(const IniDocument& file, const JobSettings& job) {
  SlotValues values;
  for (int bar = job.firstBar; bar <= job.lastBar; ++bar)
    for (int slot = 0; slot < 10; ++slot) {
      SlotCode code = job.quickbar * 1000 + bar * 10 + slot;
      SlotKey key = GetSlotKey(code);
      std::string value = file.Read(key.section, key.key);
      if (!value.empty()) values[code] = value;
    }
  return values;
}

BarPicture DescribeBars(const JobSettings& job, const SlotValues& before, const SlotValues& after,
                        const std::vector<PlacedHotkey>& placed) {
  std::map<SlotCode, const PlacedHotkey*> byCode;
  for (const PlacedHotkey& p : placed) byCode[p.code] = &p;
  BarPicture picture;
  picture.reverse = job.Has(OPT_REVERSE);
  for (int bar = job.firstBar; bar <= job.lastBar; ++bar) {
    PictureBar row;
    row.quickbar = job.quickbar;
    row.bar = bar;
    const int walked = picture.reverse ? job.lastBar - bar : bar - job.firstBar;  // bars before this one
    for (int s = 0; s < 10; ++s) {
      const SlotCode code = job.quickbar * 1000 + bar * 10 + s;
      PictureSlot& slot = row.slots[static_cast<std::size_t>(s)];
      slot.order = walked * 10 + s + 1;
      const std::string was = Value(before, code), now = Value(after, code);
      auto p = byCode.find(code);
      if (p != byCode.end() && p->second->value == now) {
        const PlacedHotkey& hotkey = *p->second;
        slot.content = hotkey.spacer ? SlotContent::Spacer : SlotContent::Recipe;
        slot.label = hotkey.spacer || hotkey.bonus.empty() ? hotkey.label : hotkey.bonus + " " + hotkey.amount;
        slot.group = hotkey.group;
      } else if (!now.empty()) {
        slot.content = SlotContent::Kept;
        slot.kind = LeadingInt(now.c_str());
        slot.label = slot.kind == 52 ? std::string() : OwnName(now);  // "Macro 3" would change with its number
      }
      // A kept macro renumbered by the compaction is still the player's key.
      slot.replaced = !was.empty() && was != now && slot.content != SlotContent::Kept;
      if (slot.replaced) slot.before = was;
      row.touched = row.touched || was != now;
    }
    picture.bars.push_back(row);
  }
  return picture;
}

std::optional<BarPicture> OverwrittenBars(const IniDocument& file, const JobSettings& job,
                                          const std::vector<PlacedHotkey>& placed) {
  const SlotValues now = ReadSlotRange(file, job);
  SlotValues written;
  bool gone = false;
  for (const PlacedHotkey& p : placed) {
    written[p.code] = p.value;
    gone = gone || Value(now, p.code) != p.value;
  }
  if (!gone) return std::nullopt;
  BarPicture picture = DescribeBars(job, written, now, {});
  // What the writer put in a slot of the build's is never the player's own key kept.
  for (const PlacedHotkey& p : placed) {
    PictureSlot& slot = picture.bars.at(static_cast<std::size_t>(p.code % 1000 / 10 - job.firstBar))
                            .slots[static_cast<std::size_t>(p.code % 10)];
    slot.replaced = Value(now, p.code) != p.value;
    if (slot.replaced) slot.before = p.value;
  }
  return picture;
}

