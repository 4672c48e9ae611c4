// Long check box labels wrapped onto more lines, as the layout's taller
// check boxes expect, since not every toolkit wraps them by itself.
#pragma once

class wxCheckBox;
class wxWindow;

/// Breaks the label at blanks so that each line fits beside the box.
/// Labels that fit already are left as they are.
void WrapCheckBoxLabel(wxCheckBox* box);

/// Widens every static label of `parent` that is narrower than its text
/// needs (fonts differ between platforms; a clipped label would wrap away).
void WidenStaticLabels(wxWindow* parent);

/// Makes the box as tall as the toolkit needs for its label (a box smaller
/// than that is drawn clipped), growing it evenly up and down.
void GrowToMinimumHeight(wxCheckBox* box);
