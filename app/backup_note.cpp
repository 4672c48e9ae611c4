#include "backup_note.h"

#include <regex>
#include <wx/translation.h>

#include "wx_text.h"

wxString DescribeBackupNote(const std::string& note) {
  static const std::regex run("(build|gem table) of (.*) onto (Quickbar[0-9]*) bars ([0-9]+)-([0-9]+)( \\(reverse\\))?");
  static const std::regex restore("before restoring the backup of (.*)");
  static const std::regex displaced("the game's save, displaced by a run at (.*)");
  std::smatch m;
  if (std::regex_match(note, m, run)) {
    wxString range = wxString::FromUTF8(m[4].str() + "\xE2\x80\x93" + m[5].str());
    wxString text = wxString::Format(m[1] == "build" ? _("build of %s onto %s bars %s") : _("gem table of %s onto %s bars %s"),
                                     ToWx(m[2].str()), ToWx(m[3].str()), range);
    return m[6].matched ? text + " " + _("(reverse)") : text;
  }
  if (std::regex_match(note, m, restore))
    return wxString::Format(_("before restoring the backup of %s"), ToWx(m[1].str()));
  if (std::regex_match(note, m, displaced))
    return wxString::Format(_("the game's save, displaced by a run at %s"), ToWx(m[1].str()));
  if (note == "before the repair of its <Keiner> markers") return _("before the repair of its <Keiner> markers");
  if (note == "(no note)") return _("(no note)");
  return ToWx(note);
}
