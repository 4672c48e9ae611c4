// The main window's control and command ids. The layouts name their controls;
// these numbers are registered for the names before a layout is loaded, so
// that every control keeps the id it has always had.
#pragma once

enum ControlIds {
  ID_GO = 1,
  ID_CLOSE = 2,
  ID_TEMPLATE_PATH = 1001,
  ID_CHARACTER_NAME = 1002,
  ID_QUICKBAR = 1003,
  ID_FIRST_BAR = 1006,
  ID_LAST_BAR = 1007,
  ID_USE_SPACER = 1008,
  ID_BROWSE_TEMPLATE = 1010,
  ID_CHOOSE_CHARACTER = 1011,
  ID_QUIT_AFTER = 1012,
  ID_FILL_REVERSE = 1014,
  ID_CLEAN_BEFORE = 1015,
  ID_DROP_RUN = 1017,
  ID_TEST_OUT = 1018,
  ID_RESULT_PICTURE = 1019,
  ID_ABOUT_COMMAND = 0x0010,    ///< the About entry of the window menu
  ID_UNDO_COMMAND = 0x0020,     ///< "Undo last build" of the window menu
  ID_PREVIEW_COMMAND = 0x0030,  ///< "Preview" of the window menu
  ID_PLANNER_FOLDER_COMMAND = 0x0040,  ///< "Planner folder..." of the window menu
  ID_RESULT_TIMER = 1234,     ///< hides the result picture
};

/// Ties each layout name ("go", "template_path", ...) to its id. Call once
/// before loading a layout; calling again is harmless.
void RegisterControlIds();
