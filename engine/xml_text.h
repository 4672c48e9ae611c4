// Reading text out of the XML documents.
#pragma once

#include <tinyxml.h>

#include "ascii_text.h"

/// The value of `element`'s first child node when that is a text node;
/// null for a missing element, no child, or a first child of another kind.
inline const char* TextOf(const TiXmlElement* element) { return element ? element->GetText() : nullptr; }

/// The first `entry` element of the list <root><container><entry/>...; null
/// for a missing document or element on the way.
inline const TiXmlElement* FirstListEntry(const TiXmlDocument* doc, const char* root, const char* container,
                                          const char* entry) {
  const TiXmlElement* e = doc ? doc->FirstChildElement(root) : nullptr;
  if (e) e = e->FirstChildElement(container);
  return e ? e->FirstChildElement(entry) : nullptr;
}
