// brindlemarque-cli: the build engine and the character-file logic from a shell.
#include <CLI/CLI.hpp>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "paths.h"
#endif

#include "build_command.h"
#include "version.h"
#include "characters_command.h"
#include "environment.h"
#include "game_warning.h"
#include "restore_command.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // Paths are UTF-8 inside the program: take the arguments from the wide
  // command line, and let the console show UTF-8.
  int wideCount = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &wideCount);
  std::vector<std::string> arguments;
  for (int i = 0; wide && i < wideCount; ++i) arguments.push_back(Utf8Text(wide[i]));
  if (wide) ::LocalFree(wide);
  std::vector<char*> pointers;
  for (std::string& a : arguments) pointers.push_back(&a[0]);
  pointers.push_back(nullptr);
  if (!arguments.empty()) {
    argc = static_cast<int>(arguments.size());
    argv = pointers.data();
  }
  ::SetConsoleOutputCP(CP_UTF8);
#endif
  const FileWaits waits = ProgramFileWaits();  // the environment is read here only
  CLI::App app{"Brindlemarque: crafting hotkeys from a spellcraft template, on the command line"};
  app.set_version_flag("--version", "brindlemarque-cli " BRINDLEMARQUE_VERSION);
  app.require_subcommand(1);

  BuildOptions buildOptions;
  buildOptions.waits = waits;
  CLI::App* build = app.add_subcommand("build", "Write the crafting hotkeys into the character file");
  SetupBuildOptions(*build, buildOptions);
  AddGameCheckOption(*build, buildOptions.noGameCheck);

  BuildOptions previewOptions;
  previewOptions.waits = waits;
  CLI::App* preview =
      app.add_subcommand("preview", "Show slot by slot what a build would write, changing nothing");
  SetupBuildOptions(*preview, previewOptions);
  preview->add_flag("--bars", previewOptions.bars, "Show the bars as the game does, ten slots per line");

  BuildOptions gemTestOptions;
  gemTestOptions.waits = waits;
  CLI::App* gemTest = app.add_subcommand(
      "gemtest", "Diagnostic: every gem of the realm onto the bars, logged to sc_log.txt in the current folder");
  SetupBuildOptions(*gemTest, gemTestOptions);
  AddGameCheckOption(*gemTest, gemTestOptions.noGameCheck);

  CharactersOptions charactersOptions;
  CLI::App* characters = app.add_subcommand("characters", "List the character files of a folder");
  SetupCharactersOptions(*characters, charactersOptions);

  RestoreOptions restoreOptions;
  restoreOptions.waits = waits;
  CLI::App* restore = app.add_subcommand(
      "restore",
      "List a character file's backups, or put one back (undo a build); the file's bytes before are kept too");
  SetupRestoreOptions(*restore, restoreOptions);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help is a success; every other parse error is a usage error.
    return app.exit(e) == 0 ? 0 : 2;
  }
  if (build->parsed()) return RunBuildCommand(buildOptions, false);
  if (preview->parsed()) return RunBuildCommand(previewOptions, true);
  if (gemTest->parsed()) return RunGemTableCommand(gemTestOptions);
  if (characters->parsed()) return RunCharactersCommand(charactersOptions);
  if (restore->parsed()) return RunRestoreCommand(restoreOptions);
  return 2;
}
