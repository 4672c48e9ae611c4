// The compiled-in resources: dialog layouts, bitmaps and icon.
#pragma once

/// Registers the layouts and bitmaps with wxXmlResource (the handlers must be
/// initialised first). Defined in the file wxrc generates from the .xrc files.
void InitBrindlemarqueResources();
