// Which copy of the main window a user gets.
#pragma once

/// True when the user's language settings ask for German; every other
/// language gets the English copy.
bool IsGermanUser();
