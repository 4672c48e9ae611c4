// The lookup that turns one template effect into the text of its crafting
// (recipe) hotkey, through the planning tool's two configuration files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

class TiXmlDocument;
class TiXmlElement;

/// The recipe hotkey "45,13NNNLL,,-1" for an effect (its `id` attribute, null
/// when absent, and its text, null when it has none) in realm 0, 1 or 2, read
/// anew from the documents (either may be null). Returns the empty text when
/// there is no recipe.
std::string LookupRecipeHotkey(const TiXmlDocument* bonusConfig, const TiXmlDocument* gemConfig,
                               const char* effectId, const char* effectText, int realmIndex);

/// The configuration's lists indexed once, for the many lookups of one run:
/// Lookup() gives what LookupRecipeHotkey gives, in about constant time
/// however long the lists are. A realm's gems are indexed when it is first
/// asked for (a build asks for one). The documents must outlive the index
/// and not change.
class RecipeIndex {
 public:
  RecipeIndex(const TiXmlDocument* bonusConfig, const TiXmlDocument* gemConfig);
  std::string Lookup(const char* effectId, const char* effectText, int realmIndex) const;
  /// The group of the bonus `effectId` ("stat", "resist", "skill"...); empty when unknown.
  std::string GroupOf(const char* effectId) const;

 private:
  using ByName = std::unordered_map<std::string, const TiXmlElement*>;
  ByName m_bonuses;  // lower-case id -> the first bonus of that id
  ByName m_groups;   // lower-case id -> the first group of that id
  using GemNumbers = std::unordered_map<std::string, std::int32_t>;  // lower-case id -> the last gem's number
  /// The gems of realm 0, 1 or 2, indexed when first asked for.
  const GemNumbers& GemsOf(int realm) const;

  const TiXmlElement* m_firstGem;
  mutable std::unordered_map<const TiXmlElement*, ByName> m_levels;  // per group, when first asked: its gemlevels
  mutable std::optional<GemNumbers> m_gems[3];
};

/// "45,13%03i%02i,,-1" filled with `doubledRecipe` and `levelIndex`; a minus
/// sign counts toward the width and longer numbers are written in full.
std::string FormatRecipeHotkey(std::int64_t doubledRecipe, std::int64_t levelIndex);
