// The bars of a run's range as the game shows them: ten slots per bar, each
// with what it holds after the run and whether the run removed or replaced
// a key that was there. A plain description, drawn by the window and
// printed by the command line.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ini_document.h"
#include "job_settings.h"
#include "run_outcome.h"

/// What a slot holds after the run.
enum class SlotContent {
  Empty,
  Recipe,  ///< a recipe hotkey the run placed
  Spacer,  ///< a spacer macro's hotkey the run placed
  Kept     ///< a key of the player's that stays
};

struct PictureSlot {
  SlotContent content = SlotContent::Empty;
  /// A recipe's bonus and amount ("str 22", or the gem's name in the gem
  /// table); a spacer's item label; a kept key's own name ("Slam"), if it has one.
  std::string label;
  int kind = 0;           ///< a kept key's kind: its value's leading number (52 a macro)
  std::string group;      ///< a recipe's bonus group ("stat", "resist", "skill", "hits", "power", "focus"...)
  bool replaced = false;  ///< the slot held a key that the run removed or replaced
  std::string before;     ///< that key's value
  int order = 0;          ///< the slot's place in the walk over the range, from 1
};

struct PictureBar {
  int quickbar = 0, bar = 0;  ///< 1-3, 1-10
  bool touched = false;       ///< the run changed any of its slots
  std::array<PictureSlot, 10> slots;
};

/// The bars of the range, top to bottom in bar order.
struct BarPicture {
  std::vector<PictureBar> bars;
  bool reverse = false;  ///< the walk goes from the last bar to the first
};

/// The name of a kept key's `kind` when it has one ("macro" for 52,
/// "recipe" for 45; marked for the catalogs), else null.
const char* KindName(int kind);

/// The values of the job's bar range in `file`.
SlotValues ReadSlotRange(const IniDocument& file, const JobSettings& job);

/// The range's bars from what its slots held `before` and hold `after` a
/// run, and the hotkeys the run `placed`.
BarPicture DescribeBars(const JobSettings& job, const SlotValues& before, const SlotValues& after,
                        const std::vector<PlacedHotkey>& placed);

/// The range's bars as `file` holds them now, when any of the hotkeys a
/// build `placed` is no longer in its slot (another program, the game at a
/// character's logout, wrote the file over); none while they all are.
/// Slots that held a placed hotkey show as replaced.
std::optional<BarPicture> OverwrittenBars(const IniDocument& file, const JobSettings& job,
                                          const std::vector<PlacedHotkey>& placed);

