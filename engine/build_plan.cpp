// The walk of a build, in order: positions by pass number, items in template
// order, within an item its spacer and then its effects.
#include "build_plan.h"

#include <tinyxml.h>
#include <unordered_map>

#include "ascii_text.h"
#include "recipe_lookup.h"
#include "xml_text.h"

namespace {

constexpr int kPasses = 25;
constexpr int kHotkeysPerItem = 4;

// An effect is made when its `done` attribute begins with a small t.
bool IsMade(const TiXmlElement* effect) {
  const char* done = effect->Attribute("done");
  return done && done[0] == 't';
}

// The crafted items of the template by position (without regard to case), in template order.
using ItemsByPosition = std::unordered_map<std::string, std::vector<const TiXmlElement*>>;

ItemsByPosition CraftedItems(const TiXmlElement* player) {
  ItemsByPosition items;
  for (const TiXmlElement* item = player->FirstChildElement("item"); item; item = item->NextSiblingElement("item")) {
    const char* position = TextOf(item->FirstChildElement("position"));
    if (position && item->FirstChildElement("crafted")) items[NoCaseKey(position)].push_back(item);
  }
  return items;
}

// One crafted item's hotkeys at a position labelled `ordText`; false when it gives none.
bool PlanItem(std::vector<PlannedHotkey>& plan, const TiXmlElement* item, const char* ordText, int realm,
              const RecipeIndex& recipes, bool spacers) {
  bool spacerPlanned = false, gave = false;
  int recipesPlanned = 0;
  for (const TiXmlElement* effect = item->FirstChildElement("effect"); effect && recipesPlanned < kHotkeysPerItem;
       effect = effect->NextSiblingElement("effect")) {
    if (IsMade(effect)) continue;
    if (!spacerPlanned && spacers) {
      spacerPlanned = gave = true;
      PlannedHotkey spacer;
      spacer.spacer = true;
      spacer.label = ordText ? ordText : "";
      plan.push_back(std::move(spacer));
    }
    const char* id = effect->Attribute("id");
    std::string hotkey = recipes.Lookup(id, TextOf(effect), realm);
    if (hotkey.empty()) continue;
    PlannedHotkey recipe;
    recipe.value = std::move(hotkey);
    recipe.bonus = id ? id : "";
    recipe.amount = TextOf(effect) ? TextOf(effect) : "";
    recipe.group = recipes.GroupOf(id);
    plan.push_back(std::move(recipe));
    gave = true;
    ++recipesPlanned;
  }
  return gave;
}

}  // namespace

std::vector<PlannedHotkey> PlanBuild(const TiXmlElement* player, const TiXmlDocument* bonusConfig,
                                     const TiXmlDocument* gemConfig, bool spacers) {
  std::vector<PlannedHotkey> plan;
  const TiXmlElement* data = gemConfig ? gemConfig->FirstChildElement("data") : nullptr;
  const TiXmlElement* order = data ? data->FirstChildElement("order") : nullptr;
  if (!player || !order) return plan;
  const int realm = RealmIndexOf(TextOf(player->FirstChildElement("realm")));
  const RecipeIndex recipes(bonusConfig, gemConfig);
  ItemsByPosition items = CraftedItems(player);
  // The positions of each pass, in document order (an ord without n is never used).
  std::vector<std::vector<const TiXmlElement*>> passes(kPasses);
  for (const TiXmlElement* ord = order->FirstChildElement("ord"); ord; ord = ord->NextSiblingElement("ord")) {
    const char* n = ord->Attribute("n");
    std::int32_t pass = n ? LeadingInt(n) : -1;
    if (pass >= 0 && pass < kPasses) passes[static_cast<std::size_t>(pass)].push_back(ord);
  }
  for (const auto& pass : passes) {
    for (const TiXmlElement* ord : pass) {
      const char* id = ord->Attribute("id");
      auto at = id ? items.find(NoCaseKey(id)) : items.end();
      if (at == items.end()) continue;
      // An item that gives nothing here gives nothing later: every visit costs a slot.
      std::size_t kept = 0;
      for (const TiXmlElement* item : at->second)
        if (PlanItem(plan, item, TextOf(ord), realm, recipes, spacers)) at->second[kept++] = item;
      at->second.resize(kept);
    }
  }
  return plan;
}

int RealmIndexOf(const char* realmText) {
  switch (realmText ? realmText[0] : '\0') {
    case 'M': case 'm': return 1;
    case 'H': case 'h': return 2;
    default: return 0;
  }
}
