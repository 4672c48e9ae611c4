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

}  // namespace

bool LoadTemplate(BuildContext& context) {
  const std::string& path = context.job.templatePath;
  context.templateDoc.reset();
  context.templateDoc = std::make_unique<TiXmlDocument>(path.c_str());
  if (LoadDocument(*context.templateDoc, path)) return true;
  if (!RepairTemplate(path) || !LoadDocument(*context.templateDoc, path)) {
    context.ShowMessage(kUnreadable);
    return false;
  }
  return true;
}

bool RepairTemplate(const std::string& path) {
  std::string bytes;
  if (ReadFileBytes(path, bytes) != ReadStatus::Ok) return false;
  int replaced = ReplaceAll(bytes, "<keiner>", "keiner");
  replaced += ReplaceAll(bytes, "<Keiner>", "Keiner");
  replaced += ReplaceAll(bytes, "<KEINER>", "KEINER");
  if (replaced == 0) return false;
  return ReplaceFileAtomically(path, bytes);
}
