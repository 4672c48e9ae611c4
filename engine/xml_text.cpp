#include "xml_text.h"

#include <tinyxml.h>

const char* TextOf(const TiXmlElement* element) {
  if (!element) return nullptr;
  const TiXmlNode* child = element->FirstChild();
  if (!child || !child->ToText()) return nullptr;
  return child->Value();
}
