// The planner's two configuration files, loaded and checked for the table
// each must hold.
#include "config_files.h"

#include <memory>
#include <tinyxml.h>

#include "build_context.h"
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
// the document goes once the index holds what builds read of it.
bool LoadNamed(BuildContext& context, const std::string& folder, const char* name, const ConfigTable& table,
               ConfigIndex& index, void (ConfigIndex::*take)(const TiXmlDocument*)) {
  std::string path = folder.empty() ? std::string(name) : JoinPath(folder, name);  // one kind of separator
  TiXmlDocument doc(path.c_str());
  Reason reason = LoadConfig(doc, path);
  if (reason.empty()) {
    if (FirstListEntry(&doc, table.root, table.list, table.entry)) {
      (index.*take)(&doc);
      return true;
    }
    reason = Reason(table.missing, {Reason::Path(path)});
  }
  context.ShowMessage(Lines(Reason::Plain(std::string("can't load ") + name), reason, true));
  return false;
}

}  // namespace

bool LoadConfigFiles(BuildContext& context, const std::string& folder) {
  context.config.reset();
  auto index = std::make_unique<ConfigIndex>();
  if (!LoadNamed(context, folder, "config.xml", kBonusTable, *index, &ConfigIndex::TakeBonusConfig) ||
      !LoadNamed(context, folder, "config_gem.xml", kGemTable, *index, &ConfigIndex::TakeGemConfig))
    return false;
  context.config = std::move(index);
  return true;
}
