#include "outcome_print.h"

#include <iostream>

#include "printable.h"

namespace {

// "Quickbar2 bars 2-7 of <file>".
std::string RangeOfFile(const JobSettings& job) {
  return DescribeBarRange(job).Text() + " of " + PrintablePath(job.characterPath);
}

// A build's (or a preview's) hotkeys: "21 recipe hotkeys and 6 spacers", "only 10 of 27 hotkeys: ..." when not all fitted.
void PrintWritten(const RunOutcome& outcome, const PrintedSubject& subject, bool partial) {
  const std::size_t spacers = CountSpacers(outcome.placed);
  std::cout << (subject.work == RunWork::Preview ? "would write " : "wrote ");
  if (partial) std::cout << "only " << outcome.placed.size() << " of " << outcome.planned << " hotkeys: ";
  std::cout << outcome.placed.size() - spacers << " recipe hotkeys and " << spacers << " spacers to "
            << RangeOfFile(subject.job) << '\n';
}

// A run that wrote what it meant to (`changed`), or found it written already.
int PrintDone(const RunOutcome& outcome, const PrintedSubject& subject, bool changed) {
  switch (subject.work) {
    case RunWork::Build:
    case RunWork::Preview:
      if (changed)
        PrintWritten(outcome, subject, false);
      else
        std::cout << (subject.work == RunWork::Preview ? "would write nothing: " : "nothing to write: ")
                  << RangeOfFile(subject.job) << " already hold this template\n";
      return 0;
    case RunWork::GemTable:
      if (!subject.logWritten) {
        std::cerr << "can't write " << PrintablePath(subject.log) << std::endl;
        return 1;
      }
      std::cout << "wrote the gem table to " << PrintablePath(subject.log) << '\n';
      return 0;
    case RunWork::Restore:
      if (changed)
        std::cout << "restored " << PrintablePath(subject.job.characterPath) << " to the backup of " << outcome.backupTime
                  << "; what it held before is backup 1 now (restore it to undo this)\n";
      else
        std::cout << PrintablePath(subject.job.characterPath) << " already holds the backup of " << outcome.backupTime
                  << "; nothing changed\n";
      return 0;
  }
  return 1;
}

}  // namespace

int PrintOutcome(const RunOutcome& outcome, const PrintedSubject& subject) {
  if (!outcome.headline.empty()) std::cerr << PrintableLines(outcome.headline.Text()) << std::endl;
  for (const Reason& detail : outcome.details) std::cerr << PrintableLines(detail.Text()) << std::endl;
  switch (outcome.kind) {
    case RunKind::Built:
      return PrintDone(outcome, subject, true);
    case RunKind::UpToDate:
      return PrintDone(outcome, subject, false);
    case RunKind::Partial:
      // Only a build ends so: what fitted was written, and the run failed.
      if (subject.work == RunWork::Build || subject.work == RunWork::Preview) PrintWritten(outcome, subject, true);
      return 1;
    case RunKind::Refused:
    case RunKind::Failed:
      return 1;
  }
  return 1;
}
