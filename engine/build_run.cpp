// One build run: the plan applied to the character file at the walk's slots,
// saved once, started over when the game saved meanwhile.
#include "build_run.h"

#include <tinyxml.h>
#include <unordered_map>
#include <vector>

#include "backups.h"
#include "build_context.h"
#include "paths.h"
#include "reason_text.h"
#include "macros.h"
#include "recipe_lookup.h"
#include "slot_cursor.h"
#include "template_loader.h"
#include "xml_text.h"

const char* const kCannotWriteCharacter = "can't write character file";
const char* const kNoFreeMacro = "no free macro number (Macro_0 to Macro_99 are all used)";
const char* const kBuiltOnNewContent = reason::kBuiltOnNewContent;

namespace {

constexpr int kRestarts = 3;

// Keeps the messages of one attempt of a run, so that only those of the
// attempt that counts reach the context's sink. Messages shown before any
// attempt (a refusal) are kept the same way.
class AttemptRecord : public MessageSink {
 public:
  explicit AttemptRecord(BuildContext& context) : m_context(context), m_sink(context.messages) {
    context.messages = this;
  }
  ~AttemptRecord() override { m_context.messages = m_sink; }
  void ShowMessage(const std::string& text) override { m_messages.push_back(text); }
  // The attempt's last message: what ended it, when it did not succeed.
  std::string Last() const { return m_messages.empty() ? std::string() : m_messages.back(); }
  // Hands what the attempt said on, in order.
  void Pass() {
    for (const std::string& text : m_messages)
      if (m_sink) m_sink->ShowMessage(text);
  }

 private:
  BuildContext& m_context;
  MessageSink* m_sink;
  std::vector<std::string> m_messages;
};

const TiXmlElement* Player(const BuildContext& context) {
  return context.templateDoc ? context.templateDoc->FirstChildElement("player") : nullptr;
}

// Writes the planned hotkeys in order at the walk's slots, each that was
// placed into `placed`. False when a write failed (with its message unless
// the file refused it): a full range, or a spacer that found every macro
// number taken; what was written before it stays.
bool ApplyPlan(BuildContext& context, const std::vector<PlannedHotkey>& plan, std::vector<PlacedHotkey>& placed) {
  IniDocument& file = context.character.Document();
  for (const PlannedHotkey& planned : plan) {
    const SlotCode at = context.cursor.code;
    const bool written = planned.spacer ? AddSpacerMacro(file, context.job, context.cursor, planned.label)
                                        : WriteHotkey(file, context.job, context.cursor, planned.value);
    if (!written) {
      if (!context.character.Failed())
        context.ShowMessage(context.cursor.exhausted ? "not enough slots" : kNoFreeMacro);
      return false;
    }
    const SlotKey slot = GetSlotKey(at);
    PlacedHotkey hotkey = PlacedHotkey::At(at, planned.spacer ? file.Read(slot.section, slot.key) : planned.value);
    hotkey.spacer = planned.spacer;
    hotkey.label = planned.label;
    hotkey.bonus = planned.bonus;
    hotkey.amount = planned.amount;
    hotkey.group = planned.group;
    placed.push_back(std::move(hotkey));
  }
  return true;
}

// What a run writes, for the note of the backup kept before it:
// "build of t.vsk onto Quickbar2 bars 2-7".
std::string RunNote(const char* run, const JobSettings& job) {
  std::string note = std::string(run) + " of " + PathText(FsPath(job.templatePath).filename()) + " onto " +
                     QuickbarSection(job.quickbar) + " bars " + std::to_string(job.firstBar) + "-" +
                     std::to_string(job.lastBar);
  return job.Has(OPT_REVERSE) ? note + " (reverse)" : note;
}

}  // namespace

FileEnd FinishCharacterFile(BuildContext& context, bool save) {
  CharacterFileSession& file = context.character;
  const bool changed = file.Document().Changed();
  bool saved = !file.Failed() && (!save || file.Save());
  std::string error = file.Error();
  file.Close();  // the lock is not kept while the window waits
  if (!saved) {
    context.ShowMessage(std::string(kCannotWriteCharacter) + "\n" + error);
    return FileEnd::Failed;
  }
  return changed ? FileEnd::Changed : FileEnd::Unchanged;
}

RunKind AttemptKind(FileEnd end, bool filled) {
  if (end == FileEnd::Failed) return RunKind::Failed;
  if (!filled) return end == FileEnd::Changed ? RunKind::Partial : RunKind::Failed;  // what fitted is kept
  return end == FileEnd::Changed ? RunKind::Built : RunKind::UpToDate;
}

bool OpenCharacterFile(BuildContext& context, const char* run) {
  CharacterFileSession& file = context.character;
  const std::string& path = context.job.characterPath;
  if (!file.Open(path, context.waits, DisplacedSaveKeeper(path))) return false;
  KeepBackupsOf(file, path, RunNote(run, context.job));
  return true;
}

RunOutcome RunOnCharacterFile(BuildContext& context, const std::function<RunOutcome()>& attempt) {
  std::vector<std::string> notes;  // what every attempt did besides its work (a file put back or kept)
  for (int restart = 0;; ++restart) {
    RunOutcome outcome;
    {
      AttemptRecord record(context);
      outcome = attempt();
      const auto& said = context.character.Notes();
      notes.insert(notes.end(), said.begin(), said.end());
      if (context.character.ChangedMeanwhile() && restart < kRestarts) continue;
      if (outcome.kind != RunKind::Built && outcome.kind != RunKind::UpToDate) outcome.reason = record.Last();
      record.Pass();
    }
    if (restart > 0 && !context.character.Failed()) notes.push_back(kBuiltOnNewContent);
    for (const std::string& note : notes) context.ShowMessage(note);
    outcome.notes = std::move(notes);
    return outcome;
  }
}

std::optional<RunOutcome> RefusedRun(BuildContext& context, bool saveRepair) {
  AttemptRecord record(context);
  const bool ready = context.RequireConfig() && LoadTemplate(context, saveRepair);
  record.Pass();
  if (ready) return std::nullopt;
  RunOutcome refused;
  refused.reason = record.Last();
  return refused;
}

RunOutcome RunBuild(BuildContext& context, RunMode mode) {
  const bool write = mode == RunMode::Write;
  if (auto refused = RefusedRun(context, write)) return *refused;  // a preview repairs in memory
  const std::vector<PlannedHotkey> plan =
      PlanBuild(Player(context), context.bonusConfig.get(), context.gemConfig.get(), context.job.Has(OPT_SPACER));
  return RunOnCharacterFile(context, [&context, &plan, write] {
    RunOutcome attempt;
    attempt.planned = plan.size();
    IniDocument& file = context.character.Document();
    if (!OpenCharacterFile(context, "build")) {
      FinishCharacterFile(context, false);
      attempt.kind = RunKind::Failed;
      return attempt;
    }
    attempt.before = ReadSlotRange(file, context.job);
    const bool filled = ClearSlotRange(file, context.job, context.cursor) && CompactMacros(file) &&
                        ApplyPlan(context, plan, attempt.placed);
    attempt.after = ReadSlotRange(file, context.job);
    attempt.kind = AttemptKind(FinishCharacterFile(context, write), filled);
    if (attempt.kind == RunKind::Failed) attempt.after = attempt.before;  // nothing was written
    return attempt;
  });
}

BarPicture BarsOf(const RunOutcome& outcome, const JobSettings& job) {
  return DescribeBars(job, outcome.before, outcome.after, outcome.placed);
}

bool RunBuildJob(BuildContext& context) {
  const RunKind kind = RunBuild(context, RunMode::Write).kind;
  return kind == RunKind::Built || kind == RunKind::UpToDate;
}
