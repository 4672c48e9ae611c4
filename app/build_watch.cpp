#include "build_watch.h"

#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/fswatcher.h>

#include "file_read.h"
#include "ini_document.h"
#include "paths.h"
#include "wx_text.h"

namespace {

// A writer's burst of changes is over once the file has been quiet this long.
constexpr int kSettleMilliseconds = 300;

// The file name of an event's path, as the file system spells it.
bool NamesFile(const wxFileName& path, const wxString& name) {
#ifdef __WXMSW__
  return path.GetFullName().IsSameAs(name, false);
#else
  return path.GetFullName() == name;
#endif
}

}  // namespace

CBuildWatch::CBuildWatch(Overwritten told) : m_told(std::move(told)), m_settle(this) {
  Bind(wxEVT_TIMER, &CBuildWatch::OnSettled, this);
  Bind(wxEVT_FSWATCHER, &CBuildWatch::OnFileSystem, this);
}

CBuildWatch::~CBuildWatch() { Stop(); }

void CBuildWatch::Start(const JobSettings& job, std::vector<PlacedHotkey> placed) {
  Stop();
  // The watch is served by the window's event loop, which every build
  // from the window runs in.
  if (placed.empty() || job.characterPath.empty() || !wxEventLoopBase::GetActive()) return;
  m_job = job;
  m_placed = std::move(placed);
  m_built = wxDateTime::Now();
  m_watcher = std::make_unique<wxFileSystemWatcher>();
  m_watcher->SetOwner(this);
  wxFileName folder = wxFileName::DirName(ToWx(FolderOf(AbsolutePath(job.characterPath))));
  // Creations and renames too: a writer may put a new file in the old one's place.
  if (!m_watcher->Add(folder, wxFSW_EVENT_CREATE | wxFSW_EVENT_MODIFY | wxFSW_EVENT_RENAME)) m_watcher.reset();
}

void CBuildWatch::Stop() {
  m_settle.Stop();
  m_watcher.reset();
  m_placed.clear();
}

void CBuildWatch::StopUnlessFor(const JobSettings& job) {
  if (job.characterPath != m_job.characterPath || job.templatePath != m_job.templatePath) Stop();
}

void CBuildWatch::OnFileSystem(wxFileSystemWatcherEvent& event) {
  if (!m_watcher || event.IsError()) return;
  const wxString name = ToWx(NameOf(m_job.characterPath));
  if (!NamesFile(event.GetPath(), name) && !NamesFile(event.GetNewPath(), name)) return;
  m_settle.StartOnce(kSettleMilliseconds);
}

void CBuildWatch::OnSettled(wxTimerEvent&) {
  if (!m_watcher) return;
  // Gone (a writer between its steps) or unreadable for now: the next change tells.
  std::string bytes;
  if (ReadFileBytes(m_job.characterPath, bytes) != ReadStatus::Ok) return;
  const IniDocument file(std::move(bytes));
  std::optional<BarPicture> now = OverwrittenBars(file, m_job, m_placed);
  if (!now) return;
  const wxDateTime built = m_built;
  const std::string character = m_job.characterPath;
  Stop();  // said once; the next build watches again
  m_told(built, character, *now);
}
