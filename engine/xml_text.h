// Reading text out of the XML documents.
#pragma once

#include "ascii_text.h"

class TiXmlElement;

/// The value of `element`'s first child node when that is a text node;
/// null for a missing element, no child, or a first child of another kind.
const char* TextOf(const TiXmlElement* element);
