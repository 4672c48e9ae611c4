#include "translations.h"

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/translation.h>
#include <wx/uilocale.h>

namespace {

const char* const kDomain = "brindlemarque";

// Beside the program (an installed Windows program, a build folder's bin/
// next to its share/), or the installation's share/locale on Linux.
void AddLookupPaths() {
  static bool added = false;
  if (added) return;
  added = true;
  wxFileName program(wxStandardPaths::Get().GetExecutablePath());
  wxFileTranslationsLoader::AddCatalogLookupPathPrefix(program.GetPath() + "/locale");
  wxFileTranslationsLoader::AddCatalogLookupPathPrefix(program.GetPath() + "/../share/locale");
}

}  // namespace

bool UseLanguage(const std::string& language) {
  wxLogNull quiet;  // a locale or catalog the system lacks is not worth a message box
  static bool known = wxUILocale::UseDefault();
  AddLookupPaths();
  auto* translations = new wxTranslations();
  wxTranslations::Set(translations);  // takes ownership, replacing the catalogs in use
  if (!language.empty()) translations->SetLanguage(language);
  translations->AddStdCatalog();  // the toolkit's own: stock labels such as "Abbrechen"
  translations->AddCatalog(kDomain, wxLANGUAGE_ENGLISH_US);
  return known;
}

std::string ShownLanguage() {
  wxTranslations* translations = wxTranslations::Get();
  wxString best = translations ? translations->GetBestTranslation(kDomain, wxLANGUAGE_ENGLISH_US) : wxString();
  for (const char* language : kLanguages)
    if (best.StartsWith(language)) return language;
  return "en";
}
