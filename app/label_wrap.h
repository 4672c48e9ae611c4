// Long check box labels wrapped onto more lines, as the layout's taller
// check boxes expect, since not every toolkit wraps them by itself.
#pragma once

class wxCheckBox;

/// Breaks the label at blanks so that each line fits beside the box.
/// Labels that fit already are left as they are.
void WrapCheckBoxLabel(wxCheckBox* box);

/// Makes the box as tall as the toolkit needs for its label (a box smaller
/// than that is drawn clipped), growing it evenly up and down.
void GrowToMinimumHeight(wxCheckBox* box);
