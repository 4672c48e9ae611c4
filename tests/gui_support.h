// Helpers for the window tests: a wx application for the whole test run,
// modal dialogs answered through wx/testing.h with failures reported to
// GoogleTest, and a temporary home and working folder per test.
#pragma once

#define wxTEST_DIALOG_HOOK_CLASS GTestModalHook

#include <gtest/gtest.h>
#include <wx/ctrlsub.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <cstdio>

#include "test_support.h"

/// Reports a dialog that was not expected, or one expected but not shown, as
/// a test failure; one not expected is cancelled rather than left waiting
/// for a player. (Made without expectations, it fails on any dialog.)
class GTestModalHook : public wxTestingModalHook {
 public:
  using wxTestingModalHook::wxTestingModalHook;

 protected:
  int Enter(wxDialog* dialog) override {
    const int answer = wxTestingModalHook::Enter(dialog);
    return answer == wxID_NONE ? wxID_CANCEL : answer;
  }
  void ReportFailure(const wxString& msg) override { ADD_FAILURE() << msg.utf8_string(); }
};

/// Expects one of the program's message boxes with `text`: OK button,
/// exclamation icon, the application's name as caption. Answers OK.
/// (Start-up messages, shown before the window, are the portable kind.)
class ExpectMessage : public wxExpectModalBase<wxMessageDialogBase, ExpectMessage> {
 public:
  explicit ExpectMessage(const std::string& text) : m_text(text) {}

 protected:
  int OnInvoked(wxMessageDialogBase* dialog) const override;
  wxString GetDefaultDescription() const override { return "message box \"" + wxString::FromUTF8(m_text) + "\""; }

 private:
  std::string m_text;
};

/// Expects the program's yes/no question with `text` (question icon, the
/// application's name as caption, No the default unless `yesByDefault`)
/// and answers it with `answer`.
class ExpectQuestion : public wxExpectModalBase<wxMessageDialogBase, ExpectQuestion> {
 public:
  ExpectQuestion(const std::string& text, int answer, bool yesByDefault = false)
      : m_text(text), m_answer(answer), m_yesByDefault(yesByDefault) {}

 protected:
  int OnInvoked(wxMessageDialogBase* dialog) const override;
  wxString GetDefaultDescription() const override { return "question \"" + wxString::FromUTF8(m_text) + "\""; }

 private:
  std::string m_text;
  int m_answer;
  bool m_yesByDefault;
};

/// Expects a modal dialog of type T and lets `act` work it as a user would;
/// what `act` returns is what the dialog's ShowModal returns.
template <class T>
class ExpectDialog : public wxExpectModalBase<T, ExpectDialog<T>> {
 public:
  explicit ExpectDialog(std::function<int(T&)> act) : m_act(std::move(act)) {}

 protected:
  int OnInvoked(T* dialog) const override { return m_act(*dialog); }

 private:
  std::function<int(T&)> m_act;
};

/// Sends the command event of `type` from `control`, as a user's click or
/// choice would (set the control's new state first).
void SendCommand(wxWindow* control, wxEventType type);

/// When a list box reports the selection a click makes: as the button goes
/// down (GTK), or after it came up (a Win32 list box, under Wine too).
enum class ClickOrder { SelectOnPress, SelectOnRelease };

/// Clicks the entry `text` (exact case) of a list box: the mouse button
/// goes down on the list and comes up, the entry selected in `order`; then
/// what the click queued is handled.
void ClickEntry(wxControlWithItems* list, const wxString& text, ClickOrder order = ClickOrder::SelectOnPress);

/// Real input from another program (xdotool), started at once and run
/// while the test shows a dialog modally: each step is an xdotool command
/// ("key ctrl+l", "type /some/path"), a pause ("sleep 0.5") or a shell
/// command ("sh ...", kClickCloseBox). The destructor waits for the last step.
/// A click on the close box of the focused window's title bar, where the
/// window manager (openbox) draws it: the right end of the frame's top.
extern const char* const kClickCloseBox;

class InputScript {
 public:
  explicit InputScript(const std::vector<std::string>& steps);
  ~InputScript();

 private:
  FILE* m_script;
};

/// A temporary home (settings store) and working folder for one test; the
/// working folder holds copies of the example configuration files unless
/// told otherwise. Restores the old folder and environment afterwards.
class GuiSandbox {
 public:
  explicit GuiSandbox(bool withConfig = true);
  ~GuiSandbox();
  const TempDir& Dir() const { return m_dir; }
  /// Copies an example template into the sandbox and returns its path.
  std::string CopyTemplate(const std::string& name) const;
  /// Copies an example character file into the sandbox and returns its path.
  std::string CopyCharacter(const std::string& name) const;

 private:
  TempDir m_dir;
  std::string m_oldCwd;
  ScopedEnv m_env;
};

/// The examples' folders.
std::string ExampleVesko();
std::string ExampleCharacters();
