#include "template_loader.h"

#include <tinyxml.h>

#include "backups.h"
#include "build_context.h"
#include "file_error.h"
#include "file_lock.h"
#include "file_read.h"
#include "file_replace.h"
#include "xml_load.h"

const char* const kCannotReadTemplate = "can't read SC-File";

namespace {

constexpr CatalogText kNotRepaired = R_("the file was not repaired: %s");
constexpr CatalogText kNotATemplate = R_("not a template of the spellcraft planner");

// Replaces the three markers in `bytes`; returns how many were replaced.
int ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  int count = 0;
  std::string out;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
    out.append(text, pos, hit - pos);
    out += to;
    ++count;
  }
  if (count == 0) return 0;
  out.append(text, pos, std::string::npos);
  text.swap(out);
  return count;
}

int ReplaceMarkers(std::string& bytes) {
  int replaced = ReplaceAll(bytes, "<keiner>", "keiner");
  replaced += ReplaceAll(bytes, "<Keiner>", "Keiner");
  return replaced + ReplaceAll(bytes, "<KEINER>", "KEINER");
}


// Writes the repaired template over the file, after keeping what it held
// as a backup: under the lock runs take, and only while the file still is
// what was read (the planner may save it meanwhile; its save stays). The
// backup goes again when the template stayed as it was. False, with
// `reason` saying which step failed and why.
bool SaveRepair(const std::string& path, const std::string& before, const std::string& repaired,
                Reason& reason) {
  FileLock lock;
  std::string now, created;
  Reason why;
  FileStamp stamp;
  if (!lock.Acquire(path, 3000) || ReadFileBytes(path, now, stamp) != ReadStatus::Ok) {
    reason = Reason(kNotRepaired, {LastFileError()});
    return false;
  }
  if (now != before) {
    reason = Reason(kNotRepaired, {Reason(R_("%s meanwhile"), {kChangedByAnotherProgram})});
    return false;
  }
  if (!KeepBackup(path, before, BackupNote::At(BackupNote::Kind::Repair, ""), why, &created)) {
    reason = Reason(kNotRepaired, {why});
    return false;
  }
  ReplaceResult result = ReplaceReadFile(path, {repaired}, stamp, before, {}, lock.Handle());
  if (result.outcome == ReplaceOutcome::Done) return true;
  reason = Reason(R_("the repaired file could not be written: %s"), {LastFileError()});
  if (result.outcome == ReplaceOutcome::Failed || result.outcome == ReplaceOutcome::Changed)
    DropBackup(path, created);  // the template is as it was, or the planner's
  return false;
}

// Loads the template; a file the parser rejects is repaired once (on disk,
// or for a preview in memory only) and parsed again.
XmlLoad LoadWithRepair(TiXmlDocument& doc, const std::string& path, bool inMemory, Reason& reason) {
  std::string bytes;  // read once, for the load and for the repair
  if (ReadFileBytes(path, bytes, kTemplateLimits.bytes) != ReadStatus::Ok) {
    reason = LastFileError();
    return XmlLoad::OpenFailed;
  }
  XmlLoad result = ParseXml(doc, bytes, reason, kTemplateLimits);
  if (result != XmlLoad::ParseFailed) return result;
  if (doc.ErrorId() == TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY) {
    // No element at all (an empty file, a character file, plain text): the
    // parser's "empty document" would say nothing to a player.
    reason = kNotATemplate;
    return result;
  }
  Reason firstReason = WithParsePlace(doc, reason);
  std::string before = bytes;
  if (ReplaceMarkers(bytes) == 0) {
    reason = firstReason;
    return result;
  }
  // Only a repair that helps is written: one that still does not parse
  // leaves the file byte for byte as it was.
  result = ParseXml(doc, bytes, reason, kTemplateLimits);
  if (result == XmlLoad::ParseFailed) reason = WithParsePlace(doc, reason);
  if (result != XmlLoad::Ok) return result;
  Reason failure;
  if (!inMemory && !SaveRepair(path, before, bytes, failure)) {
    doc.Clear();
    reason = Joined(firstReason, failure);
    return XmlLoad::ParseFailed;
  }
  return result;
}

}  // namespace

LoadedTemplate LoadTemplate(const BuildContext& context, bool saveRepair) {
  const std::string& path = context.job.templatePath;  // as given, for the message
  const std::string file = context.InWorkFolder(path);
  LoadedTemplate loaded;
  loaded.doc = std::make_unique<TiXmlDocument>(file.c_str());
  Reason reason;
  if (path.empty()) {
    reason = R_("no SC-File chosen");
  } else if (LoadWithRepair(*loaded.doc, file, !saveRepair, reason) == XmlLoad::Ok) {
    // Only a template may change the character file: anything else is
    // refused before the bars are touched.
    if (loaded.Player()) return loaded;
    reason = R_("not a template of the spellcraft planner (it has no <player> element)");
  }
  if (!path.empty()) reason = AtPath(path, reason);
  loaded.reason = Lines(Reason::Plain(kCannotReadTemplate), reason);
  return loaded;
}

const TiXmlElement* LoadedTemplate::Player() const { return doc ? doc->FirstChildElement("player") : nullptr; }

bool RepairTemplate(const std::string& path) {
  std::string bytes;
  if (ReadFileBytes(path, bytes) != ReadStatus::Ok) return false;
  std::string before = bytes;
  Reason ignored;
  return ReplaceMarkers(bytes) > 0 && SaveRepair(path, before, bytes, ignored);
}
