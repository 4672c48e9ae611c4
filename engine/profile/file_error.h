// Private to the file helpers: the reason kept for LastFileError, and the
// checks the platforms' replacements share.
#pragma once

#include <string>

/// Keeps `reason` as this thread's LastFileError().
void SetFileError(std::string reason);

/// The system's text for an errno value, starting in lower case ("permission denied").
std::string ErrnoText(int error);

struct FileStamp;
enum class ReplaceOutcome;

/// The file at `path` is the one that was read: with `stamp`, the file of that
/// stamp (a missing one still missing), and holding `readBytes`.
bool IsAsRead(const std::string& path, const FileStamp* stamp, const std::string& readBytes);

/// ReplaceOutcome::Changed, with kChangedByAnotherProgram as LastFileError().
ReplaceOutcome ChangedOutcome();
