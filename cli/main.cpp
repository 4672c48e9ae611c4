// brindlemarque-cli: the build engine and the character-file logic from a shell.
#include <CLI/CLI.hpp>

#include "build_command.h"
#include "characters_command.h"

int main(int argc, char** argv) {
  CLI::App app{"Brindlemarque: crafting hotkeys from a spellcraft template, on the command line"};
  app.require_subcommand(1);

  BuildOptions buildOptions;
  CLI::App* build = app.add_subcommand("build", "Write the crafting hotkeys into the character file");
  SetupBuildOptions(*build, buildOptions);

  BuildOptions previewOptions;
  CLI::App* preview =
      app.add_subcommand("preview", "Show slot by slot what a build would write, changing nothing");
  SetupBuildOptions(*preview, previewOptions);

  BuildOptions gemTestOptions;
  CLI::App* gemTest = app.add_subcommand(
      "gemtest", "Diagnostic: every gem of the realm onto the bars, logged to sc_log.txt in the current folder");
  SetupBuildOptions(*gemTest, gemTestOptions);

  CharactersOptions charactersOptions;
  CLI::App* characters = app.add_subcommand("characters", "List the character files of a folder");
  SetupCharactersOptions(*characters, charactersOptions);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help is a success; every other parse error is a usage error.
    return app.exit(e) == 0 ? 0 : 2;
  }
  if (build->parsed()) return RunBuildCommand(buildOptions, false);
  if (preview->parsed()) return RunBuildCommand(previewOptions, true);
  if (gemTest->parsed()) return RunGemTestCommand(gemTestOptions);
  if (characters->parsed()) return RunCharactersCommand(charactersOptions);
  return 2;
}
