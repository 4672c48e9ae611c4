#include "undo_build.h"

#include <vector>
#include <wx/translation.h>
#include <wx/utils.h>

#include "backups.h"
#include "message_box_sink.h"
#include "wx_text.h"

bool UndoLastBuild(wxWindow* parent, const OutcomeSubject& subject, const FileWaits& waits, MessageBoxSink& boxes,
                   CResultArea& result, const std::function<bool()>& mayWrite) {
  const std::string& character = subject.job.characterPath;
  std::vector<BackupInfo> backups = ListBackups(character);
  if (character.empty() || backups.empty()) {
    wxString none = character.empty() ? _("No character chosen.") : _("There is no backup of %s.");
    boxes.ShowText(wxString::Format(none, ToWx(character)));
    return false;
  }
  const BackupInfo& newest = backups.front();
  wxString question = wxString::Format(_("Put %s back as it was at %s?\n\nAfter that: %s\n\nIts current content is "
                                         "kept as a backup first, so this can be undone too."),
                                       ToWx(character), newest.time, ShownMessage(DescribeBackupNote(newest.note)));
  if (!AskYesNo(parent, question) || !mayWrite()) return false;
  // The backup confirmed, even when a run kept a newer one meanwhile.
  RunOutcome restored;
  {
    wxBusyCursor busy;
    restored = RestoreBackup(character, newest, waits);
  }
  PresentOutcome(restored, subject, boxes, result);
  return Succeeded(restored.kind);
}
