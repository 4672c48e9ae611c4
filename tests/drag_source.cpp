// A file manager's drag, for the window tests: a small window that starts
// dragging a file (as a file list and as text, as file managers offer it)
// when the mouse is pressed on it and moved. Placed at X, Y; prints "ready"
// once shown, then "dropped" or "refused" when the drag ends, and exits.
//   drag_source FILE X Y
#include <cstdio>
#include <wx/app.h>
#include <wx/dataobj.h>
#include <wx/dnd.h>
#include <wx/frame.h>
#include <wx/timer.h>

namespace {

class SourceFrame : public wxFrame {
 public:
  SourceFrame(const wxString& file, const wxPoint& at)
      : wxFrame(nullptr, wxID_ANY, "drag source", at, wxSize(80, 80), wxBORDER_NONE), m_file(file) {
    Bind(wxEVT_MOTION, &SourceFrame::OnMotion, this);
    Bind(wxEVT_SHOW, [this](wxShowEvent&) { m_ready.StartOnce(300); });
    m_ready.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
      std::puts("ready");
      std::fflush(stdout);
    });
  }

 private:
  void OnMotion(wxMouseEvent& event) {
    if (!event.Dragging() || m_dragging) return;
    m_dragging = true;
    auto* files = new wxFileDataObject;
    files->AddFile(m_file);
    auto* both = new wxDataObjectComposite;
    both->Add(files, true);
    both->Add(new wxTextDataObject(m_file));
    wxDataObject* data = both;
    wxDropSource source(*data, this);
    wxDragResult result = source.DoDragDrop(wxDrag_CopyOnly);
    delete data;
    std::puts(result == wxDragCopy ? "dropped" : "refused");
    std::fflush(stdout);
    Close(true);
  }

  wxString m_file;
  wxTimer m_ready;
  bool m_dragging = false;
};

class SourceApp : public wxApp {
 public:
  bool OnInit() override {
    long x = 0, y = 0;
    if (argc != 4 || !argv[2].ToLong(&x) || !argv[3].ToLong(&y)) return false;
    (new SourceFrame(argv[1], wxPoint(x, y)))->Show();
    return true;
  }
};

}  // namespace

wxIMPLEMENT_APP(SourceApp);
