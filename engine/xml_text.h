// Reading text out of the XML documents.
#pragma once

#include <tinyxml.h>

#include "ascii_text.h"

/// The value of `element`'s first child node when that is a text node;
/// null for a missing element, no child, or a first child of another kind.
inline const char* TextOf(const TiXmlElement* element) { return element ? element->GetText() : nullptr; }
