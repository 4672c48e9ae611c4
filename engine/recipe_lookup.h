// The lookup that turns one template effect into the text of its crafting
// (recipe) hotkey, through the planning tool's two configuration files.
#pragma once

#include <string>

#include "config_index.h"  // FormatRecipeHotkey

/// The recipe hotkey "45,13NNNLL,,-1" for an effect (its `id` attribute, null
/// when absent, and its text, null when it has none) in realm 0, 1 or 2, read
/// anew from the documents (either may be null). Returns the empty text when
/// there is no recipe. (A run looks up through its ConfigIndex, which holds
/// what this reads of the documents.)
std::string LookupRecipeHotkey(const TiXmlDocument* bonusConfig, const TiXmlDocument* gemConfig,
                               const char* effectId, const char* effectText, int realmIndex);
