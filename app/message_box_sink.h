// Engine messages as modal message boxes: the text, an OK button, the
// exclamation icon, and the application's name as caption.
#pragma once

#include <wx/window.h>

#include "message_sink.h"

/// Asks `text` with Yes and No (No the default), the question icon and the
/// application's name as caption; true for Yes. `parent` may be null (then
/// the box is centred on the screen).
bool AskYesNo(wxWindow* parent, const wxString& text);

class MessageBoxSink : public MessageSink {
 public:
  /// `parent` may be null (start-up messages come before the window shows).
  explicit MessageBoxSink(wxWindow* parent = nullptr) : m_parent(parent) {}
  void SetParent(wxWindow* parent) { m_parent = parent; }
  void ShowMessage(const std::string& text) override;

 private:
  void Show(const std::string& text);
  wxWindow* m_parent;
};
