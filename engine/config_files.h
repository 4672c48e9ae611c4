// The planning tool's two configuration files: config.xml (the bonuses and
// their gem levels) and config_gem.xml (the gems and the order of positions).
#pragma once

#include <string>

struct BuildContext;

/// Loads config.xml, then config_gem.xml, from `folder` (empty: the current
/// directory, by bare name) into the context. On a failure shows
/// "can't load <name>\n\n<reason>" and leaves both documents absent;
/// config_gem.xml is not read when config.xml failed. Returns true when both loaded.
bool LoadConfigFiles(BuildContext& context, const std::string& folder = "");

/// The message of a build refused because the configuration is not loaded.
extern const char* const kConfigNotLoaded;  // "config files not loaded - sry can't do my job"
