#include "translations.h"

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/translation.h>
#include <wx/uilocale.h>

#ifdef __WXMSW__
#include <windows.h>
#else
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <libintl.h>
#endif

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

// wx's file loader that offers only the program's languages. wx's own lists
// every language folder under every prefix (hundreds in /usr/share/locale)
// for each catalog, which was most of what the window's start-up cost beyond
// its layout; and the window speaks one of these languages only, the
// toolkit's texts included.
class ProgramLanguagesLoader : public wxFileTranslationsLoader {
 public:
  wxArrayString GetAvailableTranslations(const wxString&) const override {
    wxArrayString languages;
    for (const char* language : kLanguages) languages.push_back(language);
    return languages;
  }
};

// The system's own texts (GTK's file chooser and message boxes, Windows'
// boxes) in `language` too, whatever the user's environment says.
void UseLanguageForSystemTexts(const std::string& language) {
  if (language.empty()) return;  // the environment's language, as it is
#ifdef __WXMSW__
  if (const wxLanguageInfo* info = wxUILocale::FindLanguageInfo(language))
    ::SetThreadUILanguage(LANGIDFROMLCID(info->GetLCID()));
#else
  // gettext follows LANGUAGE unless the messages' locale is "C"; only the
  // messages' category changes (numbers and files keep theirs).
  const char* messages = std::setlocale(LC_MESSAGES, nullptr);
  if (!messages || std::strcmp(messages, "C") == 0 || std::strcmp(messages, "POSIX") == 0)
    if (!std::setlocale(LC_MESSAGES, "C.UTF-8")) std::setlocale(LC_MESSAGES, "C.utf8");
  ::setenv("LANGUAGE", language.c_str(), 1);
  ::textdomain(::textdomain(nullptr));  // forgets the texts looked up in the language before
#endif
}

}  // namespace

bool UseLanguage(const std::string& language) {
  wxLogNull quiet;  // a locale or catalog the system lacks is not worth a message box
  static bool known = wxUILocale::UseDefault();
  AddLookupPaths();
  auto* translations = new wxTranslations();
  translations->SetLoader(new ProgramLanguagesLoader);  // takes ownership
  wxTranslations::Set(translations);  // takes ownership, replacing the catalogs in use
  if (!language.empty()) translations->SetLanguage(language);
  UseLanguageForSystemTexts(language);
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
