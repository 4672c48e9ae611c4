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
#include "slot_cursor.h"

namespace {

// Messages go to standard error with the texts the window shows.
class StderrSink : public MessageSink {
 public:
  void ShowMessage(const Reason& message) override { std::cerr << PrintableLines(message.Text()) << std::endl; }
};

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
bool PrepareContext(const BuildOptions& options, StderrSink& sink, BuildContext& context) {
  context.messages = &sink;
  context.job = ToJobSettings(options);
  context.waits = options.waits;
  if (LoadConfigFiles(context, options.configDir)) return true;
  context.ShowMessage(Reason::Plain(kConfigNotLoaded));
  return false;
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
  StderrSink sink;
  BuildContext context;
  if (!PrepareContext(options, sink, context)) return 1;
  game.Warn(context.job.characterPath, "build");
  const RunOutcome outcome = RunBuild(context, preview ? RunMode::Preview : RunMode::Write);
  const std::vector<PlacedHotkey>& placed = outcome.placed;
  if (preview && options.bars)
    std::cout << BarPictureText(BarsOf(outcome, context.job));
  else if (preview)
    for (const PlacedHotkey& p : placed) PrintPlaced(p);
  if (outcome.kind == RunKind::Refused || outcome.kind == RunKind::Failed) return 1;

  const JobSettings& job = context.job;
  const std::string range = QuickbarSection(job.quickbar) + " bars " + std::to_string(job.firstBar) + "-" +
                            std::to_string(job.lastBar) + (job.Has(OPT_REVERSE) ? " (reverse)" : "");
  if (outcome.kind == RunKind::UpToDate) {
    std::cout << (preview ? "would write nothing: " : "nothing to write: ") << range << " of "
              << PrintablePath(job.characterPath) << " already hold this template\n";
    return 0;
  }
  const std::size_t spacers = CountSpacers(placed);
  std::cout << (preview ? "would write " : "wrote ");
  if (outcome.kind == RunKind::Partial) std::cout << "only " << placed.size() << " of " << outcome.planned << " hotkeys: ";
  std::cout << placed.size() - spacers << " recipe hotkeys and " << spacers << " spacers to " << range << " of "
            << PrintablePath(job.characterPath) << '\n';
  return outcome.kind == RunKind::Partial ? 1 : 0;
}

int RunGemTableCommand(const BuildOptions& options) {
  GameLook game(!options.noGameCheck);
  StderrSink sink;
  BuildContext context;
  if (!PrepareContext(options, sink, context)) return 1;
  game.Warn(context.job.characterPath, "build");
  GemTableResult result = RunGemTest(context, kGemTableLog);
  if (!result.ok) return 1;
  std::string log = PrintablePath(AbsolutePath(kGemTableLog));
  if (!result.logWritten) {
    std::cerr << "can't write " << log << std::endl;
    return 1;
  }
  std::cout << "wrote the gem table to " << log << '\n';
  return 0;
}
