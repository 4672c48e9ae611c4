// A whole build (and the gem table) on random template, configuration and
// character files. A run refused before it starts (also for a configuration
// that did not load) leaves the character file as it was; a run that saved leaves every macro hotkey of the bars naming a
// macro of its own, and no second copy of a bar or macro section.
// Input: options, template, config.xml, config_gem.xml, character file,
// separated by the separator.
#include <cstdint>
#include <set>

#include "ascii_text.h"
#include "build_context.h"
#include "build_run.h"
#include "file_read.h"
#include "fuzz_support.h"
#include "gem_table.h"
#include "config_files.h"
#include "slot_cursor.h"

namespace {

int CountHeaders(const std::string& bytes, const std::string& name) {
  int count = 0;
  for (std::size_t at = bytes.find("[" + name + "]"); at != std::string::npos; at = bytes.find("[" + name + "]", at + 1))
    count += at == 0 || bytes[at - 1] == '\n' || bytes[at - 1] == '\r';
  return count;
}

void CheckMacroHotkeys(const std::string& path) {
  std::string bytes;
  Check(ReadFileBytes(path, bytes) == ReadStatus::Ok, "the saved file does not open");
  const IniDocument file(std::move(bytes));
  std::set<int> numbers;
  for (int q = 1; q <= 3; ++q)
    for (int k = 0; k < 100; ++k) {
      std::string value = file.Read(QuickbarSection(q), "Hotkey_" + std::to_string(k));
      auto comma = value.find(',');
      if (value.empty() || LeadingInt(value.c_str()) != 52 || comma == std::string::npos) continue;
      int macro = LeadingInt(value.c_str() + comma + 1);
      Check(numbers.insert(macro).second, "two macro hotkeys name one macro");
      Check(!file.Read("Macros", "Macro_" + std::to_string(macro)).empty(), "a macro hotkey names no macro");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts = SplitParts(data, size, 5);
  const std::string folder = ScratchFolder();
  const std::string templ = folder + "/t.vsk", character = folder + "/c-4.ini";
  WriteWholeFile(templ, parts[1]);
  WriteWholeFile(folder + "/config.xml", parts[2]);
  WriteWholeFile(folder + "/config_gem.xml", parts[3]);
  WriteWholeFile(character, parts[4]);

  BuildContext context;
  context.waits = kScratchWaits;
  context.config = LoadConfigFiles(folder).index;
  ByteReader options(parts[0]);
  context.job.templatePath = templ;
  context.job.characterPath = character;
  context.job.quickbar = static_cast<int>(options.Below(5)) - 1;
  context.job.firstBar = static_cast<int>(options.Below(13)) - 1;
  context.job.lastBar = static_cast<int>(options.Below(13)) - 1;
  context.job.options = options.Next();
  CorrectBarRange(context.job);
  bool gemTable = options.Next() % 8 == 0;

  const RunOutcome outcome = gemTable ? RunGemTest(context, folder + "/sc_log.txt").run : RunBuild(context, RunMode::Write);
  std::string after = ReadWholeFile(character);
  // Refused (without configuration), failed or up to date: the file stays as it was.
  if (!Wrote(outcome.kind)) {
    Check(after == parts[4], "a run that wrote nothing changed the character file");
    return 0;
  }
  for (const char* section : {"Quickbar", "Quickbar2", "Quickbar3", "Macros"})
    Check(CountHeaders(after, section) <= std::max(CountHeaders(parts[4], section), 1), "a second section appeared");
  CheckMacroHotkeys(character);
  return 0;
}
