// The user's locale for the whole process, so that the toolkit's own dialogs
// (file choosers, stock buttons) speak the user's language.
#pragma once

/// Sets the C library's and the toolkit's locale from the user's settings
/// (LANG, LC_ALL, LANGUAGE; on Windows the user's language) and loads the
/// toolkit's translations. Returns false when the system does not know the
/// user's locale; the program then goes on in the default ("C") locale.
bool UseUserLocale();
