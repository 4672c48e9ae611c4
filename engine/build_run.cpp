// One build run, in walk order: positions by pass number, items in template
// order, within an item its spacer and then its effects.
#include "build_run.h"

#include <tinyxml.h>
#include <unordered_map>
#include <vector>

#include "backups.h"
#include "build_context.h"
#include "paths.h"
#include "macros.h"
#include "recipe_lookup.h"
#include "slot_cursor.h"
#include "template_loader.h"
#include "xml_text.h"

const char* const kCannotWriteCharacter = "can't write character file";
const char* const kNoFreeMacro = "no free macro number (Macro_0 to Macro_99 are all used)";
const char* const kBuiltOnNewContent = "the game saved the file meanwhile; built on its new content";

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

constexpr int kPasses = 25;
constexpr int kHotkeysPerItem = 4;

const TiXmlElement* Player(const BuildContext& context) {
  return context.templateDoc ? context.templateDoc->FirstChildElement("player") : nullptr;
}

// An effect is made when its `done` attribute begins with a small t.
bool IsMade(const TiXmlElement* effect) {
  const char* done = effect->Attribute("done");
  return done && done[0] == 't';
}

void Report(std::vector<PlacedHotkey>& placedHotkeys, SlotCode code, const std::string& value,
            const TiXmlElement* effect, const char* label, const RecipeIndex& recipes) {
  PlacedHotkey placed = PlacedHotkey::At(code, value);
  if (effect) {
    const char* id = effect->Attribute("id");
    const char* text = TextOf(effect);
    placed.bonus = id ? id : "";
    placed.amount = text ? text : "";
    placed.group = recipes.GroupOf(id);
  } else {
    placed.spacer = true;
    placed.label = label ? label : "";
  }
  placedHotkeys.push_back(std::move(placed));
}

// The crafted items of the template by position (without regard to case), in template order.
using ItemsByPosition = std::unordered_map<std::string, std::vector<const TiXmlElement*>>;

ItemsByPosition CraftedItems(const TiXmlElement* player) {
  ItemsByPosition items;
  for (const TiXmlElement* item = player->FirstChildElement("item"); item; item = item->NextSiblingElement("item")) {
    const char* position = TextOf(item->FirstChildElement("position"));
    if (position && item->FirstChildElement("crafted")) items[NoCaseKey(position)].push_back(item);
  }
  return items;
}

// One crafted item: its spacer labelled `ordText` (OPT_SPACER), then up to
// four recipe hotkeys for effects not yet made; `wrote` tells whether
// anything was written. False when a write failed (range full, no macro
// number, or file refused).
bool FillItem(BuildContext& context, std::vector<PlacedHotkey>& placed, const TiXmlElement* item,
              const char* ordText, int realmIndex, const RecipeIndex& recipes, bool& wrote) {
  IniDocument& file = context.character.Document();
  bool spacerWritten = false;
  int written = 0;
  wrote = false;
  for (const TiXmlElement* effect = item->FirstChildElement("effect"); effect && written < kHotkeysPerItem;
       effect = effect->NextSiblingElement("effect")) {
    if (IsMade(effect)) continue;
    if (!spacerWritten && context.job.Has(OPT_SPACER)) {
      spacerWritten = wrote = true;
      SlotCode at = context.cursor.code;
      std::string label = ordText ? ordText : "";
      if (!AddSpacerMacro(file, context.job, context.cursor, label)) return false;
      SlotKey slot = GetSlotKey(at);
      Report(placed, at, file.Read(slot.section, slot.key), nullptr, ordText, recipes);
    }
    std::string hotkey = recipes.Lookup(effect->Attribute("id"), TextOf(effect), realmIndex);
    if (hotkey.empty()) continue;
    SlotCode at = context.cursor.code;
    if (!WriteHotkey(file, context.job, context.cursor, hotkey)) return false;
    wrote = true;
    Report(placed, at, hotkey, effect, nullptr, recipes);
    ++written;
  }
  return true;
}

// Every crafted item at one position, in template order. An item that wrote
// nothing is dropped from `items`: it writes nothing at any later position of
// that name either, and so every visit of an item costs a slot, which keeps a
// run short whatever the files hold. False when a write failed.
bool FillPosition(BuildContext& context, std::vector<PlacedHotkey>& placed, std::vector<const TiXmlElement*>& items,
                  const char* ordText, int realmIndex, const RecipeIndex& recipes) {
  std::size_t kept = 0;
  for (const TiXmlElement* item : items) {
    bool wrote;
    if (!FillItem(context, placed, item, ordText, realmIndex, recipes, wrote)) return false;
    if (wrote) items[kept++] = item;
  }
  items.resize(kept);
  return true;
}

// The realm, then 25 passes (n = 0..24) over the position order. False
// when a write failed (with its message unless the file refused it).
bool FillBars(BuildContext& context, std::vector<PlacedHotkey>& placed) {
  const TiXmlElement* player = Player(context);
  if (!player) return false;  // LoadTemplate refuses such a file
  int realm = RealmIndexOf(TextOf(player->FirstChildElement("realm")));
  const TiXmlElement* order = nullptr;
  if (context.gemConfig) {
    const TiXmlElement* data = context.gemConfig->FirstChildElement("data");
    order = data ? data->FirstChildElement("order") : nullptr;
  }
  if (!order) return true;
  const RecipeIndex recipes(context.bonusConfig.get(), context.gemConfig.get());
  ItemsByPosition items = CraftedItems(player);
  // The positions of each pass, in document order (an ord without n is never used).
  std::vector<std::vector<const TiXmlElement*>> passes(kPasses);
  for (const TiXmlElement* ord = order->FirstChildElement("ord"); ord; ord = ord->NextSiblingElement("ord")) {
    const char* n = ord->Attribute("n");
    std::int32_t pass = n ? LeadingInt(n) : -1;
    if (pass >= 0 && pass < kPasses) passes[static_cast<std::size_t>(pass)].push_back(ord);
  }
  for (const auto& pass : passes) {
    for (const TiXmlElement* ord : pass) {
      const char* id = ord->Attribute("id");
      auto at = id ? items.find(NoCaseKey(id)) : items.end();
      if (at == items.end() || FillPosition(context, placed, at->second, TextOf(ord), realm, recipes)) continue;
      // A failed write without a refusal is a full range, or else a spacer
      // that found every macro number taken.
      if (!context.character.Failed())
        context.ShowMessage(context.cursor.exhausted ? "not enough slots" : kNoFreeMacro);
      return false;
    }
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

int RealmIndexOf(const char* realmText) {
  switch (realmText ? realmText[0] : '\0') {
    case 'M': case 'm': return 1;
    case 'H': case 'h': return 2;
    default: return 0;
  }
}

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
    for (const std::string& note : notes) context.ShowMessage(note);
    if (restart > 0 && !context.character.Failed()) context.ShowMessage(kBuiltOnNewContent);
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
  return RunOnCharacterFile(context, [&context, write] {
    RunOutcome attempt;
    IniDocument& file = context.character.Document();
    if (!OpenCharacterFile(context, "build")) {
      FinishCharacterFile(context, false);
      attempt.kind = RunKind::Failed;
      return attempt;
    }
    attempt.before = ReadSlotRange(file, context.job);
    const bool filled = ClearSlotRange(file, context.job, context.cursor) && CompactMacros(file) &&
                        FillBars(context, attempt.placed);
    attempt.after = ReadSlotRange(file, context.job);
    const FileEnd end = FinishCharacterFile(context, write);
    if (end == FileEnd::Failed) {
      attempt.after = attempt.before;  // nothing was written
      attempt.kind = RunKind::Failed;
    } else if (!filled) {
      attempt.kind = end == FileEnd::Changed ? RunKind::Partial : RunKind::Failed;  // what fitted is kept
    } else {
      attempt.kind = end == FileEnd::Changed ? RunKind::Built : RunKind::UpToDate;
    }
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
