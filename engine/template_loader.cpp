#include "template_loader.h"

#include <tinyxml.h>

#include "build_context.h"
#include "file_bytes.h"

namespace {

const char* const kUnreadable = "can't read SC-File";

// TinyXML opens anything fopen accepts; a folder, FIFO or huge file would make
// it hang or allocate wildly, so only loadable regular files reach the parser.
bool LoadDocument(TiXmlDocument& doc, const std::string& path) {
  return IsLoadableFile(path) && doc.LoadFile(path.c_str());
}

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

// A dry run repairs in memory only: the template on disk stays as it is.
bool LoadRepairedInMemory(TiXmlDocument& doc, const std::string& path) {
  std::string bytes;
  if (ReadFileBytes(path, bytes) != ReadStatus::Ok || ReplaceMarkers(bytes) == 0) return false;
  // Line ends as a load from the file would give them to the parser.
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') {
      text += bytes[i];
    } else if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') {
      text += '\n';
    }
  }
  doc.Clear();
  doc.Parse(text.c_str());
  return !doc.Error();
}

}  // namespace

bool LoadTemplate(BuildContext& context) {
  const std::string& path = context.job.templatePath;
  context.templateDoc.reset();
  context.templateDoc = std::make_unique<TiXmlDocument>(path.c_str());
  if (LoadDocument(*context.templateDoc, path)) return true;
  bool repaired = context.dryRun ? LoadRepairedInMemory(*context.templateDoc, path)
                                 : RepairTemplate(path) && LoadDocument(*context.templateDoc, path);
  if (!repaired) {
    context.ShowMessage(kUnreadable);
    return false;
  }
  return true;
}

bool RepairTemplate(const std::string& path) {
  std::string bytes;
  if (ReadFileBytes(path, bytes) != ReadStatus::Ok) return false;
  if (ReplaceMarkers(bytes) == 0) return false;
  return ReplaceFileAtomically(path, bytes);
}
