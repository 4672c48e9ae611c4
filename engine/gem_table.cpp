#include "gem_table.h"

#include <cstdint>
#include <tinyxml.h>
#include <utility>
#include <vector>

#include "build_context.h"
#include "build_run.h"
#include "config_index.h"
#include "environment.h"
#include "file_replace.h"
#include "macros.h"
#include "recipe_lookup.h"
#include "template_loader.h"
#include "xml_text.h"

const char* const kGemTableLog = "sc_log.txt";

namespace {

using GemEntry = ConfigIndex::RealmGem;

// Ascending by recipe number. This exact exchange sort decides where equal
// numbers end up (3, 3, 1 becomes 1, the second 3, the first 3), and the
// log's order must not change between versions. Its first `count` places
// are final after as many rounds, and a run uses no more than the range's
// slots and one: the rest is left unsorted, so a large table costs count x n,
// not n x n.
void SortByRecipe(std::vector<GemEntry>& gems, std::size_t count) {
  for (std::size_t i = 0; i + 1 < gems.size() && i < count; ++i)
    for (std::size_t f = i + 1; f < gems.size(); ++f)
      if (gems[i].recipe > gems[f].recipe) std::swap(gems[i], gems[f]);
}

void AppendLogLines(std::string& log, SlotCode at, const GemEntry& gem, const std::string& hotkey) {
  if (at % 10 == 0)
    log += "--- Bar " + std::to_string(at / 1000) + " - " + std::to_string(at % 1000 / 10) + "\n";
  log += std::to_string(at % 10 + 1) + " - " + std::string(gem.id) + " - " + std::to_string(gem.recipe) + " - " + hotkey + "\n";
}

// The table's hotkeys in order: the gem's recipe at its lowest level, named after the gem.
std::vector<PlannedHotkey> PlanGemTable(const std::vector<GemEntry>& gems) {
  std::vector<PlannedHotkey> plan;
  plan.reserve(gems.size());
  for (const GemEntry& gem : gems) {
    PlannedHotkey hotkey;
    hotkey.value = FormatRecipeHotkey(2LL * gem.recipe, 0);
    hotkey.label = std::string(gem.id);
    plan.push_back(std::move(hotkey));
  }
  return plan;
}

// The log of a table written as `applied` says: a line per gem placed, and
// one for the first that no longer fitted.
std::string GemTableLog(const std::vector<GemEntry>& gems, const std::vector<PlacedHotkey>& placed,
                        const std::vector<PlannedHotkey>& plan, const PlanApplied& applied) {
  std::string log;
  for (std::size_t i = 0; i < placed.size(); ++i) AppendLogLines(log, placed[i].code, gems[i], placed[i].value);
  if (!applied.filled && placed.size() < gems.size())
    AppendLogLines(log, applied.stoppedAt, gems[placed.size()], plan[placed.size()].value);
  return log;
}

}  // namespace

GemTableResult RunGemTest(BuildContext& context, const std::string& logPath) {
  GemTableResult result;
  const LoadedTemplate loaded = TemplateForRun(context, true);
  if (!loaded.reason.empty()) {
    result.run = RefusedRun(loaded.reason);
    return result;
  }
  std::vector<GemEntry> gems = context.config->GemsOf(RealmIndexOf(TextOf(loaded.Player()->FirstChildElement("realm"))));
  const JobSettings& job = context.job;
  SortByRecipe(gems, static_cast<std::size_t>(job.lastBar - job.firstBar + 1) * 10 + 1);
  const std::vector<PlannedHotkey> plan = PlanGemTable(gems);
  std::string log;
  result.run = RunOnCharacterFile(context, [&] {
    RunOutcome attempt;
    attempt.planned = plan.size();
    Reason end;  // the range ended before the table
    IniDocument& file = context.character.Document();
    JobSettings clearing = context.job;
    clearing.options |= OPT_CLEANUP;  // the table always starts from an empty range
    log.clear();
    if (OpenCharacterFile(context, BackupNote::Kind::GemTable)) {
      attempt.before = ReadSlotRange(file, context.job);
      if (ClearSlotRange(file, clearing, context.cursor) && CompactMacros(file)) {
        const PlanApplied applied = ApplyPlan(context, plan, attempt.placed);
        log = GemTableLog(gems, attempt.placed, plan, applied);
        if (!applied.stop.empty()) end = Reason::Plain("end of qbar");
      }
      attempt.after = ReadSlotRange(file, context.job);
    }
    return EndAttempt(context, std::move(attempt), true, true, std::move(end));  // a full range is no failure here
  });
  if (Succeeded(result.run.kind)) result.logWritten = ReplaceFileAtomically(logPath, WithTextLineEnds(log));
  return result;
}
