#include "settings_store.h"

#include <cstdint>
#include <memory>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>
#ifdef __WINDOWS__
#include <wx/msw/regconf.h>
#else
#include <wx/fileconf.h>
#endif

namespace {

const char* const kVendor = "Daoc";
const char* const kGroup = "/settings";

// One flag of JobSettings::options: its value name and default.
struct FlagValue {
  const char* name;
  OptionFlags bit;
  long fallback;
};

// The stored order: "use_space", "quit", "reverse", "cleanup", "dragged".
const FlagValue kFlags[] = {{"use_space", OPT_SPACER, 1},
                            {"quit", OPT_QUIT, 0},
                            {"reverse", OPT_REVERSE, 0},
                            {"cleanup", OPT_CLEANUP, 1},
                            {"dragged", OPT_DROP_RUN, 1}};

// Paths are byte strings: each byte maps to one character and back, so any
// bytes (UTF-8 or Latin-1) survive the store exactly.
wxString FromBytes(const std::string& bytes) { return wxString::From8BitData(bytes.data(), bytes.size()); }

std::string ToBytes(const wxString& text) {
  wxCharBuffer buffer = text.To8BitData();
  return std::string(buffer.data(), buffer.length());
}

#ifndef __WINDOWS__
wxString ConfigFolder() {
  wxString base;
  if (!wxGetEnv("XDG_CONFIG_HOME", &base) || base.empty()) base = wxGetHomeDir() + "/.config";
  return base + "/" + kVendor;
}
#endif

// Opens the store, creating its location; each call opens and closes it.
std::unique_ptr<wxConfigBase> OpenStore(const std::string& appName) {
#ifdef __WINDOWS__
  auto store = std::make_unique<wxRegConfig>(FromBytes(appName), kVendor);
#else
  wxFileName::Mkdir(ConfigFolder(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  auto store = std::make_unique<wxFileConfig>(FromBytes(appName), kVendor, FromBytes(SettingsLocation(appName)),
                                              wxString(), wxCONFIG_USE_LOCAL_FILE);
#endif
  store->SetExpandEnvVars(false);  // a path holding "$" stays as it is
  store->SetPath(kGroup);
  return store;
}

std::int32_t ReadNumber(wxConfigBase& store, const char* name, std::int32_t fallback) {
  long value = 0;
  if (!store.Read(name, &value) || value < INT32_MIN || value > INT32_MAX) return fallback;
  return static_cast<std::int32_t>(value);
}

std::string ReadText(wxConfigBase& store, const char* name) {
  wxString value;
  return store.Read(name, &value) ? ToBytes(value) : std::string();
}

}  // namespace

std::string ApplicationName() {
  wxFileName exe(wxStandardPaths::Get().GetExecutablePath());
  std::string name = ToBytes(exe.GetName());
  return name.empty() ? "Brindlemarque" : name;
}

std::string SettingsLocation(const std::string& appName) {
#ifdef __WINDOWS__
  return "HKEY_CURRENT_USER\\Software\\Daoc\\" + appName + "\\settings";
#else
  return ToBytes(ConfigFolder()) + "/" + appName + ".conf";
#endif
}

void LoadSettings(JobSettings& job, const std::string& appName) {
  wxLogNull quiet;  // a damaged store gives defaults, never a message
  auto store = OpenStore(appName);
  job.templatePath = ReadText(*store, "sc_file");
  job.characterPath = ReadText(*store, "out_file2");
  job.quickbar = ReadNumber(*store, "qbar", 2);
  job.firstBar = ReadNumber(*store, "qbar_first", 2);
  job.lastBar = ReadNumber(*store, "qbar_last", 7);
  job.options = 0;
  for (const FlagValue& flag : kFlags)
    if (ReadNumber(*store, flag.name, flag.fallback) != 0) job.options |= flag.bit;
}

void SaveSettings(const JobSettings& job, const std::string& appName) {
  wxLogNull quiet;
  auto store = OpenStore(appName);
  store->Write("sc_file", FromBytes(job.templatePath));
  store->Write("out_file2", FromBytes(job.characterPath));
  store->Write("qbar", static_cast<long>(job.quickbar));
  store->Write("qbar_first", static_cast<long>(job.firstBar));
  store->Write("qbar_last", static_cast<long>(job.lastBar));
  for (const FlagValue& flag : kFlags) store->Write(flag.name, static_cast<long>(job.options & flag.bit));
  store->Flush();
}
