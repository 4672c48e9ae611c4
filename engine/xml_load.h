// Loading the XML files (templates, configuration) within fixed limits, so
// that no file can crash the parser or keep it busy for long.
#pragma once

#include <cstddef>
#include <string>

#include "reason_text.h"

class TiXmlDocument;

/// What a file may hold at most; more is refused before parsing.
struct XmlLimits {
  std::size_t bytes;  ///< file size
  int depth;          ///< elements nested in each other
  int attributes;     ///< attributes of one element (the parser checks each new one against all before it)
};

/// The planner's configuration files: large tables, flat.
constexpr XmlLimits kConfigLimits = {16u * 1024u * 1024u, 1000, 100};
/// A template: one character's gear, a few kilobytes; far beyond that is no
/// planner's file, and would only make a build slow.
constexpr XmlLimits kTemplateLimits = {1024u * 1024u, 100, 100};

/// How a load ended.
enum class XmlLoad {
  Ok,
  OpenFailed,  ///< missing, unreadable, not a regular file, or too large
  Refused,     ///< beyond the nesting or attribute limits
  ParseFailed  ///< the parser's error
};

/// Why the XML text `bytes` is refused before parsing ("Error: elements
/// nested deeper than 1000 levels"); empty when it is within `limits`
/// (its size aside). Counts as the parser would see the text, erring towards refusal.
Reason CheckXmlLimits(const std::string& bytes, const XmlLimits& limits);

/// Replaces `doc`'s content by `bytes` parsed as TinyXML parses a file (line
/// ends made LF first). On failure `reason` holds the parser's description
/// (`doc` then tells the row and column) or the limit that refused it.
XmlLoad ParseXml(TiXmlDocument& doc, const std::string& bytes, Reason& reason, const XmlLimits& limits);

/// The parser's `reason` for `doc` with the place it stopped ("… (line 3,
/// column 7)"); as it is for errors of the whole document, which have none.
Reason WithParsePlace(const TiXmlDocument& doc, const Reason& reason);

/// Reads the file at `path` (at most limits.bytes) and parses it as ParseXml
/// does. OpenFailed gives the file's reason ("no such file or directory").
XmlLoad LoadXmlFile(TiXmlDocument& doc, const std::string& path, Reason& reason, const XmlLimits& limits);
