// Pieces the dialogs share: the game's text shown, controls as tall as
// their font, and the tail of a dialog whose only button is Close.
#pragma once

#include <string>
#include <wx/string.h>

class wxDialog;
class wxSizer;
class wxWindow;

/// A text of the game (a label, a hotkey's value) as the window shows it.
wxString ShownGameText(const std::string& gameText);

/// Ends `dialog`'s layout: `sizer` gets a Close button under a separator,
/// Escape and Return close, and the dialog is fitted and centred on its parent.
void FinishCloseOnlyDialog(wxDialog& dialog, wxSizer* sizer);

/// Gives `window`'s text fields, combo boxes and buttons at least the
/// height their font needs: with a large font GTK asks for less than its
/// text, and descenders ("_", "g") would be cut off. Call before fitting.
void FitControlsToFont(wxWindow& window);
