#include "restore_command.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "backups.h"
#include "game_warning.h"
#include "outcome_print.h"
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
                << Printable(DescribeBackupNote(b.note).Text()) << (b.fromFuture ? "  (named in the future: the clock was wrong)" : "") << '\n';
    return 0;
  }
  GameLook(!o.noGameCheck).Warn(o.characterPath, "restore");
  PrintedSubject subject;
  subject.work = RunWork::Restore;
  subject.job.characterPath = o.characterPath;
  return PrintOutcome(RestoreBackup(o.characterPath, o.backup, o.waits), subject);
}
