// The lookup's rules, as the documents give them: the first bonus and the
// first group of an id decide, in that group the first gemlevel of the
// amount, and of the gems the last of the key that has the realm's number.
#include "config_index.h"

#include <cstdio>
#include <optional>
#include <tinyxml.h>

#include "xml_text.h"

namespace {

const char* const kRealmAttribute[3] = {"r0", "r1", "r2"};
constexpr std::uint8_t kHasId = 8;
constexpr int kPasses = 25;

// The entries of the list that begins at `entry`, those of its tag only.
template <typename Visit>
void EachEntry(const TiXmlElement* entry, Visit visit) {
  const char* tag = entry ? entry->Value() : nullptr;
  for (; entry; entry = entry->NextSiblingElement(tag)) visit(entry);
}

// The first entry named `name`; none for no name or no such entry.
std::optional<std::uint32_t> First(const NameTable& table, const char* name) {
  if (!name) return std::nullopt;
  const std::vector<std::uint32_t> found = table.Find(name);
  if (found.empty()) return std::nullopt;
  return found.front();
}

}  // namespace

std::string FormatRecipeHotkey(std::int64_t doubledRecipe, std::int64_t levelIndex) {
  char text[64];
  std::snprintf(text, sizeof text, "45,13%03lld%02lld,,-1", static_cast<long long>(doubledRecipe),
                static_cast<long long>(levelIndex));
  return text;
}

ConfigIndex::ConfigIndex(const TiXmlDocument* bonusConfig, const TiXmlDocument* gemConfig) {
  TakeBonusConfig(bonusConfig);
  TakeGemConfig(gemConfig);
}

void ConfigIndex::TakeBonusConfig(const TiXmlDocument* bonusConfig) {
  EachEntry(FirstListEntry(bonusConfig, "Vesko", "bonuses", "bonus"), [this](const TiXmlElement* bonus) {
    const char* id = bonus->Attribute("id");
    if (!id) return;  // matches nothing
    const char* group = TextOf(bonus->FirstChildElement("group"));
    const TiXmlElement* gem = bonus->FirstChildElement("gem");
    const char* key = gem ? gem->Attribute("id") : nullptr;
    m_bonusIds.Add(id);
    m_bonusGroups.Add(group ? group : "");
    m_bonusGems.Add(key ? key : "");
    m_bonusRecipe.push_back(gem && group && *group);
  });
  EachEntry(FirstListEntry(bonusConfig, "Vesko", "groups", "group"), [this](const TiXmlElement* group) {
    const char* id = group->Attribute("id");
    if (!id) return;
    m_groupIds.Add(id);
    Group& levels = m_groups.emplace_back();
    EachEntry(group->FirstChildElement("gemlevel"), [&levels](const TiXmlElement* level) {
      const char* amount = level->Attribute("bonus");
      if (!amount) return;
      const char* number = TextOf(level);
      levels.amounts.Add(amount);
      levels.levels.push_back(number ? LeadingInt(number) : -1);
    });
    levels.amounts.Index();
    levels.levels.shrink_to_fit();
  });
  m_bonusIds.Index();
  m_groupIds.Index();
  m_bonusGroups.Shrink();
  m_bonusGems.Shrink();
  m_bonusRecipe.shrink_to_fit();
  m_groups.shrink_to_fit();
}

void ConfigIndex::TakeGemConfig(const TiXmlDocument* gemConfig) {
  EachEntry(FirstListEntry(gemConfig, "data", "gems", "gem"), [this](const TiXmlElement* gem) {
    const char* id = gem->Attribute("id");
    std::uint8_t has = id ? kHasId : 0;
    for (int realm = 0; realm < 3; ++realm) {
      const char* number = gem->Attribute(kRealmAttribute[realm]);
      if (number) has |= static_cast<std::uint8_t>(1 << realm);
      m_gemNumbers.push_back(number ? LeadingInt(number) : 0);
    }
    m_gemIds.Add(id ? id : "");
    m_gemHas.push_back(has);
  });
  m_gemIds.Index();
  m_gemNumbers.shrink_to_fit();
  m_gemHas.shrink_to_fit();
  const TiXmlElement* data = gemConfig ? gemConfig->FirstChildElement("data") : nullptr;
  const TiXmlElement* order = data ? data->FirstChildElement("order") : nullptr;
  EachEntry(order ? order->FirstChildElement("ord") : nullptr, [this](const TiXmlElement* ord) {
    const char* n = ord->Attribute("n");
    const char* id = ord->Attribute("id");
    const std::int32_t pass = n ? LeadingInt(n) : -1;
    if (!id || pass < 0 || pass >= kPasses) return;  // never visited
    const char* label = TextOf(ord);
    m_positionIds.Add(id);
    m_positionLabels.Add(label ? label : "");
    m_positionPasses.push_back(static_cast<std::int8_t>(pass));
  });
  m_positionIds.Shrink();
  m_positionLabels.Shrink();
  m_positionPasses.shrink_to_fit();
}

std::string ConfigIndex::Lookup(const char* effectId, const char* effectText, int realmIndex) const {
  // Bonus: the first whose id matches gives the group name and the gem key;
  // without one, both are empty (and may still match empty names).
  std::string_view group, gemKey;
  if (const auto bonus = First(m_bonusIds, effectId)) {
    if (!m_bonusRecipe[*bonus]) return {};  // a bonus without gem or group has no recipe
    group = m_bonusGroups.Name(*bonus);
    gemKey = m_bonusGems.Name(*bonus);
  }
  // Group and level: the first group of that name decides, and in it the
  // first gemlevel whose amount equals the effect text.
  const std::vector<std::uint32_t> groups = m_groupIds.Find(group);
  if (groups.empty()) return {};
  const Group& g = m_groups[groups.front()];
  const auto level = First(g.amounts, effectText);
  if (!level || g.levels[*level] < 0) return {};  // no match, or a gemlevel without a number

  if (realmIndex < 0 || realmIndex > 2) realmIndex = 0;
  const std::vector<std::uint32_t> gems = m_gemIds.Find(gemKey);
  for (auto gem = gems.rbegin(); gem != gems.rend(); ++gem) {
    const std::uint8_t has = m_gemHas[*gem];
    if ((has & kHasId) && (has & (1 << realmIndex)))
      return FormatRecipeHotkey(2LL * m_gemNumbers[*gem * 3 + static_cast<std::uint32_t>(realmIndex)],
                                static_cast<std::int64_t>(g.levels[*level]) - 1);
  }
  return {};
}

std::string ConfigIndex::GroupOf(const char* effectId) const {
  const auto bonus = First(m_bonusIds, effectId);
  return bonus ? std::string(m_bonusGroups.Name(*bonus)) : std::string();
}

std::vector<ConfigIndex::RealmGem> ConfigIndex::GemsOf(int realm) const {
  std::vector<RealmGem> gems;
  for (std::uint32_t gem = 0; gem < m_gemHas.size(); ++gem)
    if (m_gemHas[gem] & (1 << realm)) gems.push_back({m_gemIds.Name(gem), m_gemNumbers[gem * 3 + static_cast<std::uint32_t>(realm)]});
  return gems;
}

std::vector<ConfigIndex::Position> ConfigIndex::Order() const {
  std::vector<Position> order;
  order.reserve(m_positionPasses.size());
  for (std::size_t i = 0; i < m_positionPasses.size(); ++i)
    order.push_back({m_positionPasses[i], m_positionIds.Name(i), m_positionLabels.Name(i)});
  return order;
}
