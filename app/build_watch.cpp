#include "build_watch.h"

#include <algorithm>
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

}  // namespace

CBuildWatch::CBuildWatch(int pollMilliseconds) : m_settle(this), m_poll(this), m_pollMilliseconds(pollMilliseconds) {
  Bind(wxEVT_TIMER, &CBuildWatch::OnSettled, this, m_settle.GetId());
  Bind(wxEVT_TIMER, &CBuildWatch::OnPoll, this, m_poll.GetId());
  Bind(wxEVT_FSWATCHER, &CBuildWatch::OnFileSystem, this);
}

CBuildWatch::~CBuildWatch() { Stop(); }

void CBuildWatch::Start(const JobSettings& job, std::vector<PlacedHotkey> placed) {
  Stop();
  if (placed.empty() || job.characterPath.empty()) return;
  // The notifications are served by the event loop the window runs in.
  if (!m_watcher && wxEventLoopBase::GetActive()) {
    m_watcher = std::make_unique<wxFileSystemWatcher>();
    m_watcher->SetOwner(this);
  }
  const wxString folder = ToWx(FolderOf(AbsolutePath(job.characterPath)));
  if (m_watcher && std::find(m_folders.begin(), m_folders.end(), folder) == m_folders.end()) {
    // Creations and renames too: a writer may put a new file in the old one's place.
    if (m_watcher->Add(wxFileName::DirName(folder), wxFSW_EVENT_CREATE | wxFSW_EVENT_MODIFY | wxFSW_EVENT_RENAME))
      m_folders.push_back(folder);
  }
  m_job = job;
  m_placed = std::move(placed);
  m_built = wxDateTime::Now();
  StampFile(m_job.characterPath, m_seen);
  if (m_pollMilliseconds > 0) m_poll.Start(m_pollMilliseconds);
}

void CBuildWatch::Stop() {
  m_settle.Stop();
  m_poll.Stop();
  m_placed.clear();
}

void CBuildWatch::StopUnlessFor(const JobSettings& job) {
  if (job.characterPath != m_job.characterPath || job.templatePath != m_job.templatePath) Stop();
}

void CBuildWatch::OnFileSystem(wxFileSystemWatcherEvent& event) {
  if (m_placed.empty() || event.IsError()) return;
  const wxFileName file(ToWx(AbsolutePath(m_job.characterPath)));
  if (!event.GetPath().SameAs(file) && !event.GetNewPath().SameAs(file)) return;
  m_settle.StartOnce(kSettleMilliseconds);
}

void CBuildWatch::OnPoll(wxTimerEvent&) {
  FileStamp now;
  if (m_placed.empty() || m_settle.IsRunning() || !StampFile(m_job.characterPath, now) || now == m_seen) return;
  m_settle.StartOnce(kSettleMilliseconds);
}

void CBuildWatch::OnSettled(wxTimerEvent&) {
  if (m_placed.empty()) return;
  if (!m_told) {  // between two windows (another language): the next one is told
    m_settle.StartOnce(kSettleMilliseconds);
    return;
  }
  // Gone (a writer between its steps) or unreadable for now: the next change tells.
  std::string bytes;
  if (ReadFileBytes(m_job.characterPath, bytes, m_seen) != ReadStatus::Ok) return;
  const IniDocument file(std::move(bytes));
  std::optional<BarPicture> now = OverwrittenBars(file, m_job, m_placed);
  if (!now) return;
  const wxDateTime built = m_built;
  const std::string character = m_job.characterPath;
  Stop();  // said once; the next build watches again
  m_told(built, character, *now);
}
