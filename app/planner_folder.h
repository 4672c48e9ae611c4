// The spellcraft planner's folder: where config.xml and config_gem.xml are
// read from, which folder is kept ("config_dir") for later starts, and the
// working folder (the planner's, as when started there: the gem table's log
// lands beside the configuration and the template browser opens there).
#pragma once

#include <string>

#include "build_context.h"

class wxWindow;

/// At start: loads both files into `context` from `given` (--config-dir;
/// kept when both loaded), else from the current folder when it holds
/// config.xml, else from the folder kept last. Works in that folder. When
/// the files do not load, shows why and offers to choose the planner's
/// folder (again after each folder that fails) until one loads or the user
/// declines. Messages go to `parent` (null before the window shows).
void OpenPlannerFolder(wxWindow* parent, BuildContext& context, const std::string& given);

/// The window menu's "Planner folder...": browses for a folder and, when
/// both files load from it, uses and keeps it; otherwise shows why, and the
/// files and the folder in use stay.
void ChangePlannerFolder(wxWindow* parent, BuildContext& context);
