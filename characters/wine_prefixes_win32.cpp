// On Windows the game runs without Wine: no prefixes to look in.
#include "wine_prefixes.h"

std::vector<WinePrefix> FindWinePrefixes(const std::string&, const PrefixWanted&) { return {}; }

std::string HomeFolder() { return {}; }

std::string DefaultWineRoamingFolder() { return {}; }
