// The spellcraft planner's folder: where config.xml and config_gem.xml are
// read from, which folder is kept ("config_dir") for later starts, and the
// build's work folder (the gem table's log lands beside the configuration,
// a typed template path is taken there, and the template browser opens there).
#pragma once

#include <string>

#include "build_context.h"

class wxWindow;

/// At start: loads both files into `context` from `given` (--config-dir;
/// kept when both loaded), else from the current folder when it holds
/// config.xml, else from the folder kept last. A `given` folder that fails
/// is reported, and the folder kept last is used when it loads. When no
/// folder loads, shows why and offers (Yes by default) to choose the
/// planner's folder, again after each folder that fails, until one loads
/// or the user declines. Messages go to `parent` (null before the window shows).
void OpenPlannerFolder(wxWindow* parent, BuildContext& context, const std::string& given);

/// The window menu's "Planner folder...": browses for a folder and, when
/// both files load from it, uses and keeps it; otherwise shows why and
/// offers to choose again. The files and the folder in use stay until one loads.
void ChangePlannerFolder(wxWindow* parent, BuildContext& context);
