#include "restore_command.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "backups.h"
#include "game_warning.h"
#include "printable.h"

void SetupRestoreOptions(CLI::App& command, RestoreOptions& o) {
  command.add_option("--character", o.characterPath, "The character's settings file (.ini)")->required();
  command.add_flag("--list", o.list, "List the file's backups, newest first, and change nothing");
  // Checked before conversion, so that every refusal reads the same.
  CLI::Validator oneOrMore(
      [](std::string& text) -> std::string {
        bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || text.find_first_not_of('0') == std::string::npos) return "must be 1 or more";
        if (text.size() > 9) return "there is no backup " + text + " (at most " + std::to_string(kBackupsKept) +
                                    " are kept)";
        return {};
      },
      "NUMBER");
  command.add_option("--backup", o.backup, "Which backup to restore, as numbered by --list (default 1, the newest)")
      ->check(oneOrMore);
  AddGameCheckOption(command, o.noGameCheck);
}

int RunRestoreCommand(const RestoreOptions& o) {
  if (o.list) {
    std::vector<BackupInfo> backups = ListBackups(o.characterPath);
    std::string folder = PrintablePath(BackupFolder(o.characterPath));
    if (backups.empty()) {
      std::cout << "no backups of " << PrintablePath(o.characterPath) << " (they would be in " << folder << ")\n";
      return 0;
    }
    std::cout << "backups of " << PrintablePath(o.characterPath) << " in " << folder << ", newest first:\n";
    int number = 0;
    for (const BackupInfo& b : backups)
      std::cout << PadTo(std::to_string(++number), 4) << b.time << "  " << PadTo(std::to_string(b.size) + " bytes", 16)
                << Printable(b.note) << (b.fromFuture ? "  (named in the future: the clock was wrong)" : "") << '\n';
    return 0;
  }
  GameLook(!o.noGameCheck).Warn(o.characterPath, "restore");
  RestoreResult result = RestoreBackup(o.characterPath, o.backup, o.waits);
  if (!result.ok) std::cerr << kCannotRestore << '\n' << PrintableLines(result.error.Text()) << '\n';
  for (const Reason& note : result.notes) std::cerr << PrintableLines(note.Text()) << '\n';
  if (!result.ok) return 1;
  if (!result.changed)
    std::cout << PrintablePath(o.characterPath) << " already holds the backup of " << result.time << "; nothing changed\n";
  else
    std::cout << "restored " << PrintablePath(o.characterPath) << " to the backup of " << result.time
              << "; what it held before is backup 1 now (restore it to undo this)\n";
  return 0;
}
