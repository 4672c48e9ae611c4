// Watches the character file after a build while the window is open: the
// game writes a logged-in character's bars back at logout, over the build.
// When a rewrite leaves the build's hotkeys out of the range it filled, the
// window is told, with the range as it now is. The watch never writes.
#pragma once

#include <functional>
#include <memory>
#include <vector>
#include <wx/datetime.h>
#include <wx/event.h>
#include <wx/fswatcher.h>
#include <wx/timer.h>

#include "bar_picture.h"
#include "file_read.h"

class CBuildWatch : public wxEvtHandler {
 public:
  /// Told of a build's hotkeys written over: when the build was, its
  /// character file, and the range's bars as the file now holds them.
  using Overwritten =
      std::function<void(const wxDateTime& built, const std::string& characterPath, const BarPicture& now)>;

  /// `pollMilliseconds`: how often the file's stamp is looked at besides
  /// the notifications (0: never; the tests of the notifications alone).
  explicit CBuildWatch(int pollMilliseconds = 1000);
  ~CBuildWatch() override;

  /// Whom to tell (none: nobody). A window made again (another language)
  /// takes the watch over from the one before.
  void SetTold(Overwritten told) { m_told = std::move(told); }
  /// Watches the character file of `job` for the hotkeys a build `placed`
  /// (none: nothing to watch); a watch before ends.
  void Start(const JobSettings& job, std::vector<PlacedHotkey> placed);
  /// Ends the watch (another run, closing).
  void Stop();
  /// Ends the watch when `job` names another character file or template
  /// than the build watched.
  void StopUnlessFor(const JobSettings& job);
  bool IsWatching() const { return !m_placed.empty(); }

 private:
  void OnFileSystem(wxFileSystemWatcherEvent& event);
  void OnPoll(wxTimerEvent& event);
  void OnSettled(wxTimerEvent& event);

  Overwritten m_told;
  /// One for the watch's life, made at the first build watched: its folders
  /// are added and never removed (the toolkit's watcher on Windows can
  /// write into freed memory when a watch ends while a read is pending).
  std::unique_ptr<wxFileSystemWatcher> m_watcher;
  std::vector<wxString> m_folders;  ///< those it watches
  wxTimer m_settle;  ///< the check waits for the writer to finish
  /// A look at the file's stamp now and then, for the change a notification
  /// missed (some systems drop one of a rename's two events).
  wxTimer m_poll;
  int m_pollMilliseconds;
  FileStamp m_seen;  ///< the file as last looked at
  JobSettings m_job;
  std::vector<PlacedHotkey> m_placed;
  wxDateTime m_built;
};
