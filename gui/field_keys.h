// Keyboard access to a labelled field and its "..." chooser button: Alt with
// the letter of the label's mnemonic focuses the field (GTK links no label
// to its field by itself), Alt+Shift with the same letter presses the
// button, whose label has no letter to underline; the button's tooltip names
// its keys. Works in every language, as the letter is read from the
// translated label.
#pragma once

#include <vector>
#include <wx/accel.h>

class wxButton;
class wxStaticText;
class wxWindow;

/// Adds the keys of `field` and of `button` (null when it has none) to
/// `keys`, for the accelerator table of the label's parent; nothing when
/// `label` has no mnemonic.
void AddFieldKeys(const wxStaticText& label, wxWindow& field, wxButton* button, std::vector<wxAcceleratorEntry>& keys);
