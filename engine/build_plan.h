// What a build writes, worked out from the template and the configuration
// alone, before any file is touched: the walk's hotkeys in order.
#pragma once

#include <string>
#include <vector>

class ConfigIndex;
class TiXmlElement;

/// One hotkey of the walk: an item's spacer, or the recipe of one of its effects.
struct PlannedHotkey {
  bool spacer = false;
  std::string label;                ///< a spacer's: the text of its position in the order
  std::string value;                ///< a recipe's hotkey ("45,13NNNLL,,-1")
  std::string bonus, amount, group;  ///< a recipe's effect: its id, its text, its bonus's group
};

/// The walk, in order: the realm's recipes, then 25 passes (n = 0..24) over
/// the position order of config_gem.xml; at each position the crafted items
/// of that position in template order; per item a spacer (with `spacers`) at
/// its first effect not yet made, then the recipes of up to four such
/// effects that have one. An item that gives nothing at a position gives
/// nothing at any later one either and is not visited again. Empty without
/// a `player` or an order.
std::vector<PlannedHotkey> PlanBuild(const TiXmlElement* player, const ConfigIndex* config, bool spacers);

/// The realm index of a realm text: 'A'/'a' 0, 'M'/'m' 1, 'H'/'h' 2, else 0.
int RealmIndexOf(const char* realmText);
