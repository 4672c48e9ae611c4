#include "message_box_sink.h"

#include <wx/msgdlg.h>
#include <wx/translation.h>
#include <wx/utils.h>
#ifdef __WXGTK__
#include <wx/generic/msgdlgg.h>
#endif

#include <string>

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

wxString ShownMessage(const Reason& message) {
  // The catalog's texts reach it as UTF-8 and come back so, keeping every
  // character of a path or a name in the fields between them.
  return wxString::FromUTF8(message.Text([](const std::string& english) {
    return wxGetTranslation(wxString::FromUTF8(english)).utf8_string();
  }));
}

void MessageBoxSink::ShowMessage(const Reason& message) { ShowText(ShownMessage(message)); }

void MessageBoxSink::ShowText(const wxString& shown) {
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
