// The settings of one build job, shared by the engine, the window and the CLI.
#pragma once

#include <cstdint>
#include <string>

/// Option bits of JobSettings::options.
enum OptionFlags : std::uint32_t {
  OPT_SPACER = 0x01,    ///< a spacer macro ahead of each item
  OPT_REVERSE = 0x02,   ///< fill the bars from the last to the first
  OPT_CLEANUP = 0x04,   ///< empty the bar range first
  OPT_DROP_RUN = 0x08,  ///< build at once when a template is dropped
  OPT_QUIT = 0x10,      ///< close after a successful build
};

/// One build job. The engine relies on 1 <= quickbar <= 3 and
/// 1 <= firstBar <= lastBar <= 10; whoever fills it corrects the values first.
struct JobSettings {
  std::string templatePath;   ///< the template file, may be empty
  std::string characterPath;  ///< the character file, may be empty
  std::int32_t quickbar = 2;
  std::int32_t firstBar = 2;
  std::int32_t lastBar = 7;
  std::uint32_t options = OPT_SPACER | OPT_CLEANUP | OPT_DROP_RUN;

  bool Has(OptionFlags flag) const { return (options & flag) != 0; }
};

/// Makes `job` safe for the engine: quickbar held to 1..3, bars to 1..10,
/// and a first bar above the last swapped with it, which flips OPT_REVERSE
/// (a range given backwards is walked backwards).
void CorrectBarRange(JobSettings& job);
