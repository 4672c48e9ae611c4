// The planner's two configuration files, loaded and checked for the table
// each must hold.
#include "config_files.h"

#include <memory>
#include <tinyxml.h>

#include "paths.h"
#include "reason_text.h"
#include "xml_load.h"
#include "xml_text.h"

const char* const kConfigNotLoaded = "config files not loaded - sry can't do my job";

namespace {

// Loads one configuration file; on failure `reason` is one line: the path
// and the parser's text (with where it stopped), or the system's reason for
// a file that could not be opened, or the limit that refused it.
Reason LoadConfig(TiXmlDocument& doc, const std::string& path) {
  Reason why;
  const XmlLoad load = LoadXmlFile(doc, path, why, kConfigLimits);
  if (load == XmlLoad::Ok) return {};
  return AtPath(path, load == XmlLoad::ParseFailed ? WithParsePlace(doc, why) : why);
}

// The table a configuration file must hold to be the planner's: without it
// a build would empty the bars and write nothing.
struct ConfigTable {
  const char *root, *list, *entry;
  CatalogText missing;
};
const ConfigTable kBonusTable = {"Vesko", "bonuses", "bonus", reason::kHoldsNoBonusTable};
const ConfigTable kGemTable = {"data", "gems", "gem", reason::kHoldsNoGemTable};

// Loads one file into `index` (`take` is the part of the index it fills);
// the document goes once the index holds what builds read of it. Returns
// why it could not, under "can't load <name>"; nothing when it did.
Reason LoadNamed(const std::string& folder, const char* name, const ConfigTable& table, ConfigIndex& index,
                 void (ConfigIndex::*take)(const TiXmlDocument*)) {
  std::string path = folder.empty() ? std::string(name) : JoinPath(folder, name);  // one kind of separator
  TiXmlDocument doc(path.c_str());
  Reason reason = LoadConfig(doc, path);
  if (reason.empty()) {
    if (FirstListEntry(&doc, table.root, table.list, table.entry)) {
      (index.*take)(&doc);
      return {};
    }
    reason = Reason(table.missing, {Reason::Path(path)});
  }
  // The fixed first line players search for, in English in every language.
  return Lines(Reason::Joining("can't load %s", {Reason::Plain(name)}), reason, true);
}

}  // namespace

ConfigLoad LoadConfigFiles(const std::string& folder) {
  auto index = std::make_unique<ConfigIndex>();
  ConfigLoad load;
  load.reason = LoadNamed(folder, "config.xml", kBonusTable, *index, &ConfigIndex::TakeBonusConfig);
  if (load.reason.empty()) load.reason = LoadNamed(folder, "config_gem.xml", kGemTable, *index, &ConfigIndex::TakeGemConfig);
  if (load.reason.empty()) load.index = std::move(index);
  return load;
}
