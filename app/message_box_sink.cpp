#include "message_box_sink.h"

#include <wx/msgdlg.h>
#include <wx/utils.h>
#ifdef __WXGTK__
#include <wx/generic/msgdlgg.h>
#endif

#include "settings_store.h"
#include "wx_text.h"

namespace {

template <class Box>
int ShowBox(wxWindow* parent, const wxString& text, long style = wxOK | wxICON_EXCLAMATION) {
  Box box(parent, text, ToWx(ApplicationName()), style | wxCENTRE);
  return box.ShowModal();
}

}  // namespace

bool AskYesNo(wxWindow* parent, const wxString& text) {
  const long style = wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION;
#ifdef __WXGTK__
  // Without a parent GTK's own box cannot be placed (see ShowMessage).
  if (!parent) return ShowBox<wxGenericMessageDialog>(nullptr, text, style) == wxID_YES;
#endif
  return ShowBox<wxMessageDialog>(parent, text, style) == wxID_YES;
}

void MessageBoxSink::ShowMessage(const std::string& text) {
  // A run shows the busy cursor; its messages do not.
  const bool busy = wxIsBusy();
  if (busy) wxEndBusyCursor();
  Show(text);
  if (busy) wxBeginBusyCursor();
}

void MessageBoxSink::Show(const std::string& text) {
  wxString shown = ToWx(text);
#ifdef __WXGTK__
  shown.Replace("\r\n", "\n");  // a bare CR would show as a stray glyph
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
