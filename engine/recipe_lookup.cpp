// Gem lookup: bonus -> group and gem kind, group + amount -> level, gem kind
// + realm -> recipe number (the rules are ConfigIndex's).
#include "recipe_lookup.h"

std::string LookupRecipeHotkey(const TiXmlDocument* bonusConfig, const TiXmlDocument* gemConfig,
                               const char* effectId, const char* effectText, int realmIndex) {
  return ConfigIndex(bonusConfig, gemConfig).Lookup(effectId, effectText, realmIndex);
}
