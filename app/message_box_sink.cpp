#include "message_box_sink.h"

#include <wx/arrstr.h>
#include <wx/msgdlg.h>
#include <wx/translation.h>
#include <wx/utils.h>
#ifdef __WXGTK__
#include <wx/generic/msgdlgg.h>
#endif

#include <string>
#include <vector>

#include "reason_text.h"
#include "settings_store.h"
#include "wx_text.h"

namespace {

template <class Box>
int ShowBox(wxWindow* parent, const wxString& text, long style = wxOK | wxICON_EXCLAMATION) {
  Box box(parent, text, ToWx(ApplicationName()), style | wxCENTRE);
  // Escape and the close box answer No, as they do in the system's own box.
  if (style & wxYES_NO) box.SetEscapeId(wxID_NO);
  return box.ShowModal();
}

}  // namespace

bool AskYesNo(wxWindow* parent, const wxString& text, DefaultAnswer answer) {
  const long style = wxYES_NO | (answer == DefaultAnswer::No ? wxNO_DEFAULT : wxYES_DEFAULT) | wxICON_QUESTION;
#ifdef __WXGTK__
  // Without a parent GTK's own box cannot be placed (see ShowMessage).
  if (!parent) return ShowBox<wxGenericMessageDialog>(nullptr, text, style) == wxID_YES;
#endif
  return ShowBox<wxMessageDialog>(parent, text, style) == wxID_YES;
}

namespace {

// A field of a reason, translated when it is a text of the catalogs (a system error's).
wxString TranslatedField(const std::string& field) {
  const wxString text = ToWx(field);
  return text.empty() ? text : wxGetTranslation(text);
}

// A reason made from one of the engine's formats, in the catalog's
// translation of that format; empty when the line was made from none.
template <std::size_t N>
wxString TranslatedReason(const wxString& line, const char* const (&formats)[N]) {
  const std::string bytes = FromWx(line);
  std::vector<std::string> fields;
  for (const char* format : formats) {
    if (!MatchReason(bytes, format, fields)) continue;
    // The catalog's format filled as the engine fills its own (through
    // UTF-8, which keeps every character of a wx text).
    std::vector<std::string> shown;
    for (const std::string& field : fields) shown.push_back(TranslatedField(field).utf8_string());
    return wxString::FromUTF8(FillReason(wxGetTranslation(format).utf8_string().c_str(), shown));
  }
  return wxString();
}

// A reason in the user's language: a text of the catalogs, or one made from
// one of the engine's formats; empty when the catalogs know neither.
wxString TranslatedWhole(const wxString& text) {
  if (text.empty()) return text;  // the empty text would give the catalog's header
  const wxString whole = wxGetTranslation(text);
  return whole != text ? whole : TranslatedReason(text, kReasonFormats);
}

// A line after a message's first, in the user's language where the catalogs
// know it: the whole line, or the reason behind "<path>: " (the path may
// hold ": " itself, and the reason too: the first split whose rest is a
// reason the catalogs know is taken), or else the text behind the last ": "
// (a parser's, with the place it stopped).
wxString TranslatedLine(const wxString& line) {
  wxString reason = TranslatedWhole(line);
  if (!reason.empty()) return reason;
  for (std::size_t colon = line.find(": "); colon != wxString::npos; colon = line.find(": ", colon + 1)) {
    reason = TranslatedWhole(line.Mid(colon + 2));
    if (!reason.empty()) return line.Left(colon + 2) + reason;
  }
  const std::size_t colon = line.rfind(": ");
  if (colon == wxString::npos || colon + 2 == line.size()) return line;
  const wxString behind = line.Mid(colon + 2);
  const char* const stopped[] = {reason::kStoppedAt};
  reason = TranslatedReason(behind, stopped);
  return line.Left(colon + 2) + (reason.empty() ? wxGetTranslation(behind) : reason);
}

}  // namespace

wxString ShownMessage(const std::string& text) {
  wxArrayString lines = wxSplit(ToWx(text), '\n', '\0');
  wxString shown;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // The first line is the program's fixed message, kept as it is, unless
    // it is one made from a format (a note).
    const wxString note = i ? wxString() : TranslatedReason(lines[i], kReasonFormats);
    shown += (i ? "\n" : "") + (i ? TranslatedLine(lines[i]) : note.empty() ? lines[i] : note);
  }
  return shown;
}

void MessageBoxSink::ShowMessage(const std::string& text) {
  wxString shown = ShownMessage(text);
  // A run shows the busy cursor; its messages do not.
  const bool busy = wxIsBusy();
  if (busy) wxEndBusyCursor();
  Show(shown);
  if (busy) wxBeginBusyCursor();
}

void MessageBoxSink::Show(const wxString& shown) {
#ifdef __WXGTK__
  // GTK's own message box cannot be placed: without a parent window it
  // lands wherever the window manager (or, without one, the screen's
  // corner) puts it. Start-up messages take the toolkit's portable box,
  // centred on the screen.
  if (!m_parent) {
    ShowBox<wxGenericMessageDialog>(nullptr, shown);
    return;
  }
#endif
  ShowBox<wxMessageDialog>(m_parent, shown);
}
