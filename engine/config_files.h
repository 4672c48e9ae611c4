// The planning tool's two configuration files: config.xml (the bonuses and
// their gem levels) and config_gem.xml (the gems and the order of positions).
#pragma once

#include <memory>
#include <string>

#include "config_index.h"
#include "reason_text.h"

/// The index of both configuration files, or why there is none.
struct ConfigLoad {
  std::unique_ptr<const ConfigIndex> index;  ///< both files' index; null when either failed
  Reason reason;                             ///< "can't load <name>\n\n<reason>" when either failed
};

/// Loads config.xml, then config_gem.xml, from `folder` (empty: the current
/// directory, by bare name); config_gem.xml is not read when config.xml failed.
ConfigLoad LoadConfigFiles(const std::string& folder = "");

/// The message of a build refused because the configuration is not loaded.
extern const char* const kConfigNotLoaded;  // "config files not loaded - sry can't do my job"
