// The compiled-in resources: dialog layouts, bitmaps and icon.
#pragma once

#include <initializer_list>

/// Registers the layouts and bitmaps with wxXmlResource (the handlers must be
/// initialised first). Defined in the file wxrc generates from the .xrc files.
void InitBrindlemarqueResources();

/// A layout's control name and the fixed id it is to have.
struct XrcId {
  const char* name;
  int id;
};

/// Ties each name to its id, so that every control keeps the id it has
/// always had. Call before a layout is loaded; calling again is harmless.
void RegisterXrcIds(std::initializer_list<XrcId> ids);
