// The diagnostic gem table: one recipe hotkey for every gem of the template's
// realm, at the lowest level and sorted by recipe number, placed on the bar
// range, with a log of which slot received which gem.
#pragma once

#include <string>

#include "build_run.h"

/// The log's file name; the window writes it into the planner's folder.
extern const char* const kGemTableLog;  // "sc_log.txt"

/// What RunGemTest achieved.
struct GemTableResult {
  RunOutcome run;           ///< the run on the character file: its hotkeys and bars
  bool logWritten = false;  ///< the log was written as well (after a run that succeeded)
};

/// Loads the template; empties the bar range whatever OPT_CLEANUP says;
/// compacts the macros; takes every gem of config_gem.xml with the realm's
/// attribute, sorted by recipe number (an exchange sort that fixes the order
/// of equal numbers), and writes "45,13<2n:3><00>,,-1" for each until the
/// range is full ("end of qbar", which still counts as success); saves the
/// character file. Only then is `logPath` replaced: "--- Bar <q> - <b>"
/// before a gem that starts a bar, "<slot 1-10> - <gem> - <n> - <hotkey>" per
/// gem (also for the first gem that no longer fits), the platform's line
/// ends. The run's hotkeys go through the plan step as a build's do; the
/// range ending first is no failure ("end of qbar" as the headline of a
/// Built run). Refused with "can't read SC-File" (also for a file without
/// `player`; nothing changed), Failed with "can't write character file"
/// (nothing saved, no log).
GemTableResult RunGemTest(BuildContext& context, const std::string& logPath = kGemTableLog);
