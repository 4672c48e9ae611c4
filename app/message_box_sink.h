// Messages as modal message boxes: the text, an OK button, the
// exclamation icon, and the application's name as caption.
#pragma once

#include <wx/window.h>

#include "reason_text.h"

/// A message in the user's language: each catalog text in it translated,
/// its plain texts (paths, names, the program's fixed messages that players
/// search for) as they are.
wxString ShownMessage(const Reason& message);

/// Which answer Return gives.
enum class DefaultAnswer { No, Yes };

/// Asks `text` with Yes and No, the question icon and the application's
/// name as caption; true for Yes. `parent` may be null (then the box is
/// centred on the screen).
bool AskYesNo(wxWindow* parent, const wxString& text, DefaultAnswer answer = DefaultAnswer::No);

class MessageBoxSink {
 public:
  /// `parent` may be null (start-up messages come before the window shows).
  explicit MessageBoxSink(wxWindow* parent = nullptr) : m_parent(parent) {}
  void SetParent(wxWindow* parent) { m_parent = parent; }
  /// Shows `message` as ShownMessage gives it.
  void ShowMessage(const Reason& message);
  /// Shows `text`, already in the user's language.
  void ShowText(const wxString& text);

 private:
  void Show(const wxString& text);
  wxWindow* m_parent;
};
