// The window menu's "Undo last build...": the newest backup of the
// character file is named, the user asked, the file put back, and the
// outcome said.
#pragma once

#include <functional>

#include "file_waits.h"
#include "outcome_presenter.h"

class CResultArea;
class MessageBoxSink;
class wxWindow;

/// Asks (over `parent`) whether to put the character file of `subject`'s job
/// back as its newest backup holds it and, on Yes, does. A missing
/// character or backup is said in a box of `boxes`; the restore's outcome
/// is presented in them and in `result`, as a run's is. `mayWrite` is asked
/// after Yes, before the file is touched (the running game); false ends the
/// undo. True when the file holds the backup's bytes.
bool UndoLastBuild(wxWindow* parent, const OutcomeSubject& subject, const FileWaits& waits, MessageBoxSink& boxes,
                   CResultArea& result, const std::function<bool()>& mayWrite);
