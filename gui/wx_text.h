// Moving the engine's byte strings (paths, messages) in and out of wx text.
#pragma once

#include <string>
#include <wx/string.h>

/// A path or message as bytes, shown as text: file-name encoding (UTF-8 on
/// Linux), with bytes that are not valid in it kept so they come back exactly.
wxString ToWx(const std::string& bytes);

/// The bytes of a path or message typed or chosen as text; the inverse of ToWx.
std::string FromWx(const wxString& text);

/// The path a field's text names, as a player pastes it: blanks and line
/// ends around it and one pair of surrounding quotes dropped, and a
/// "file://" address (as file managers copy files) taken as the path it
/// names, its percent escapes decoded.
std::string PathFromText(const wxString& text);
