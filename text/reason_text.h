// The reasons the engine gives in its messages that carry names or numbers
// (a path, a folder, a time), written from fixed formats so that a window
// can show them in its user's language: the engine fills a format (its
// English text), and the window finds which format a line was made from and
// fills that format's translation with the same fields.
#pragma once

#include <string>
#include <vector>

#ifndef N_
#define N_(text) text
#endif

/// The formats: "%s" marks each field. kReasonFormats lists them all but
/// kStoppedAt.
namespace reason {
constexpr const char* kHoldsNoBonusTable = N_("%s: holds no bonus table (Vesko/bonuses/bonus); is it the planner's file?");
constexpr const char* kHoldsNoGemTable = N_("%s: holds no gem table (data/gems/gem); is it the planner's file?");
constexpr const char* kCannotKeepBackupIn = N_("can't keep a backup in %s: %s");
constexpr const char* kFolderNotCharacter = N_("%s is a folder, not a character file");
constexpr const char* kNoBackupsKept = N_("%s: no backups kept (in %s)");
constexpr const char* kNoSuchBackup = N_("%s: no backup %s (there are %s)");
constexpr const char* kBackupGone = N_("%s: the backup of %s is no longer kept");
// What became of a file another program wrote during a save; each follows
// the file's path and ": ".
constexpr const char* kStillBeingWritten = N_("still being written by another program (it kept changing for %s ms)");
constexpr const char* kUnreadableForCheck = N_("can't be read for the check before writing: %s");
constexpr const char* kNotPutBack = N_("%s; the file could not be put back and is kept in %s");
constexpr const char* kOtherVersionKeptBeside =
    N_("changed by another program during the save, and its version could not be put back (%s); it is kept in %s");
constexpr const char* kFirstVersionKeptBeside =
    N_("changed by another program during the save, twice; the version first written is kept in %s");
// Notes: what a run did besides its work, each a message of its own.
constexpr const char* kLeftoverPutBack =
    N_("%s was missing: a run that was stopped had left it in %s, and it was put back");
constexpr const char* kLeftoverKept =
    N_("a version of %s that a stopped run had displaced (perhaps the game's save) is kept as the backup %s");
constexpr const char* kBuiltOnNewContent = N_("the game saved the file meanwhile; built on its new content");
constexpr const char* kChangedRunAgain =
    N_("changed by another program while Brindlemarque worked on it; nothing was written, run it again");
constexpr const char* kOtherVersionKeptAsBackup =
    N_("changed by another program while Brindlemarque worked on it, and its version could not be put back; it "
       "is kept as the backup %s");
/// The place an XML parser stopped, after its error text; it follows a
/// path's ": " and is not among kReasonFormats (which match whole lines).
constexpr const char* kStoppedAt = N_("%s (line %s, column %s)");
}  // namespace reason

extern const char* const kReasonFormats[16];

/// `format` with each "%s" replaced by the next of `fields` (missing ones empty).
std::string FillReason(const char* format, const std::vector<std::string>& fields);

/// True when `line` is `format` filled with some fields; they are given back
/// in order. A field's text may hold the format's own separators: the
/// first split that fits the whole line is taken, later fields as long as
/// possible.
bool MatchReason(const std::string& line, const char* format, std::vector<std::string>& fields);
