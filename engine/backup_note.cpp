#include "backup_note.h"

#include <cstddef>
#include <utility>

#include "ascii_text.h"
#include "run_outcome.h"

namespace {

// The kinds as a note's data names them.
const struct {
  BackupNote::Kind kind;
  const char* name;
} kKindNames[] = {{BackupNote::Kind::Build, "build"},
                  {BackupNote::Kind::GemTable, "gem table"},
                  {BackupNote::Kind::Restore, "restore"},
                  {BackupNote::Kind::Displaced, "displaced"},
                  {BackupNote::Kind::Repair, "repair"}};

// The prose older versions wrote.
const char* const kRestorePrefix = "before restoring the backup of ";
const char* const kDisplacedPrefix = "the game's save, displaced by a run at ";
const char* const kRepairProse = "before the repair of its <Keiner> markers";

// The number `text` is all made of; 0 when it is not one.
int NumberOf(const std::string& text) { return IsAllDigits(text) ? LeadingInt(text.c_str()) : 0; }

// "2-7" as the bar range's first and last bar (0 for a part that is no number).
void ReadBars(const std::string& text, BackupNote& note) {
  const std::size_t dash = text.find('-');
  note.firstBar = NumberOf(text.substr(0, dash));
  note.lastBar = dash == std::string::npos ? 0 : NumberOf(text.substr(dash + 1));
}

// A run's note names a real bar range: quickbar 1 to 3, bars 1 to 10.
bool NamesRange(const BackupNote& note) {
  return note.quickbar >= 1 && note.quickbar <= 3 && note.firstBar >= 1 && note.firstBar <= 10 && note.lastBar >= 1 &&
         note.lastBar <= 10;
}

// "build of t.vsk onto Quickbar2 bars 2-7 (reverse)" and the gem table's.
bool ReadRunProse(const std::string& text, BackupNote& note) {
  for (auto [kind, lead] : {std::pair<BackupNote::Kind, std::string>{BackupNote::Kind::Build, "build of "},
                            {BackupNote::Kind::GemTable, "gem table of "}}) {
    if (!StartsWith(text, lead)) continue;
    const std::string onto = " onto Quickbar", reverse = " (reverse)", bars = " bars ";
    const std::size_t at = text.rfind(onto);
    if (at == std::string::npos || at < lead.size()) return false;
    note.kind = kind;
    note.templateName = text.substr(lead.size(), at - lead.size());
    std::string rest = text.substr(at + onto.size());
    note.quickbar = 1;  // "Quickbar" alone is the first
    if (!rest.empty() && rest[0] >= '2' && rest[0] <= '3') {
      note.quickbar = rest[0] - '0';
      rest.erase(0, 1);
    }
    note.reverse = EndsWith(rest, reverse);
    if (note.reverse) rest.resize(rest.size() - reverse.size());
    if (!StartsWith(rest, bars)) return false;
    ReadBars(rest.substr(bars.size()), note);
    return NamesRange(note);
  }
  return false;
}

// A note written as data: "kind=..." first, then its fields.
bool ReadData(const std::string& text, BackupNote& note) {
  if (!StartsWith(text, "kind=")) return false;
  bool known = false;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(begin, end - begin);
    begin = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals), value = line.substr(equals + 1);
    if (name == "kind") {
      for (const auto& k : kKindNames)
        if (value == k.name) {
          note.kind = k.kind;
          known = true;
        }
    } else if (name == "template") {
      note.templateName = value;
    } else if (name == "quickbar") {
      note.quickbar = NumberOf(value);
    } else if (name == "bars") {
      ReadBars(value, note);
    } else if (name == "reverse") {
      note.reverse = value == "yes";
    } else if (name == "time") {
      note.time = value;
    }
  }
  const bool run = note.kind == BackupNote::Kind::Build || note.kind == BackupNote::Kind::GemTable;
  return known && (!run || NamesRange(note));
}

}  // namespace

BackupNote::BackupNote(const std::string& text) : BackupNote(ReadBackupNote(text)) {}

BackupNote BackupNote::Run(Kind kind, const std::string& templateName, const JobSettings& job) {
  BackupNote note;
  note.kind = kind;
  note.templateName = templateName;
  note.quickbar = job.quickbar;
  note.firstBar = job.firstBar;
  note.lastBar = job.lastBar;
  note.reverse = job.Has(OPT_REVERSE);
  return note;
}

BackupNote BackupNote::At(Kind kind, const std::string& time) {
  BackupNote note;
  note.kind = kind;
  note.time = time;
  return note;
}

std::string WriteBackupNote(const BackupNote& note) {
  switch (note.kind) {
    case BackupNote::Kind::None:
      return std::string();
    case BackupNote::Kind::Text:
      return note.text;
    case BackupNote::Kind::Build:
    case BackupNote::Kind::GemTable:
    case BackupNote::Kind::Restore:
    case BackupNote::Kind::Displaced:
    case BackupNote::Kind::Repair:
      break;
  }
  std::string data;
  for (const auto& k : kKindNames)
    if (k.kind == note.kind) data = std::string("kind=") + k.name + "\n";
  if (note.kind == BackupNote::Kind::Build || note.kind == BackupNote::Kind::GemTable)
    data += "template=" + note.templateName + "\nquickbar=" + std::to_string(note.quickbar) + "\nbars=" +
            std::to_string(note.firstBar) + "-" + std::to_string(note.lastBar) + "\nreverse=" + (note.reverse ? "yes" : "no") + "\n";
  if (note.kind == BackupNote::Kind::Restore || note.kind == BackupNote::Kind::Displaced) data += "time=" + note.time + "\n";
  return data;
}

BackupNote ReadBackupNote(const std::string& text) {
  BackupNote note;
  if (text.empty()) return note;
  if (ReadData(text, note) || ReadRunProse(text, note)) return note;
  note = BackupNote();
  if (StartsWith(text, kRestorePrefix))
    return BackupNote::At(BackupNote::Kind::Restore, text.substr(std::string(kRestorePrefix).size()));
  if (StartsWith(text, kDisplacedPrefix))
    return BackupNote::At(BackupNote::Kind::Displaced, text.substr(std::string(kDisplacedPrefix).size()));
  note.kind = text == kRepairProse ? BackupNote::Kind::Repair : BackupNote::Kind::Text;
  if (note.kind == BackupNote::Kind::Text) note.text = text;
  return note;
}

Reason DescribeBackupNote(const BackupNote& note) {
  JobSettings range;
  range.quickbar = note.quickbar;
  range.firstBar = note.firstBar;
  range.lastBar = note.lastBar;
  range.options = note.reverse ? std::uint32_t{OPT_REVERSE} : 0u;
  const std::vector<Reason> run = {Reason::Plain(note.templateName), DescribeBarRange(range)};
  switch (note.kind) {
    case BackupNote::Kind::None:
      return Reason(R_("(no note)"));
    case BackupNote::Kind::Build:
      return Reason(R_("build of %s onto %s"), run);
    case BackupNote::Kind::GemTable:
      return Reason(R_("gem table of %s onto %s"), run);
    case BackupNote::Kind::Restore:
      return Reason(R_("before restoring the backup of %s"), {Reason::Plain(note.time)});
    case BackupNote::Kind::Displaced:
      return Reason(R_("the game's save, displaced by a run at %s"), {Reason::Plain(note.time)});
    case BackupNote::Kind::Repair:
      return Reason(R_("before the repair of its <Keiner> markers"));
    case BackupNote::Kind::Text:
      break;
  }
  return Reason::Plain(note.text);
}
