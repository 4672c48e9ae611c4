// Loading the template file (the "SC-File"), with one repair of the
// bracketed "keiner" markers that the planning tool writes as plain text.
#pragma once

#include <memory>
#include <string>
#include <tinyxml.h>

#include "reason_text.h"

struct BuildContext;

/// A template as loaded: its document, or why it is none.
struct LoadedTemplate {
  std::unique_ptr<TiXmlDocument> doc;
  Reason reason;  ///< empty when `doc` holds a template
  /// The template's top-level `player`; null when it is none.
  const TiXmlElement* Player() const;
};

/// Loads the context's job.templatePath, taken in its work folder (within
/// the limits of xml_load.h). When parsing fails, repairs the file once and
/// parses it again; the repair is written (after a
/// backup) only when the repaired text parses, and only when `saveRepair`
/// (a preview keeps it in memory). No reason when the document holds a
/// template (a parsed document with a top-level `player`); otherwise the
/// message "can't read SC-File" with, on the next line, the path and the reason.
LoadedTemplate LoadTemplate(const BuildContext& context, bool saveRepair = true);

/// The message of a template that could not be loaded.
extern const char* const kCannotReadTemplate;  // "can't read SC-File"

/// Replaces "<keiner>", "<Keiner>" and "<KEINER>" in the file by the bare
/// word, working on all of its bytes, and replaces the file atomically.
/// Returns true when at least one marker was replaced and the file was
/// written; false (the file untouched) when it could not be read, held no
/// marker, or could not be written.
bool RepairTemplate(const std::string& path);
