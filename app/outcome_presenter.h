// What the window says of a run's outcome, in one place: its message boxes,
// the result line and picture, "Show bars", and the preview's summary.
#pragma once

#include <string>
#include <wx/string.h>

#include "job_settings.h"
#include "run_outcome.h"

class CResultArea;
class MessageBoxSink;

/// What a run was about, for the words said of its outcome.
struct OutcomeSubject {
  RunWork work = RunWork::Build;
  JobSettings job;
  wxString character;       ///< the character's name
  std::string log;          ///< GemTable: the log's path
  bool logWritten = false;  ///< GemTable: the log was written
};

/// The outcome in one line, in the window's language: the result line (for
/// a failure the reason under its headline's fixed first line), or the
/// preview's summary.
wxString DescribeOutcome(const RunOutcome& outcome, const OutcomeSubject& subject);

/// Says `outcome`'s headline and then each of its details in a message box
/// of its own.
void SayMessages(const RunOutcome& outcome, MessageBoxSink& boxes);

/// Says `outcome`: SayMessages; then, but for a preview (its window says
/// the rest), the line with the success or failure picture, and "Show bars"
/// for the bars a build or gem table left in the file (a restore drops them
/// once it put the file back: they showed what it undid).
void PresentOutcome(const RunOutcome& outcome, const OutcomeSubject& subject, MessageBoxSink& boxes,
                    CResultArea& result);
