#include "resources.h"

#include <wx/xrc/xmlres.h>

void RegisterXrcIds(std::initializer_list<XrcId> ids) {
  // The first lookup of a name records the id given with it.
  for (const XrcId& entry : ids) wxXmlResource::GetXRCID(entry.name, entry.id);
}
