// What the command line prints of a run's outcome, in one place: its
// messages on standard error, the summary on standard output, and the exit
// status.
#pragma once

#include <string>

#include "job_settings.h"
#include "run_outcome.h"

/// What a run was about, for the lines printed of its outcome.
struct PrintedSubject {
  RunWork work = RunWork::Build;
  JobSettings job;
  std::string log;          ///< GemTable: the log's path
  bool logWritten = false;  ///< GemTable: the log was written
};

/// Prints `outcome`: its headline and each of its details on standard
/// error, then what the run did on standard output ("wrote 21 recipe
/// hotkeys and 6 spacers to Quickbar2 bars 2-7 of ..."). Returns the exit
/// status: 0 when the run did all it was asked (the gem table: and its log
/// was written), else 1.
int PrintOutcome(const RunOutcome& outcome, const PrintedSubject& subject);
