// The stored settings: the ten values of a build job kept per user between
// runs, under vendor "Daoc", the application name and the group "settings".
// On Linux a file under the XDG config folder ($XDG_CONFIG_HOME or
// ~/.config)/Daoc/<application name>.conf; on Windows the registry key
// HKEY_CURRENT_USER\Software\Daoc\<application name>\settings.
#pragma once

#include <string>

#include "job_settings.h"

/// The application name: the executable's file name without its extension.
std::string ApplicationName();

/// Fills all six fields of `job` from the store: "sc_file", "out_file2",
/// "qbar" (default 2), "qbar_first" (2), "qbar_last" (7), and the flags
/// "use_space" (1), "quit" (0), "reverse" (0), "cleanup" (1), "dragged" (1),
/// each set by any non-zero number. The quickbar is held to 1..3 and the bars
/// to 1..10 (a first bar above the last stays so: it means a reverse walk). A
/// value that is absent or unreadable (no number, beyond 32 bits) gives its
/// default; a missing or unreadable store gives all defaults, silently.
void LoadSettings(JobSettings& job, const std::string& appName = ApplicationName());

/// Writes all ten values, each flag as the option word masked with its bit.
/// Keeps everything else in the store. Failures are silent (that value is
/// lost for the next run, nothing else).
void SaveSettings(const JobSettings& job, const std::string& appName = ApplicationName());

/// The main window's width as the player left it (in pixels independent of
/// the screen's scale); 0 when none was kept.
int LoadWindowWidth(const std::string& appName = ApplicationName());
void SaveWindowWidth(int width, const std::string& appName = ApplicationName());

/// The planning tool's folder named last with --config-dir ("config_dir",
/// beside the job's values); empty when none was.
std::string LoadConfigFolder(const std::string& appName = ApplicationName());
/// Keeps `folder` as the planning tool's folder; failures are silent.
void SaveConfigFolder(const std::string& folder, const std::string& appName = ApplicationName());

/// The window's language chosen in its menu ("language": "de", "en" or
/// "fr"); empty when none was (the user's own language then).
std::string LoadLanguage(const std::string& appName = ApplicationName());
/// Keeps the window's language; failures are silent.
void SaveLanguage(const std::string& language, const std::string& appName = ApplicationName());

/// Where the store lives, for messages and tests (the registry key on Windows).
std::string SettingsLocation(const std::string& appName = ApplicationName());
