// Template and configuration loading and the recipe lookup on random XML.
// Input: template, separator, config.xml, separator, config_gem.xml.
#include <cstdint>
#include <tinyxml.h>

#include "fuzz_support.h"
#include "recipe_lookup.h"
#include "xml_load.h"
#include "xml_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts = SplitParts(data, size, 3);
  TiXmlDocument templ, bonus, gem;
  Reason reason;
  bool loaded = ParseXml(templ, parts[0], reason, kTemplateLimits) == XmlLoad::Ok;
  Check(loaded || !reason.empty(), "a refused template has no reason");
  bool bonusLoaded = ParseXml(bonus, parts[1], reason, kConfigLimits) == XmlLoad::Ok;
  bool gemLoaded = ParseXml(gem, parts[2], reason, kConfigLimits) == XmlLoad::Ok;
  const TiXmlElement* player = loaded ? templ.FirstChildElement("player") : nullptr;
  int lookups = 0;
  for (const TiXmlElement* item = player ? player->FirstChildElement("item") : nullptr; item && lookups < 200;
       item = item->NextSiblingElement("item")) {
    for (const TiXmlElement* effect = item->FirstChildElement("effect"); effect && lookups < 200;
         effect = effect->NextSiblingElement("effect"), ++lookups) {
      for (int realm = -1; realm <= 3; ++realm) {
        std::string hotkey = LookupRecipeHotkey(bonusLoaded ? &bonus : nullptr, gemLoaded ? &gem : nullptr,
                                                effect->Attribute("id"), TextOf(effect), realm);
        Check(hotkey.empty() || (hotkey.compare(0, 5, "45,13") == 0 && hotkey.size() >= 11 &&
                                 hotkey.compare(hotkey.size() - 4, 4, ",,-1") == 0),
              "a recipe hotkey of the wrong form");
      }
    }
  }
  return 0;
}
