// The walk of a build, in order: positions by pass number, items in template
// order, within an item its spacer and then its effects.
#include "build_plan.h"

#include <tinyxml.h>
#include <unordered_map>

#include "ascii_text.h"
#include "config_index.h"
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

// One crafted item's hotkeys at a position labelled `label`; false when it gives none.
bool PlanItem(std::vector<PlannedHotkey>& plan, const TiXmlElement* item, std::string_view label, int realm,
              const ConfigIndex& recipes, bool spacers) {
  bool spacerPlanned = false, gave = false;
  int recipesPlanned = 0;
  for (const TiXmlElement* effect = item->FirstChildElement("effect"); effect && recipesPlanned < kHotkeysPerItem;
       effect = effect->NextSiblingElement("effect")) {
    if (IsMade(effect)) continue;
    if (!spacerPlanned && spacers) {
      spacerPlanned = gave = true;
      PlannedHotkey spacer;
      spacer.spacer = true;
      spacer.label = std::string(label);
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

std::vector<PlannedHotkey> PlanBuild(const TiXmlElement* player, const ConfigIndex* config, bool spacers) {
  std::vector<PlannedHotkey> plan;
  if (!player || !config) return plan;
  const int realm = RealmIndexOf(TextOf(player->FirstChildElement("realm")));
  ItemsByPosition items = CraftedItems(player);
  // The positions of each pass, in document order.
  const std::vector<ConfigIndex::Position> order = config->Order();
  std::vector<std::vector<const ConfigIndex::Position*>> passes(kPasses);
  for (const ConfigIndex::Position& position : order)
    passes[static_cast<std::size_t>(position.pass)].push_back(&position);
  for (const auto& pass : passes) {
    for (const ConfigIndex::Position* position : pass) {
      auto at = items.find(NoCaseKey(std::string(position->id)));
      if (at == items.end()) continue;
      // An item that gives nothing here gives nothing later: every visit costs a slot.
      std::size_t kept = 0;
      for (const TiXmlElement* item : at->second)
        if (PlanItem(plan, item, position->label, realm, *config, spacers)) at->second[kept++] = item;
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
