// What builds and the gem table read of the planner's two configuration
// files, taken out of the parsed documents once, so that the documents can
// go: a few bytes per byte of configuration instead of the parser's tree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "name_table.h"

class TiXmlDocument;

/// "45,13%03i%02i,,-1" filled with `doubledRecipe` and `levelIndex`; a minus
/// sign counts toward the width and longer numbers are written in full.
std::string FormatRecipeHotkey(std::int64_t doubledRecipe, std::int64_t levelIndex);

class ConfigIndex {
 public:
  ConfigIndex() = default;
  /// Both files at once (either document may be null).
  ConfigIndex(const TiXmlDocument* bonusConfig, const TiXmlDocument* gemConfig);
  /// config.xml's bonuses and groups; its document may go afterwards.
  void TakeBonusConfig(const TiXmlDocument* bonusConfig);
  /// config_gem.xml's gems and position order; its document may go afterwards.
  void TakeGemConfig(const TiXmlDocument* gemConfig);

  /// The recipe hotkey of an effect (its `id` attribute, null when absent,
  /// and its text, null when it has none) in realm 0, 1 or 2: what
  /// LookupRecipeHotkey gives for the documents. Empty when there is none.
  std::string Lookup(const char* effectId, const char* effectText, int realmIndex) const;
  /// The group of the bonus `effectId` ("stat", "resist", "skill"...); empty when unknown.
  std::string GroupOf(const char* effectId) const;

  /// One gem of config_gem.xml with its recipe number in a realm.
  struct RealmGem {
    std::string_view id;  ///< as written; empty without one
    std::int32_t recipe;
  };
  /// The gems that have a number for realm 0, 1 or 2, in document order.
  std::vector<RealmGem> GemsOf(int realm) const;

  /// One position of config_gem.xml's order that a build can visit.
  struct Position {
    int pass;               ///< 0 to 24
    std::string_view id;    ///< the item position it names
    std::string_view label; ///< its text: the label of a spacer ahead of an item there
  };
  /// The order's positions with an `id` and a pass from 0 to 24, in document
  /// order; none without an order.
  std::vector<Position> Order() const;

 private:
  // Bonuses with an id, in document order: the group's text, the gem's key,
  // and whether the bonus names both (it has a recipe).
  NameTable m_bonusIds, m_bonusGroups, m_bonusGems;
  std::vector<bool> m_bonusRecipe;
  // Groups with an id; per group its gemlevels with a bonus, and their levels
  // (-1 for one without a number).
  struct Group {
    NameTable amounts;
    std::vector<std::int32_t> levels;
  };
  NameTable m_groupIds;
  std::vector<Group> m_groups;
  // Gems, in document order, with their numbers for r0, r1 and r2, and
  // which of the three (bits 0-2) and the id (bit 3) they have.
  NameTable m_gemIds;
  std::vector<std::int32_t> m_gemNumbers;  // three per gem
  std::vector<std::uint8_t> m_gemHas;
  // The order's usable positions.
  NameTable m_positionIds, m_positionLabels;
  std::vector<std::int8_t> m_positionPasses;
};
