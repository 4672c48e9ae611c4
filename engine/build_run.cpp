// One build run: the plan applied to the character file at the walk's slots,
// saved once, started over when the game saved meanwhile.
#include "build_run.h"

#include <tinyxml.h>
#include <unordered_map>
#include <vector>

#include "backups.h"
#include "build_context.h"
#include "config_files.h"
#include "paths.h"
#include "reason_text.h"
#include "macros.h"
#include "recipe_lookup.h"
#include "slot_cursor.h"
#include "template_loader.h"
#include "xml_text.h"

const char* const kCannotWriteCharacter = "can't write character file";
const char* const kNoFreeMacro = "no free macro number (Macro_0 to Macro_99 are all used)";

namespace {

constexpr int kRestarts = 3;

// How the work on the character file ended.
enum class FileEnd { Changed, Unchanged, Failed };
struct FileFinish {
  FileEnd end = FileEnd::Failed;
  Reason failure;  // for Failed: "can't write character file", the reason on the next line
};

// Saves the character file when `save` is set and nothing failed, then
// closes it: Changed when its bytes changed (saved, unless not `save`),
// Unchanged when they are what was read, Failed when anything failed.
FileFinish FinishCharacterFile(BuildContext& context, bool save) {
  CharacterFileSession& file = context.character;
  const bool changed = file.Document().Changed();
  bool saved = !file.Failed() && (!save || file.Save());
  Reason error = file.Error();
  file.Close();  // the lock is not kept while the window waits
  if (!saved) return {FileEnd::Failed, Lines(Reason::Plain(kCannotWriteCharacter), std::move(error))};
  return {changed ? FileEnd::Changed : FileEnd::Unchanged, {}};
}

RunKind AttemptKind(FileEnd end, bool filled) {
  if (end == FileEnd::Failed) return RunKind::Failed;
  if (!filled) return end == FileEnd::Changed ? RunKind::Partial : RunKind::Failed;  // what fitted is kept
  return end == FileEnd::Changed ? RunKind::Built : RunKind::UpToDate;
}

}  // namespace

RunOutcome EndAttempt(BuildContext& context, RunOutcome attempt, bool save, bool filled, Reason stop) {
  FileFinish finish = FinishCharacterFile(context, save);
  attempt.kind = AttemptKind(finish.end, filled);
  attempt.headline = finish.end == FileEnd::Failed ? std::move(finish.failure) : std::move(stop);
  if (attempt.kind == RunKind::Failed) attempt.after = attempt.before;  // nothing was written
  return attempt;
}

PlanApplied ApplyPlan(BuildContext& context, const std::vector<PlannedHotkey>& plan, std::vector<PlacedHotkey>& placed) {
  IniDocument& file = context.character.Document();
  for (const PlannedHotkey& planned : plan) {
    const SlotCode at = context.cursor.code;
    const bool written = planned.spacer ? AddSpacerMacro(file, context.job, context.cursor, planned.label)
                                        : WriteHotkey(file, context.job, context.cursor, planned.value);
    if (!written) {
      if (context.character.Failed()) return {false, {}, at};
      return {false, Reason::Plain(context.cursor.exhausted ? "not enough slots" : kNoFreeMacro), at};
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
  return {};
}

bool OpenCharacterFile(BuildContext& context, BackupNote::Kind run) {
  CharacterFileSession& file = context.character;
  const std::string& path = context.job.characterPath;
  if (!file.Open(path, context.waits, DisplacedSaveKeeper(path))) return false;
  // What the run is about to write, for the note of the backup kept before it.
  KeepBackupsOf(file, path, BackupNote::Run(run, PathText(FsPath(context.job.templatePath).filename()), context.job));
  return true;
}

RunOutcome RunOnCharacterFile(BuildContext& context, const std::function<RunOutcome()>& attempt) {
  std::vector<Reason> notes;  // what every attempt did besides its work (a file put back or kept)
  for (int restart = 0;; ++restart) {
    RunOutcome outcome = attempt();
    const auto& said = context.character.Notes();
    notes.insert(notes.end(), said.begin(), said.end());
    if (context.character.ChangedMeanwhile() && restart < kRestarts) continue;
    if (restart > 0 && !context.character.Failed()) notes.push_back(reason::kBuiltOnNewContent);
    outcome.details = std::move(notes);
    return outcome;
  }
}

LoadedTemplate TemplateForRun(const BuildContext& context, bool saveRepair) {
  if (context.ConfigLoaded()) return LoadTemplate(context, saveRepair);
  LoadedTemplate none;
  none.reason = Reason::Plain(kConfigNotLoaded);
  return none;
}

RunOutcome RefusedRun(Reason why) {
  RunOutcome refused;
  refused.headline = std::move(why);
  return refused;
}

RunOutcome RunBuild(BuildContext& context, RunMode mode) {
  const bool write = mode == RunMode::Write;
  const LoadedTemplate loaded = TemplateForRun(context, write);  // a preview repairs in memory
  if (!loaded.reason.empty()) return RefusedRun(loaded.reason);
  const std::vector<PlannedHotkey> plan = PlanBuild(loaded.Player(), context.config.get(), context.job.Has(OPT_SPACER));
  return RunOnCharacterFile(context, [&context, &plan, write] {
    RunOutcome attempt;
    attempt.planned = plan.size();
    IniDocument& file = context.character.Document();
    if (!OpenCharacterFile(context, BackupNote::Kind::Build))
      return EndAttempt(context, std::move(attempt), false, false, {});
    attempt.before = ReadSlotRange(file, context.job);
    PlanApplied applied{false, {}, 0};
    if (ClearSlotRange(file, context.job, context.cursor) && CompactMacros(file))
      applied = ApplyPlan(context, plan, attempt.placed);
    attempt.after = ReadSlotRange(file, context.job);
    return EndAttempt(context, std::move(attempt), write, applied.filled, std::move(applied.stop));
  });
}

BarPicture BarsOf(const RunOutcome& outcome, const JobSettings& job) {
  return DescribeBars(job, outcome.before, outcome.after, outcome.placed);
}
