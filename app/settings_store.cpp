#include "settings_store.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

// Names (the application name, folders) as text: one byte, one character.
wxString FromBytes(const std::string& bytes) { return wxString::From8BitData(bytes.data(), bytes.size()); }

std::string ToBytes(const wxString& text) {
  wxCharBuffer buffer = text.To8BitData();
  return std::string(buffer.data(), buffer.length());
}

// Paths that are not UTF-8 (Latin-1 file names on Linux) are stored as
// "bytes:" and the path with every byte outside printable ASCII, and '%',
// written as %XX, so that they come back exactly.
const char* const kBytesPrefix = "bytes:";

bool IsUtf8(const std::string& bytes) {
  return bytes.empty() || !wxString::FromUTF8(bytes.data(), bytes.size()).empty();
}

wxString PathToStored(const std::string& path) {
  if (IsUtf8(path)) return wxString::FromUTF8(path.data(), path.size());
  std::string escaped = kBytesPrefix;
  for (unsigned char c : path) {
    if (c >= 0x20 && c < 0x7F && c != '%') {
      escaped += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      escaped += hex;
    }
  }
  return wxString::FromAscii(escaped.c_str());
}

std::string PathFromStored(const wxString& stored) {
  std::string utf8 = stored.utf8_string();
  if (utf8.rfind(kBytesPrefix, 0) == 0) {
    std::string bytes;
    for (std::size_t i = std::strlen(kBytesPrefix); i < utf8.size(); ++i) {
      unsigned value = 0;
      if (utf8[i] == '%' && i + 2 < utf8.size() && std::sscanf(utf8.c_str() + i + 1, "%2x", &value) == 1) {
        bytes += static_cast<char>(value);
        i += 2;
      } else {
        bytes += utf8[i];
      }
    }
    return bytes;
  }
  // Earlier versions stored each byte of a path as one character, so that a
  // UTF-8 "ü" stands there as "Ã¼": such text is taken back to its bytes.
  std::string latin = ToBytes(stored);
  bool byteChars = stored.length() == latin.size() && stored == FromBytes(latin);
  bool wide = std::any_of(latin.begin(), latin.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  if (byteChars && wide && IsUtf8(latin)) return latin;
  return utf8;  // readable text, as typed into the file
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

std::string ReadPath(wxConfigBase& store, const char* name) {
  wxString value;
  return store.Read(name, &value) ? PathFromStored(value) : std::string();
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
  job.templatePath = ReadPath(*store, "sc_file");
  job.characterPath = ReadPath(*store, "out_file2");
  // Held to the ranges a build can write, so that the fields show what GO writes.
  job.quickbar = std::clamp(ReadNumber(*store, "qbar", 2), 1, 3);
  job.firstBar = std::clamp(ReadNumber(*store, "qbar_first", 2), 1, 10);
  job.lastBar = std::clamp(ReadNumber(*store, "qbar_last", 7), 1, 10);
  job.options = 0;
  for (const FlagValue& flag : kFlags)
    if (ReadNumber(*store, flag.name, flag.fallback) != 0) job.options |= flag.bit;
}

void SaveSettings(const JobSettings& job, const std::string& appName) {
  wxLogNull quiet;
  auto store = OpenStore(appName);
  store->Write("sc_file", PathToStored(job.templatePath));
  store->Write("out_file2", PathToStored(job.characterPath));
  store->Write("qbar", static_cast<long>(job.quickbar));
  store->Write("qbar_first", static_cast<long>(job.firstBar));
  store->Write("qbar_last", static_cast<long>(job.lastBar));
  for (const FlagValue& flag : kFlags) store->Write(flag.name, static_cast<long>(job.options & flag.bit));
  store->Flush();
}

std::string LoadConfigFolder(const std::string& appName) {
  wxLogNull quiet;
  auto store = OpenStore(appName);
  return ReadPath(*store, "config_dir");
}

void SaveConfigFolder(const std::string& folder, const std::string& appName) {
  wxLogNull quiet;
  auto store = OpenStore(appName);
  store->Write("config_dir", PathToStored(folder));
  store->Flush();
}

int LoadWindowWidth(const std::string& appName) {
  wxLogNull quiet;
  auto store = OpenStore(appName);
  return std::clamp(ReadNumber(*store, "window_width", 0), 0, 100000);
}

void SaveWindowWidth(int width, const std::string& appName) {
  wxLogNull quiet;
  auto store = OpenStore(appName);
  store->Write("window_width", static_cast<long>(width));
  store->Flush();
}

std::string LoadLanguage(const std::string& appName) {
  wxLogNull quiet;
  auto store = OpenStore(appName);
  return store->Read("language", wxString()).utf8_string();
}

void SaveLanguage(const std::string& language, const std::string& appName) {
  wxLogNull quiet;
  auto store = OpenStore(appName);
  store->Write("language", wxString::FromUTF8(language));
  store->Flush();
}
