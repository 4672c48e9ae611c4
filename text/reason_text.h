// Why something failed, or what a run did besides its work, kept as data
// from where it is raised to where it is shown: a text of the translation
// catalogs (a fixed reason, or a format whose "%s" marks are filled from
// fields, themselves reasons), or a plain text shown as it is (a path, a
// number, a name). The command line shows a reason in English, a window
// in its catalog's translation, both from the same value.
#pragma once

#include <functional>
#include <string>
#include <vector>

/// A text of the catalogs, written R_("...") so that the catalogs' scripts
/// find it. A reason can be made from catalog texts and explicitly plain
/// ones only, so no reason text escapes translation by accident.
struct CatalogText {
  const char* english;
};
#define R_(text) CatalogText{text}

class Reason {
 public:
  /// How a window turns a catalog text (UTF-8) into its language.
  using Translate = std::function<std::string(const std::string& english)>;

  Reason() = default;
  /// `text`, its "%s" marks filled in order from `fields` (missing ones empty).
  Reason(CatalogText text, std::vector<Reason> fields = {});
  /// Shown as it is in every language: a path, a number, a name, or a
  /// message players know by its English words.
  static Reason Plain(std::string text);
  /// A path as given, shown with the system's separator ("C:\\a\\b" for
  /// "C:/a/b" on Windows), as the file dialogs show paths.
  static Reason Path(std::string path);
  /// A text from elsewhere that the catalogs may know (a system error's, a
  /// parser's), translated when they do.
  static Reason Known(std::string text);
  /// `format`'s "%s" marks filled from `fields`, the format itself the same
  /// in every language (a join: "%s: %s").
  static Reason Joining(std::string format, std::vector<Reason> fields);

  bool empty() const { return m_text.empty() && m_fields.empty(); }
  /// What a message says under its fixed first line: the second of two
  /// Lines; the reason itself when it is not made of Lines.
  const Reason& Why() const;
  /// In English.
  std::string Text() const;
  /// With each catalog text passed through `translate`.
  std::string Text(const Translate& translate) const;

 private:
  std::string m_text;
  bool m_catalog = false;
  bool m_path = false;
  bool m_lines = false;  // made by Lines: a first line and what follows it
  std::vector<Reason> m_fields;

  friend Reason Lines(Reason first, Reason then, bool gap);
};

/// "<path>: <why>", the path as Reason::Path shows it.
Reason AtPath(const std::string& path, Reason why);
/// `first` and `then` on lines of their own ("\n\n" between them when `gap`).
Reason Lines(Reason first, Reason then, bool gap = false);
/// "<first>; <then>".
Reason Joined(Reason first, Reason then);
/// A number as a plain field.
Reason Number(long long value);

/// The reasons raised with fields (a path, a folder, a time).
namespace reason {
constexpr CatalogText kHoldsNoBonusTable = R_("%s: holds no bonus table (Vesko/bonuses/bonus); is it the planner's file?");
constexpr CatalogText kHoldsNoGemTable = R_("%s: holds no gem table (data/gems/gem); is it the planner's file?");
constexpr CatalogText kCannotKeepBackupIn = R_("can't keep a backup in %s: %s");
constexpr CatalogText kFolderNotCharacter = R_("%s is a folder, not a character file");
constexpr CatalogText kNoBackupsKept = R_("%s: no backups kept (in %s)");
constexpr CatalogText kNoSuchBackup = R_("%s: no backup %s (there are %s)");
constexpr CatalogText kBackupGone = R_("%s: the backup of %s is no longer kept");
// What became of a file another program wrote during a save; each follows
// the file's path and ": ".
constexpr CatalogText kStillBeingWritten = R_("still being written by another program (it kept changing for %s ms)");
constexpr CatalogText kUnreadableForCheck = R_("can't be read for the check before writing: %s");
constexpr CatalogText kNotPutBack = R_("%s; the file could not be put back and is kept in %s");
constexpr CatalogText kOtherVersionKeptBeside =
    R_("changed by another program during the save, and its version could not be put back (%s); it is kept in %s");
constexpr CatalogText kHeldOpenKeptBeside =
    R_("still held open by another program %s ms after the save, which may yet write into it; its version is kept in %s");
constexpr CatalogText kFirstVersionKeptBeside =
    R_("changed by another program during the save, twice; the version first written is kept in %s");
// Notes: what a run did besides its work, each a message of its own.
constexpr CatalogText kLeftoverPutBack =
    R_("%s was missing: a run that was stopped had left it in %s, and it was put back");
constexpr CatalogText kLeftoverKept =
    R_("a version of %s that a stopped run had displaced (perhaps the game's save) is kept as the backup %s");
constexpr CatalogText kBuiltOnNewContent = R_("the game saved the file meanwhile; built on its new content");
constexpr CatalogText kChangedRunAgain =
    R_("changed by another program while Brindlemarque worked on it; nothing was written, run it again");
constexpr CatalogText kOtherVersionKeptAsBackup =
    R_("changed by another program while Brindlemarque worked on it, and its version could not be put back; it "
       "is kept as the backup %s");
/// The place an XML parser stopped, after its error text.
constexpr CatalogText kStoppedAt = R_("%s (line %s, column %s)");
}  // namespace reason
