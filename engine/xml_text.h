// Small readers shared by everything that looks into the XML documents.
#pragma once

#include <cstdint>
#include <string>

class TiXmlElement;

/// The value of `element`'s first child node when that is a text node;
/// null for a missing element, no child, or a first child of another kind.
const char* TextOf(const TiXmlElement* element);

/// Whole-text equality without regard to ASCII case; an absent (null) text
/// equals nothing, not even another absent text.
bool SameTextNoCase(const char* a, const char* b);

/// The integer at the start of `text`: leading white space, an optional sign,
/// digits up to the first other character; no digits (or null) give 0.
/// Values beyond 32 bits are held at the nearest 32-bit limit.
std::int32_t LeadingInt(const char* text);

/// Lower-cases ASCII letters only, leaving every other byte as it is.
char LowerAscii(char c);
