// For tests: the moments of a save where another program may act, and
// faults of a replacement's steps.
#pragma once

#include <functional>
#include <string>

/// Points of a save where tests may act as another program writing the file.
enum class SavePoint {
  BeforeRead,   ///< a run is about to wait for the file to be quiet and read it
  AfterRead,    ///< a run read the file (before it looks whether it was quiet)
  AfterBackup,  ///< the backup of what was read is kept; nothing written yet
  BeforeCheck,  ///< the temporary file is written and flushed; the final check comes next
  BeforeSwap,   ///< the final check passed; the swap comes next
  Aside,        ///< without an exchange: the file is moved aside, the new one not yet in
  AfterSwap     ///< the new file is in; the file it displaced is looked at next
};

/// `hook` is called at every SavePoint with the file's path (null: none).
void SetSavePointHook(std::function<void(SavePoint point, const std::string& path)> hook);
/// Calls the hook set for tests, if any.
void ReachSavePoint(SavePoint point, const std::string& path);

/// The steps of a replacement that tests can make fail.
enum class ReplaceStep {
  None,
  Create,  ///< the temporary file cannot be made, as in a folder without write permission
  Write,
  Flush,
  Rename
};

/// The next replacement in this process fails at `step` as with an I/O
/// error, and cleans up as after a real one.
void FailNextReplaceAt(ReplaceStep step);

/// Private to the file layer: true (once, with the system's error set) when
/// a test asked `step` to fail.
bool InjectedFault(ReplaceStep step);
