#include "build_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <utility>
#include <vector>

#include "bar_picture.h"
#include "bar_text.h"
#include "build_context.h"
#include "build_run.h"
#include "paths.h"
#include "game_warning.h"
#include "gem_table.h"
#include "printable.h"
#include "config_files.h"
#include "outcome_print.h"
#include "slot_cursor.h"

namespace {

JobSettings ToJobSettings(const BuildOptions& o) {
  JobSettings job;
  job.templatePath = o.templatePath;
  job.characterPath = o.characterPath;
  job.quickbar = o.quickbar;
  job.firstBar = o.firstBar;
  job.lastBar = o.lastBar;
  job.options = OPT_DROP_RUN;
  if (o.spacer) job.options |= OPT_SPACER;
  if (o.reverse) job.options |= OPT_REVERSE;
  if (o.cleanup) job.options |= OPT_CLEANUP;
  CorrectBarRange(job);  // as the window does it
  return job;
}

void PrintPlaced(const PlacedHotkey& p) {
  std::cout << p.section << '\t' << p.key << '\t' << p.value << '\t';
  if (p.spacer)
    std::cout << "spacer \"" << Printable(p.label) << '"';
  else
    std::cout << "bonus " << Printable(p.bonus) << " amount " << Printable(p.amount);
  std::cout << '\n';
}

// The job and both configuration files; false (refused, as the window's GO
// refuses it, with both of its messages) when the configuration is missing.
bool PrepareContext(const BuildOptions& options, BuildContext& context) {
  context.job = ToJobSettings(options);
  context.waits = options.waits;
  ConfigLoad load = LoadConfigFiles(options.configDir);
  context.config = std::move(load.index);
  if (context.ConfigLoaded()) return true;
  std::cerr << PrintableLines(load.reason.Text()) << '\n' << kConfigNotLoaded << std::endl;
  return false;
}

PrintedSubject Subject(RunWork work, const BuildContext& context) {
  PrintedSubject subject;
  subject.work = work;
  subject.job = context.job;
  return subject;
}

}  // namespace

void SetupBuildOptions(CLI::App& command, BuildOptions& o) {
  command.add_option("--template", o.templatePath, "The template file (.vsk)")->required();
  command.add_option("--character", o.characterPath, "The character's settings file (.ini)")->required();
  command.add_option("--config-dir", o.configDir, "Folder of config.xml and config_gem.xml (default: current)");
  command.add_option("--quickbar", o.quickbar, "Quickbar 1 to 3 (default 2)")->check(CLI::Range(1, 3));
  command.add_option("--first-bar", o.firstBar, "First bar 1 to 10 (default 2)")->check(CLI::Range(1, 10));
  command.add_option("--last-bar", o.lastBar, "Last bar 1 to 10 (default 7)")->check(CLI::Range(1, 10));
  command.add_flag("--spacer,!--no-spacer", o.spacer, "A spacer macro ahead of each item (default on)");
  command.add_flag("--reverse", o.reverse, "Fill the bars from the last to the first");
  command.add_flag("--cleanup,!--no-cleanup", o.cleanup, "Empty the bar range first (default on)");
}

int RunBuildCommand(const BuildOptions& options, bool preview) {
  GameLook game(!preview && !options.noGameCheck);  // while the configuration loads
  BuildContext context;
  if (!PrepareContext(options, context)) return 1;
  game.Warn(context.job.characterPath, "build");
  const RunOutcome outcome = RunBuild(context, preview ? RunMode::Preview : RunMode::Write);
  if (preview && options.bars)
    std::cout << BarPictureText(BarsOf(outcome, context.job));
  else if (preview)
    for (const PlacedHotkey& p : outcome.placed) PrintPlaced(p);
  return PrintOutcome(outcome, Subject(preview ? RunWork::Preview : RunWork::Build, context));
}

int RunGemTableCommand(const BuildOptions& options) {
  GameLook game(!options.noGameCheck);
  BuildContext context;
  if (!PrepareContext(options, context)) return 1;
  game.Warn(context.job.characterPath, "build");
  PrintedSubject subject = Subject(RunWork::GemTable, context);
  subject.log = AbsolutePath(kGemTableLog);
  const GemTableResult result = RunGemTest(context, kGemTableLog);
  subject.logWritten = result.logWritten;
  return PrintOutcome(result.run, subject);
}
