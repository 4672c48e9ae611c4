// Gem lookup: bonus -> group and gem kind, group + amount -> level, gem kind
// + realm -> recipe number (the rules are ConfigIndex's).
#include "recipe_lookup.h"

#include <cstdio>

#include "config_index.h"

std::string FormatRecipeHotkey(std::int64_t doubledRecipe, std::int64_t levelIndex) {
  char text[64];
  std::snprintf(text, sizeof text, "45,13%03lld%02lld,,-1", static_cast<long long>(doubledRecipe),
                static_cast<long long>(levelIndex));
  return text;
}

std::string LookupRecipeHotkey(const TiXmlDocument* bonusConfig, const TiXmlDocument* gemConfig,
                               const char* effectId, const char* effectText, int realmIndex) {
  return ConfigIndex(bonusConfig, gemConfig).Lookup(effectId, effectText, realmIndex);
}
