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

class CBuildWatch : public wxEvtHandler {
 public:
  /// Told of a build's hotkeys written over: when the build was, its
  /// character file, and the range's bars as the file now holds them.
  using Overwritten =
      std::function<void(const wxDateTime& built, const std::string& characterPath, const BarPicture& now)>;

  explicit CBuildWatch(Overwritten told);
  ~CBuildWatch() override;

  /// Watches the character file of `job` for the hotkeys a build `placed`
  /// (none: nothing to watch); a watch before ends.
  void Start(const JobSettings& job, std::vector<PlacedHotkey> placed);
  /// Ends the watch (another run, closing).
  void Stop();
  /// Ends the watch when `job` names another character file or template
  /// than the build watched.
  void StopUnlessFor(const JobSettings& job);
  bool IsWatching() const { return m_watcher != nullptr; }

 private:
  void OnFileSystem(wxFileSystemWatcherEvent& event);
  void OnSettled(wxTimerEvent& event);

  Overwritten m_told;
  std::unique_ptr<wxFileSystemWatcher> m_watcher;
  wxTimer m_settle;  ///< the check waits for the writer to finish
  JobSettings m_job;
  std::vector<PlacedHotkey> m_placed;
  wxDateTime m_built;
};
