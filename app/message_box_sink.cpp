#include "message_box_sink.h"

#include <wx/msgdlg.h>

#include "settings_store.h"
#include "wx_text.h"

void MessageBoxSink::ShowMessage(const std::string& text) {
  wxString shown = ToWx(text);
#ifndef __WINDOWS__
  shown.Replace("\r\n", "\n");  // a bare CR would show as a stray glyph
#endif
  wxMessageDialog box(m_parent, shown, ToWx(ApplicationName()), wxOK | wxICON_EXCLAMATION | wxCENTRE);
  box.ShowModal();
}
