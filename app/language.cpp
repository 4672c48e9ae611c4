#include "language.h"

#include <wx/intl.h>
#include <wx/uilocale.h>

bool IsGermanUser() {
  int language = wxUILocale::GetSystemLanguage();
  const wxLanguageInfo* info = wxUILocale::GetLanguageInfo(language);
  return info && info->CanonicalName.Lower().StartsWith("de");
}
