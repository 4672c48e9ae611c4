// The window menu's "Undo last build...": the newest backup of the
// character file is named, the user asked, the file put back, and the
// outcome said.
#pragma once

#include <functional>
#include <string>

#include "file_waits.h"

class CResultArea;
class MessageBoxSink;
class wxWindow;

/// Asks (over `parent`) whether to put `character` back as its newest backup
/// holds it and, on Yes, does. A missing character or backup, and a failure,
/// are said through `messages`; the outcome shows in `result`, whose bars
/// are dropped once the file is put back (they showed the build undone).
/// `mayWrite` is asked after Yes, before the file is touched (the running
/// game); false ends the undo. True when the file was put back.
bool UndoLastBuild(wxWindow* parent, const std::string& character, const FileWaits& waits, MessageBoxSink& messages,
                   CResultArea& result,
                   const std::function<bool()>& mayWrite);
