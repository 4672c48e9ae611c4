#include "outcome_presenter.h"

#include <wx/translation.h>

#include "bar_picture.h"
#include "build_run.h"
#include "message_box_sink.h"
#include "paths.h"
#include "result_area.h"
#include "wx_text.h"

namespace {

// The bar range as the window writes it: "Quickbar2 bars 2–7".
wxString BarRange(const JobSettings& job) { return ShownMessage(DescribeBarRange(job, "\xE2\x80\x93")); }

// What a build wrote: "21 recipe hotkeys and 6 spacers written to Quickbar2 bars 2–7".
wxString DescribeBuilt(const RunOutcome& outcome, const JobSettings& job) {
  const std::size_t spacers = CountSpacers(outcome.placed);
  const std::size_t recipes = outcome.placed.size() - spacers;
  const wxString hotkeys = wxString::Format(wxPLURAL("%zu recipe hotkey", "%zu recipe hotkeys", recipes), recipes);
  const wxString spacerText = wxString::Format(wxPLURAL("%zu spacer", "%zu spacers", spacers), spacers);
  return wxString::Format(_("%s and %s written to %s"), hotkeys, spacerText, BarRange(job));
}

// What GO would write, by a preview: "GO would write 27 hotkeys; no file was changed."
wxString DescribeWouldWrite(const RunOutcome& outcome) {
  const std::size_t placed = outcome.placed.size();
  return wxString::Format(
      wxPLURAL("GO would write %zu hotkey; no file was changed.", "GO would write %zu hotkeys; no file was changed.", placed),
      placed);
}

wxString DescribeGemTable(const OutcomeSubject& subject) {
  return subject.logWritten ? wxString::Format(_("%s written to %s"), ToWx(NameOf(subject.log)), ToWx(FolderOf(subject.log)))
                            : wxString::Format(_("The hotkeys were written, but %s could not be."), ToWx(subject.log));
}

wxString DescribeRestored(const RunOutcome& outcome, const OutcomeSubject& subject, bool changed) {
  const wxString done =
      changed ? _("%s put back as it was at %s") : _("%s already held what it had at %s; nothing was changed.");
  return wxString::Format(done, ToWx(subject.job.characterPath), ToWx(outcome.backupTime));
}

// A run that wrote what it meant to (or found it written already).
wxString DescribeDone(const RunOutcome& outcome, const OutcomeSubject& subject, bool changed) {
  switch (subject.work) {
    case RunWork::Build:
      return changed ? DescribeBuilt(outcome, subject.job)
                     : wxString::Format(_("Nothing to write: %s's %s already hold this template."), subject.character,
                                        BarRange(subject.job));
    case RunWork::Preview:
      return changed ? DescribeWouldWrite(outcome)
                     : wxString::Format(_("GO would write nothing: %s's %s already hold this template."),
                                        subject.character, BarRange(subject.job));
    case RunWork::GemTable:
      return DescribeGemTable(subject);
    case RunWork::Restore:
      return DescribeRestored(outcome, subject, changed);
  }
  return wxString();
}

// A run of which only the first hotkeys fitted (only builds end so).
wxString DescribePartial(const RunOutcome& outcome, const OutcomeSubject& subject) {
  const std::size_t placed = outcome.placed.size();
  switch (subject.work) {
    case RunWork::Build:
      return wxString::Format(wxPLURAL("Only %zu of %zu hotkeys fit into %s; it was written (Undo puts the bars back).",
                                       "Only %zu of %zu hotkeys fit into %s; they were written (Undo puts the bars back).",
                                       placed),
                              placed, outcome.planned, BarRange(subject.job));
    case RunWork::Preview:
      return DescribeWouldWrite(outcome);
    case RunWork::GemTable:
    case RunWork::Restore:
      break;
  }
  return DescribeDone(outcome, subject, true);
}

}  // namespace

wxString DescribeOutcome(const RunOutcome& outcome, const OutcomeSubject& subject) {
  switch (outcome.kind) {
    case RunKind::Built:
      return DescribeDone(outcome, subject, true);
    case RunKind::UpToDate:
      return DescribeDone(outcome, subject, false);
    case RunKind::Partial:
      return DescribePartial(outcome, subject);
    case RunKind::Refused:
    case RunKind::Failed:
      return ShownMessage(outcome.headline.Why());
  }
  return wxString();
}

void SayMessages(const RunOutcome& outcome, MessageBoxSink& boxes) {
  if (!outcome.headline.empty()) boxes.ShowMessage(outcome.headline);
  for (const Reason& detail : outcome.details) boxes.ShowMessage(detail);
}

void PresentOutcome(const RunOutcome& outcome, const OutcomeSubject& subject, MessageBoxSink& boxes,
                    CResultArea& result) {
  SayMessages(outcome, boxes);
  switch (subject.work) {
    case RunWork::Preview:
      return;
    case RunWork::Build:
    case RunWork::GemTable:
      result.KeepBars(HoldsPlaced(outcome.kind) ? std::optional<BarPicture>(BarsOf(outcome, subject.job)) : std::nullopt);
      break;
    case RunWork::Restore:
      if (Succeeded(outcome.kind)) result.KeepBars(std::nullopt);
      break;
  }
  result.Show(Succeeded(outcome.kind) ? CResultArea::SUCCESS : CResultArea::FAILURE, DescribeOutcome(outcome, subject));
}
