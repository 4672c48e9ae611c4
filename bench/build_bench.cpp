// The worst-case build (bars 1 to 10 of one quickbar, spacers, 300 macro
// hotkeys to compact, a 64 KB character file), the same build on its own
// result, one gem lookup, and keeping a backup of a 10 MB file, against a
// plain read-and-rewrite of the file; and the largest files the limits let
// through, as one command-line run takes them.
#include <benchmark/benchmark.h>

#include <tinyxml.h>

#include "backups.h"
#include "bench_support.h"
#include "build_context.h"
#include "build_run.h"
#include "file_read.h"
#include "file_replace.h"
#include "gem_table.h"
#include "config_files.h"
#include "recipe_lookup.h"

namespace {

const std::string kVesko = std::string(EXAMPLES_DIR) + "/vesko";

// Twenty crafted items of four effects each: with their spacers, exactly 100 slots.
std::string FullTemplate() {
  const char* positions[] = {"Helm", "Hands", "Arms", "Chest", "Legs", "Feet", "Cloak", "Neck", "Belt", "Jewel"};
  std::string t = "<?xml version=\"1.0\"?>\r\n<player>\r\n<realm>Albion</realm>\r\n";
  for (int i = 0; i < 20; ++i) {
    t += "<item><position>" + std::string(positions[i % 10]) + "</position><crafted/>";
    t += "<effect id=\"str\">22</effect><effect id=\"hits\">44</effect><effect id=\"heat\">11</effect>";
    t += "<effect id=\"qui\">13</effect></item>\r\n";
  }
  return t + "</player>\r\n";
}

struct Setup {
  std::string folder = MakeBenchFolder();
  std::string templatePath = folder + "/full.vsk";
  std::string characterPath = folder + "/Worst-4.ini";
  std::string original;
  BuildContext context;
  explicit Setup(std::string character = MakeMacroHeavyCharacterFile(64 * 1024)) : original(std::move(character)) {
    WriteBenchFile(templatePath, FullTemplate());
    context.config = LoadConfigFiles(kVesko).index;
    if (!context.ConfigLoaded()) throw std::runtime_error("example configuration did not load");
    context.job.templatePath = templatePath;
    context.job.characterPath = characterPath;
    context.job.quickbar = 1;
    context.job.firstBar = 1;
    context.job.lastBar = 10;
    context.job.options = OPT_SPACER | OPT_CLEANUP;
  }
};

Setup& Bench() {
  static Setup setup;
  return setup;
}

// The same build on a 10 MB character file whose large chat section stands
// first (arg 1) or last (arg 0).
Setup& LargeBench(bool chatFirst) {
  static Setup first(MakeMacroHeavyCharacterFile(10u << 20, true));
  static Setup last(MakeMacroHeavyCharacterFile(10u << 20, false));
  return chatFirst ? first : last;
}

// Reading the character file and replacing it unchanged: the unit of the goals.
void PlainReadAndRewrite(benchmark::State& state, Setup& s) {
  WriteBenchFile(s.characterPath, s.original);
  std::string bytes;
  for (auto _ : state) {
    ReadFileBytes(s.characterPath, bytes);
    benchmark::DoNotOptimize(ReplaceFileAtomically(s.characterPath, bytes));
  }
}

// The build, each time on the original character file.
void BuildOnTheOriginal(benchmark::State& state, Setup& s) {
  for (auto _ : state) {
    state.PauseTiming();
    WriteBenchFile(s.characterPath, s.original);
    state.ResumeTiming();
    if (!Succeeded(RunBuild(s.context, RunMode::Write).kind)) state.SkipWithError("build failed");
  }
}

void BM_PlainReadAndRewrite(benchmark::State& state) { PlainReadAndRewrite(state, Bench()); }

void BM_WorstCaseBuild(benchmark::State& state) { BuildOnTheOriginal(state, Bench()); }

void BM_PlainReadAndRewrite10MB(benchmark::State& state) { PlainReadAndRewrite(state, LargeBench(false)); }

void BM_WorstCaseBuild10MB(benchmark::State& state) { BuildOnTheOriginal(state, LargeBench(state.range(0) != 0)); }

void BM_WorstCaseBuildOnItsResult(benchmark::State& state) {
  Setup& s = Bench();
  WriteBenchFile(s.characterPath, s.original);
  Succeeded(RunBuild(s.context, RunMode::Write).kind);
  AgeBenchFile(s.characterPath);  // saved a while ago: read at once
  for (auto _ : state)
    if (!Succeeded(RunBuild(s.context, RunMode::Write).kind)) state.SkipWithError("build failed");
}

void BM_LookupRecipeHotkey(benchmark::State& state) {
  Setup& s = Bench();
  for (auto _ : state)
    benchmark::DoNotOptimize(s.context.config->Lookup("mana_focus", "50", 2));
}

// A new backup each time (two contents taken in turn, so none equals the
// newest), with the pruning to twenty.
void BM_KeepBackup10MB(benchmark::State& state) {
  Setup& s = LargeBench(false);
  std::string other = s.original;
  other[0] = other[0] == '[' ? ';' : '[';
  Reason error;
  bool flip = false;
  for (auto _ : state)
    if (!KeepBackup(s.characterPath, (flip = !flip) ? other : s.original, "bench", error))
      state.SkipWithError("backup failed");
}

// The largest files the limits let through, made to cost the most: a 16 MiB
// config.xml of bonuses no template names, a config_gem.xml of 16 MiB
// whose 150,000 positions all name one position and whose 150,000 gems
// a gem table must sort, and a template of 1 MiB whose crafted items at that
// position have no recipe. What a run of the command line does, with the
// configuration loaded each time.
struct LargestInputs {
  std::string folder = MakeBenchFolder();
  std::string templatePath = folder + "/largest.vsk", characterPath = folder + "/Largest-4.ini";
  std::string character = MakeCharacterFile(64 * 1024);
  LargestInputs() {
    std::string bonus = "<Vesko><bonuses>", gem = "<data><gems>", order = "<order>", items;
    for (int i = 0; bonus.size() < (16u << 20) - 100; ++i)
      bonus += "<bonus id=\"x" + std::to_string(i) + "\"><group>g</group><gem id=\"q\"/></bonus>";
    WriteBenchFile(folder + "/config.xml", bonus + "</bonuses><groups/></Vesko>");
    for (int i = 0; i < 150000; ++i) {
      gem += "<gem id=\"z" + std::to_string(i) + "\" r0=\"" + std::to_string(i * 7919 % 1000) + "\"/>";
      order += "<ord n=\"" + std::to_string(i % 25) + "\" id=\"Helm\">Helm</ord>";
    }
    WriteBenchFile(folder + "/config_gem.xml", gem + "</gems>" + order + "</order></data>");
    for (int i = 0; items.size() < (1u << 20) - 200; ++i)
      items += "<item><position>Helm</position><crafted/><effect id=\"n" + std::to_string(i) + "\">1</effect></item>";
    WriteBenchFile(templatePath, "<player><realm>Albion</realm>" + items + "</player>");
  }
};

void BM_LargestInputs(benchmark::State& state) {
  static LargestInputs s;
  for (auto _ : state) {
    state.PauseTiming();
    WriteBenchFile(s.characterPath, s.character);
    BuildContext context;
    context.job.templatePath = s.templatePath;
    context.job.characterPath = s.characterPath;
    context.job.options = OPT_CLEANUP;
    state.ResumeTiming();
    context.config = LoadConfigFiles(s.folder).index;
    if (!context.ConfigLoaded()) state.SkipWithError("configuration did not load");
    const RunOutcome outcome =
        state.range(0) == 0 ? RunBuild(context, RunMode::Write) : RunGemTest(context, s.folder + "/sc_log.txt").run;
    const bool ok = Succeeded(outcome.kind);
    if (!ok) state.SkipWithError("run failed");
  }
}

}  // namespace

BENCHMARK(BM_LargestInputs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadAndRewrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorstCaseBuild)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorstCaseBuildOnItsResult)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LookupRecipeHotkey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainReadAndRewrite10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorstCaseBuild10MB)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeepBackup10MB)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
