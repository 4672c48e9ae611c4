// The Wine prefixes of the launchers Linux players run the game with
// (plain Wine, Lutris, Steam's Proton, Bottles, Heroic, PlayOnLinux,
// CrossOver). Only known places are looked at: no walk of the disk. On
// Windows, where the game runs without Wine, there are none.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct WinePrefix {
  std::string label;  ///< where it was found: "Steam (Proton 1234)", "Bottles (DAoC)"
  std::string path;   ///< the prefix, the folder that holds drive_c
};

/// Whether a prefix is one the caller looks for (one holding the game's folder).
using PrefixWanted = std::function<bool(const std::string& prefix)>;

/// The prefixes found for the user whose home folder is `home`, in the
/// launchers' order above, each folder once (links followed); only those
/// `wanted` holds for, when given. A folder is listed for its first 4,096
/// prefixes, taken after `wanted` looked at each, so that thousands of
/// others hide none that is wanted. Honours WINEPREFIX, XDG_CONFIG_HOME and
/// XDG_DATA_HOME.
std::vector<WinePrefix> FindWinePrefixes(const std::string& home, const PrefixWanted& wanted = nullptr);

/// The user's home folder: HOME, else the system's entry for the user.
std::string HomeFolder();

/// The user's roaming folder in the default prefix (WINEPREFIX, else
/// ~/.wine), whether it exists or not: "AppData/Roaming", or "Application
/// Data" where only that exists (prefixes of older Wine versions). Empty
/// when no home or user is known.
std::string DefaultWineRoamingFolder();
