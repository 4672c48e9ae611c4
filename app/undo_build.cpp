#include "undo_build.h"

#include <vector>
#include <wx/translation.h>
#include <wx/utils.h>

#include "backup_note.h"
#include "backups.h"
#include "message_box_sink.h"
#include "result_area.h"
#include "wx_text.h"

bool UndoLastBuild(wxWindow* parent, const std::string& character, const FileWaits& waits, MessageBoxSink& messages,
                   CResultArea& result,
                   const std::function<bool()>& mayWrite) {
  std::vector<BackupInfo> backups = ListBackups(character);
  if (character.empty() || backups.empty()) {
    wxString none = character.empty() ? _("No character chosen.") : _("There is no backup of %s.");
    messages.ShowText(wxString::Format(none, ToWx(character)));
    return false;
  }
  const BackupInfo& newest = backups.front();
  wxString question = wxString::Format(_("Put %s back as it was at %s?\n\nAfter that: %s\n\nIts current content is "
                                         "kept as a backup first, so this can be undone too."),
                                       ToWx(character), newest.time, DescribeBackupNote(newest.note));
  if (!AskYesNo(parent, question) || !mayWrite()) return false;
  // The backup confirmed, even when a run kept a newer one meanwhile.
  RestoreResult restored;
  {
    wxBusyCursor busy;
    restored = RestoreBackup(character, newest, waits);
  }
  const Reason failure = Lines(Reason::Plain(kCannotRestore), restored.error);
  if (!restored.ok) messages.ShowMessage(failure);
  for (const Reason& note : restored.notes) messages.ShowMessage(note);  // after the failure, as a build's
  if (!restored.ok) {
    result.Show(CResultArea::FAILURE, ResultLineOf(ShownMessage(failure)));
    return false;
  }
  result.KeepBars(std::nullopt);
  const wxString done = restored.changed ? _("%s put back as it was at %s")
                                         : _("%s already held what it had at %s; nothing was changed.");
  result.Show(CResultArea::SUCCESS, wxString::Format(done, ToWx(character), newest.time));
  return true;
}
