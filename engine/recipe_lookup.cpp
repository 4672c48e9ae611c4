// Gem lookup: bonus -> group and gem kind, group + amount -> level, gem kind
// + realm -> recipe number. LookupRecipeHotkey walks the documents on every
// call; RecipeIndex indexes them once for a run. The first match wins,
// except for gems, where the last match wins.
#include "recipe_lookup.h"

#include <cstdio>
#include <tinyxml.h>

#include "xml_load.h"
#include "xml_text.h"

namespace {

const char* const kRealmAttribute[3] = {"r0", "r1", "r2"};

}  // namespace

std::string FormatRecipeHotkey(std::int64_t doubledRecipe, std::int64_t levelIndex) {
  char text[64];
  std::snprintf(text, sizeof text, "45,13%03lld%02lld,,-1", static_cast<long long>(doubledRecipe),
                static_cast<long long>(levelIndex));
  return text;
}

namespace {

// Indexes the named entries of a list under their `attribute`, the first of
// each name kept (entries without the attribute match nothing).
void IndexFirst(std::unordered_map<std::string, const TiXmlElement*>& index, const TiXmlElement* entry,
                const char* attribute) {
  const char* tag = entry ? entry->Value() : nullptr;
  for (; entry; entry = entry->NextSiblingElement(tag))
    if (const char* name = entry->Attribute(attribute)) index.emplace(NoCaseKey(name), entry);
}

const TiXmlElement* Find(const std::unordered_map<std::string, const TiXmlElement*>& index, const char* name) {
  if (!name) return nullptr;
  auto it = index.find(NoCaseKey(name));
  return it == index.end() ? nullptr : it->second;
}

}  // namespace

RecipeIndex::RecipeIndex(const TiXmlDocument* bonusConfig, const TiXmlDocument* gemConfig)
    : m_firstGem(FirstListEntry(gemConfig, "data", "gems", "gem")) {
  IndexFirst(m_bonuses, FirstListEntry(bonusConfig, "Vesko", "bonuses", "bonus"), "id");
  IndexFirst(m_groups, FirstListEntry(bonusConfig, "Vesko", "groups", "group"), "id");
}

const RecipeIndex::GemNumbers& RecipeIndex::GemsOf(int realm) const {
  if (m_gems[realm]) return *m_gems[realm];
  GemNumbers& gems = m_gems[realm].emplace();
  // Every matching gem overwrites the number, so the last one decides.
  for (const TiXmlElement* gem = m_firstGem; gem; gem = gem->NextSiblingElement("gem")) {
    const char* id = gem->Attribute("id");
    const char* number = id ? gem->Attribute(kRealmAttribute[realm]) : nullptr;
    if (number) gems[NoCaseKey(id)] = LeadingInt(number);
  }
  return gems;
}

std::string RecipeIndex::Lookup(const char* effectId, const char* effectText, int realmIndex) const {
  // Bonus: the first whose id matches gives the group name and the gem key;
  // without one, both are empty (and may still match empty names).
  const char* group = "";
  const char* gemKey = "";
  if (const TiXmlElement* bonus = Find(m_bonuses, effectId)) {
    group = TextOf(bonus->FirstChildElement("group"));
    const TiXmlElement* gem = bonus->FirstChildElement("gem");
    if (!gem || !group || !*group) return {};  // a bonus without gem or group has no recipe
    gemKey = gem->Attribute("id");
    if (!gemKey) gemKey = "";
  }

  // Group and level: the first group of that name decides, and in it the
  // first gemlevel whose amount equals the effect text.
  const TiXmlElement* g = Find(m_groups, group);
  if (!g) return {};
  auto levels = m_levels.find(g);
  if (levels == m_levels.end()) {
    levels = m_levels.emplace(g, ByName()).first;
    IndexFirst(levels->second, g->FirstChildElement("gemlevel"), "bonus");
  }
  const char* levelText = TextOf(Find(levels->second, effectText));
  if (!levelText) return {};  // no match, or a gemlevel without a number
  std::int32_t gemLevel = LeadingInt(levelText);
  if (gemLevel < 0) return {};

  if (realmIndex < 0 || realmIndex > 2) realmIndex = 0;
  const GemNumbers& gems = GemsOf(realmIndex);
  auto gem = gems.find(NoCaseKey(gemKey));
  if (gem == gems.end()) return {};
  return FormatRecipeHotkey(2LL * gem->second, static_cast<std::int64_t>(gemLevel) - 1);
}

std::string RecipeIndex::GroupOf(const char* effectId) const {
  const TiXmlElement* bonus = Find(m_bonuses, effectId);
  const char* group = bonus ? TextOf(bonus->FirstChildElement("group")) : nullptr;
  return group ? group : "";
}

std::string LookupRecipeHotkey(const TiXmlDocument* bonusConfig, const TiXmlDocument* gemConfig,
                               const char* effectId, const char* effectText, int realmIndex) {
  return RecipeIndex(bonusConfig, gemConfig).Lookup(effectId, effectText, realmIndex);
}
