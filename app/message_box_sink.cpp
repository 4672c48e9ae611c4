#include "message_box_sink.h"

#include <wx/msgdlg.h>
#include <wx/translation.h>
#include <wx/utils.h>
#include <wx/generic/msgdlgg.h>
#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include <string>

#include "settings_store.h"
#include "wx_text.h"

namespace {

#ifdef __WXGTK__
// The width a box needs for the window manager to show a title this wide
// and high whole: room on both sides for its buttons (close, and often
// minimize and maximize), three square ones each side.
int TitleBarWidth(int titleWidth, int titleHeight) { return titleWidth + 2 * 3 * (titleHeight + titleHeight / 2); }

// GTK's message box is as wide as its text, and a short one ("not enough
// slots") leaves the window manager too little room for the title, which it
// cuts ("Brin… rque"). A hook on "show", which runs before the box is
// mapped, asks for the width of the title and the title bar's buttons.
gboolean WidenForTitle(GSignalInvocationHint*, guint count, const GValue* values, gpointer) {
  if (count < 1 || !G_VALUE_HOLDS_OBJECT(&values[0])) return TRUE;
  GObject* shown = G_OBJECT(g_value_get_object(&values[0]));
  if (!GTK_IS_MESSAGE_DIALOG(shown)) return TRUE;
  GtkWidget* box = GTK_WIDGET(shown);
  const char* title = gtk_window_get_title(GTK_WINDOW(box));
  if (!title) return TRUE;
  PangoLayout* layout = gtk_widget_create_pango_layout(box, title);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  gtk_widget_set_size_request(box, TitleBarWidth(width, height), -1);
  return TRUE;
}
#endif

template <class Box>
int ShowBox(wxWindow* parent, const wxString& text, long style = wxOK | wxICON_EXCLAMATION) {
  Box box(parent, text, ToWx(ApplicationName()), style | wxCENTRE);
  // Escape and the close box answer No, as they do in the system's own box.
  if (style & wxYES_NO) box.SetEscapeId(wxID_NO);
#ifdef __WXGTK__
  const guint show = g_signal_lookup("show", GTK_TYPE_WIDGET);
  const gulong hook = g_signal_add_emission_hook(show, 0, WidenForTitle, nullptr, nullptr);
  const int answer = box.ShowModal();
  g_signal_remove_emission_hook(show, hook);
  return answer;
#else
  return box.ShowModal();
#endif
}

}  // namespace

bool AskYesNo(wxWindow* parent, const wxString& text, DefaultAnswer answer) {
  const long style = wxYES_NO | (answer == DefaultAnswer::No ? wxNO_DEFAULT : wxYES_DEFAULT) | wxICON_QUESTION;
#ifdef __WXMSW__
  // Windows' own box labels its buttons in the system's language, not the
  // window's, and Wine's stacks them: the toolkit's box, in the window's.
  return ShowBox<wxGenericMessageDialog>(parent, text, style) == wxID_YES;
#else
#ifdef __WXGTK__
  // Without a parent GTK's own box cannot be placed (see ShowMessage).
  if (!parent) return ShowBox<wxGenericMessageDialog>(nullptr, text, style) == wxID_YES;
#endif
  return ShowBox<wxMessageDialog>(parent, text, style) == wxID_YES;
#endif
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
