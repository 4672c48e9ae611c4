#include "run_outcome.h"

PlacedHotkey PlacedHotkey::At(SlotCode code, const std::string& value) {
  PlacedHotkey placed;
  SlotKey slot = GetSlotKey(code);
  placed.code = code;
  placed.section = slot.section;
  placed.key = slot.key;
  placed.value = value;
  return placed;
}

std::size_t CountSpacers(const std::vector<PlacedHotkey>& placed) {
  std::size_t spacers = 0;
  for (const PlacedHotkey& p : placed) spacers += p.spacer ? 1 : 0;
  return spacers;
}

bool Wrote(RunKind kind) {
  switch (kind) {
    case RunKind::Built:
    case RunKind::Partial:
      return true;
    case RunKind::UpToDate:
    case RunKind::Refused:
    case RunKind::Failed:
      return false;
  }
  return false;
}

bool Succeeded(RunKind kind) {
  switch (kind) {
    case RunKind::Built:
    case RunKind::UpToDate:
      return true;
    case RunKind::Partial:
    case RunKind::Refused:
    case RunKind::Failed:
      return false;
  }
  return false;
}

bool HoldsPlaced(RunKind kind) { return Wrote(kind) || Succeeded(kind); }

Reason DescribeBarRange(const JobSettings& job, const char* dash) {
  const Reason numbers = Reason::Plain(std::to_string(job.firstBar) + dash + std::to_string(job.lastBar));
  return Reason(job.Has(OPT_REVERSE) ? R_("%s bars %s (reverse)") : R_("%s bars %s"),
                {Reason::Plain(QuickbarSection(job.quickbar)), numbers});
}
