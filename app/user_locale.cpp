#include "user_locale.h"

#include <wx/log.h>
#include <wx/translation.h>
#include <wx/uilocale.h>

bool UseUserLocale() {
  wxLogNull quiet;  // a locale the system lacks is not worth a message box
  bool known = wxUILocale::UseDefault();
  // The toolkit's own catalogue ("wxstd"): stock labels such as "Abbrechen".
  if (!wxTranslations::Get()) {
    auto* translations = new wxTranslations();
    wxTranslations::Set(translations);  // takes ownership
    translations->AddStdCatalog();
  }
  return known;
}
