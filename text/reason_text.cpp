#include "reason_text.h"

const char* const kReasonFormats[16] = {reason::kLeftoverPutBack, reason::kLeftoverKept, reason::kBuiltOnNewContent,
                                        reason::kHoldsNoBonusTable,        reason::kHoldsNoGemTable,
                                        reason::kCannotKeepBackupIn,       reason::kFolderNotCharacter,
                                        reason::kNoBackupsKept,            reason::kNoSuchBackup,
                                        reason::kBackupGone,               reason::kStillBeingWritten,
                                        reason::kUnreadableForCheck,       reason::kNotPutBack,
                                        reason::kOtherVersionKeptBeside,   reason::kFirstVersionKeptBeside,
                                        reason::kOtherVersionKeptAsBackup};

namespace {

// The format's fixed pieces: before the first field, between fields, after the last.
std::vector<std::string> PiecesOf(const std::string& format) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format.compare(i, 2, "%s") == 0) {
      pieces.emplace_back();
      ++i;
    } else {
      pieces.back() += format[i];
    }
  }
  return pieces;
}

// Matches line[at..] against pieces[next..] (next >= 1), a field before each piece.
bool MatchFrom(const std::string& line, std::size_t at, const std::vector<std::string>& pieces, std::size_t next,
               std::vector<std::string>& fields) {
  const std::string& piece = pieces[next];
  if (next + 1 == pieces.size()) {  // the last field runs to the piece that ends the line
    if (line.size() < at + piece.size() || line.compare(line.size() - piece.size(), piece.size(), piece) != 0)
      return false;
    fields.push_back(line.substr(at, line.size() - piece.size() - at));
    return true;
  }
  for (std::size_t end = line.find(piece, at); end != std::string::npos; end = line.find(piece, end + 1)) {
    fields.push_back(line.substr(at, end - at));
    if (MatchFrom(line, end + piece.size(), pieces, next + 1, fields)) return true;
    fields.pop_back();
  }
  return false;
}

}  // namespace

std::string FillReason(const char* format, const std::vector<std::string>& fields) {
  const std::vector<std::string> pieces = PiecesOf(format);
  std::string text = pieces.front();
  for (std::size_t i = 1; i < pieces.size(); ++i) text += (i - 1 < fields.size() ? fields[i - 1] : "") + pieces[i];
  return text;
}

bool MatchReason(const std::string& line, const char* format, std::vector<std::string>& fields) {
  const std::vector<std::string> pieces = PiecesOf(format);
  fields.clear();
  if (line.compare(0, pieces.front().size(), pieces.front()) != 0) return false;
  if (pieces.size() == 1) return line == pieces.front();
  // Fields between pieces: each tried at every place its next piece appears.
  return MatchFrom(line, pieces.front().size(), pieces, 1, fields);
}
