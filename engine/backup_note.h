// A backup's note: what the run after the backup was about to do, kept
// beside it as data (its kind and fields) and said in words only when shown.
#pragma once

#include <string>

#include "job_settings.h"
#include "reason_text.h"

struct BackupNote {
  enum class Kind {
    None,       ///< no note (one that could not be written, or none given)
    Build,      ///< a build of `templateName` onto the bar range
    GemTable,   ///< the gem table of `templateName` onto the bar range
    Restore,    ///< a restore of the backup made at `time`
    Displaced,  ///< the game's save, displaced by a run at `time`
    Repair,     ///< a repair of the template's <Keiner> markers
    Text        ///< a note this version does not know: `text` as written
  };
  Kind kind = Kind::None;
  std::string templateName;                    ///< Build, GemTable: the template's file name
  int quickbar = 0, firstBar = 0, lastBar = 0;  ///< Build, GemTable: the bar range
  bool reverse = false;                        ///< Build, GemTable: the range walked backwards
  std::string time;                            ///< Restore, Displaced: local time
  std::string text;                            ///< Text

  BackupNote() = default;
  /// A note as text: ReadBackupNote of it.
  BackupNote(const std::string& text);  // NOLINT: notes are read from text wherever one is given
  BackupNote(const char* text) : BackupNote(std::string(text)) {}

  /// The note of a run of `kind` (Build or GemTable) of the template `templateName` onto `job`'s bars.
  static BackupNote Run(Kind kind, const std::string& templateName, const JobSettings& job);
  /// A note of `kind` (Restore or Displaced with its time; Repair without).
  static BackupNote At(Kind kind, const std::string& time);
};

/// The note as data: "kind=build", then a "name=value" line per field. Empty for no note.
std::string WriteBackupNote(const BackupNote& note);
/// A note read back: as WriteBackupNote wrote it, or as older versions
/// wrote it in English words ("build of t.vsk onto Quickbar2 bars 2-7");
/// any other text is a Text note, an empty one none.
BackupNote ReadBackupNote(const std::string& text);
/// The note in words: "build of t.vsk onto Quickbar2 bars 2-7 (reverse)",
/// "(no note)" for none; a Text note as it is.
Reason DescribeBackupNote(const BackupNote& note);
