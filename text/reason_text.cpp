#include "reason_text.h"

const char* const kReasonFormats[7] = {reason::kHoldsNoBonusTable, reason::kHoldsNoGemTable,
                                       reason::kCannotKeepBackupIn, reason::kFolderNotCharacter,
                                       reason::kNoBackupsKept,     reason::kNoSuchBackup,
                                       reason::kBackupGone};

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

// Matches line[at..] against pieces[next..], each field before a piece.
bool MatchFrom(const std::string& line, std::size_t at, const std::vector<std::string>& pieces, std::size_t next,
               std::vector<std::string>& fields) {
  if (next == pieces.size()) return at == line.size();
  const std::string& piece = pieces[next];
  const bool last = next + 1 == pieces.size();
  // The field runs to a place where the piece follows (to the end for the last piece).
  for (std::size_t end = last ? line.size() - std::min(line.size(), piece.size()) : line.find(piece, at);
       end != std::string::npos && end >= at; end = last ? std::string::npos : line.find(piece, end + 1)) {
    if (line.compare(end, piece.size(), piece) != 0) continue;
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
