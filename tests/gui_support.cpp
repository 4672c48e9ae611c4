#include "gui_support.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <wx/app.h>

#include "brindlemarque_app.h"
#include "translations.h"

namespace fs = std::filesystem;

namespace {

// One of the program's boxes: `text`, its caption, and the `style` bits.
void CheckBox(const wxMessageDialogBase* dialog, const std::string& text, long style) {
  EXPECT_EQ(dialog->GetMessage().utf8_string(), text);
  EXPECT_EQ(dialog->GetCaption().utf8_string(), "gui_test");
  EXPECT_EQ(dialog->GetMessageDialogStyle() & style, style);
}

}  // namespace

int ExpectMessage::OnInvoked(wxMessageDialogBase* dialog) const {
  CheckBox(dialog, m_text, wxICON_EXCLAMATION | wxOK);
  return wxID_OK;
}

int ExpectQuestion::OnInvoked(wxMessageDialogBase* dialog) const {
  CheckBox(dialog, m_text, wxICON_QUESTION | wxYES_NO);
  EXPECT_EQ((dialog->GetMessageDialogStyle() & wxNO_DEFAULT) == 0, m_yesByDefault) << m_text;
  return m_answer;
}

void SendCommand(wxWindow* control, wxEventType type) {
  ASSERT_TRUE(control);
  wxCommandEvent event(type, control->GetId());
  event.SetEventObject(control);
  control->ProcessWindowEvent(event);
}

void ClickEntry(wxControlWithItems* list, const wxString& text, ClickOrder order) {
  ASSERT_TRUE(list);
  int n = list->FindString(text, true);
  ASSERT_NE(n, wxNOT_FOUND) << text.utf8_string();
  wxMouseEvent down(wxEVT_LEFT_DOWN), up(wxEVT_LEFT_UP);
  auto select = [&] {
    list->SetSelection(n);
    SendCommand(list, wxEVT_LISTBOX);
  };
  list->ProcessWindowEvent(down);
  if (order == ClickOrder::SelectOnPress) select();
  list->ProcessWindowEvent(up);
  if (order == ClickOrder::SelectOnRelease) select();
  wxTheApp->ProcessPendingEvents();
}

const char* const kClickCloseBox =
    "sh w=$(xdotool getactivewindow) && "
    "x=$(xwininfo -id \"$w\" | sed -n 's/.*Absolute upper-left X: *//p') && "
    "y=$(xwininfo -id \"$w\" | sed -n 's/.*Absolute upper-left Y: *//p') && "
    "width=$(xwininfo -id \"$w\" | sed -n 's/.*Width: *//p') && "
    "set -- $(xprop -id \"$w\" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g') && "
    "xdotool mousemove $((x + width + $2 - $3 / 2 - 2)) $((y - $3 / 2)) click 1";

InputScript::InputScript(const std::vector<std::string>& steps) {
  std::string script;
  for (const std::string& step : steps)
    script += (step.rfind("sleep ", 0) == 0 ? step : step.rfind("sh ", 0) == 0 ? step.substr(3) : "xdotool " + step) + "; ";
  m_script = ::popen(script.c_str(), "w");
  EXPECT_NE(m_script, nullptr) << script;
}

InputScript::~InputScript() {
  if (m_script) ::pclose(m_script);
}

std::string ExampleVesko() { return std::string(EXAMPLES_DIR) + "/vesko"; }
std::string ExampleCharacters() { return std::string(EXAMPLES_DIR) + "/appdata/Electronic Arts/Dark Age of Camelot/LotM"; }

GuiSandbox::GuiSandbox(bool withConfig) {
  m_oldCwd = fs::current_path().string();
  m_env.Set("HOME", m_dir.path());
  // Nothing of the machine's own: no game folders, settings or backups from outside.
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "APPDATA", "WINEPREFIX"}) m_env.Set(name, std::nullopt);
  if (withConfig) {
    fs::copy_file(ExampleVesko() + "/config.xml", m_dir.file("config.xml"));
    fs::copy_file(ExampleVesko() + "/config_gem.xml", m_dir.file("config_gem.xml"));
  }
  fs::current_path(m_dir.path());
  UseLanguage("de");  // the tests read the German texts unless they choose another language
}

GuiSandbox::~GuiSandbox() { fs::current_path(m_oldCwd); }

std::string GuiSandbox::CopyTemplate(const std::string& name) const {
  fs::copy_file(ExampleVesko() + "/templates/" + name, m_dir.file(name));
  return m_dir.file(name);
}

std::string GuiSandbox::CopyCharacter(const std::string& name) const {
  fs::copy_file(ExampleCharacters() + "/" + name, m_dir.file(name));
  return m_dir.file(name);
}

namespace {

// Asserts inside wx become test failures instead of dialogs.
void ReportAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
  ADD_FAILURE_AT(file.utf8_string().c_str(), line)
      << "wx assert in " << func.utf8_string() << ": " << cond.utf8_string() << " " << msg.utf8_string();
}

class TestApp : public wxApp {
 public:
  bool OnInit() override { return InitBrindlemarqueUi(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();  // listing needs no display
  wxApp::SetInstance(new TestApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "cannot start the window toolkit (is there a display?)\n");
    return 1;
  }
  if (!wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "the window layouts did not load\n");
    wxEntryCleanup();
    return 1;
  }
  wxSetAssertHandler(ReportAssert);
  int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
