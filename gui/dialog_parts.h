// Pieces every small dialog of the window needs: the game's text shown,
// and the tail of a dialog whose only button is Close.
#pragma once

#include <string>
#include <wx/string.h>

class wxDialog;
class wxSizer;

/// A text of the game (a label, a hotkey's value) as the window shows it.
wxString ShownGameText(const std::string& gameText);

/// Ends `dialog`'s layout: `sizer` gets a Close button under a separator,
/// Escape and Return close, and the dialog is fitted and centred on its parent.
void FinishCloseOnlyDialog(wxDialog& dialog, wxSizer* sizer);
