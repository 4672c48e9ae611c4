// The program's languages: the process's locale, and the toolkit's and the
// program's translation catalogs ("wxstd", "brindlemarque"), so that every
// text shown (layouts, menus, messages, the toolkit's own dialogs) speaks
// the chosen language. The catalogs are looked for beside the program
// ("locale/" on Windows) and in the installation's share/locale.
#pragma once

#include <string>

/// The languages the program has catalogs for, as catalog names.
inline const char* const kLanguages[] = {"de", "en", "fr"};

/// Sets the C library's and the toolkit's locale from the user's settings
/// (LANG, LC_ALL, LANGUAGE; on Windows the user's language) and loads the
/// catalogs in `language` ("de", "en", "fr"), or in the user's language when
/// it is empty. A language given also becomes the system's texts' (GTK's
/// buttons and file chooser; Windows' boxes), whatever the user's settings
/// say. Call again to change the language: texts shown afterwards use the
/// new one. Returns false when the system does not know the user's locale;
/// the program then goes on in the default ("C") locale.
bool UseLanguage(const std::string& language = std::string());

/// The catalog the program's texts come from now: "de", "en" or "fr"; "en"
/// (the texts' own language) for every language without a catalog.
std::string ShownLanguage();
