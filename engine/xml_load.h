// Loading the XML files (templates, configuration) within fixed limits, so
// that no file can crash the parser or keep it busy for long.
#pragma once

#include <cstddef>
#include <string>

class TiXmlDocument;

/// Files larger than this are refused before parsing.
constexpr std::size_t kMaxXmlBytes = 16u * 1024u * 1024u;
/// Elements nested deeper than this are refused before parsing.
constexpr int kMaxXmlDepth = 1000;
/// Elements with more attributes than this are refused before parsing.
constexpr int kMaxXmlAttributes = 1000;

/// How a load ended.
enum class XmlLoad {
  Ok,
  OpenFailed,  ///< missing, unreadable, not a regular file, or too large
  Refused,     ///< beyond the nesting or attribute limits
  ParseFailed  ///< the parser's error
};

/// Why the XML text `bytes` is refused before parsing ("Error: elements
/// nested deeper than 1000 levels"); empty when it is within the limits.
/// Counts as the parser would see the text, erring towards refusal.
std::string CheckXmlLimits(const std::string& bytes);

/// Replaces `doc`'s content by `bytes` parsed as TinyXML parses a file (line
/// ends made LF first). On failure `reason` holds the parser's description
/// (`doc` then tells the row and column) or the limit that refused it.
XmlLoad ParseXml(TiXmlDocument& doc, const std::string& bytes, std::string& reason);

/// Reads the file at `path` (at most kMaxXmlBytes) and parses it as ParseXml
/// does. OpenFailed gives the file's reason ("no such file or directory").
XmlLoad LoadXmlFile(TiXmlDocument& doc, const std::string& path, std::string& reason);
