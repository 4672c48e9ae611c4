#include "control_ids.h"

#include "resources.h"

void RegisterControlIds() {
  RegisterXrcIds({{"go", ID_GO},
                  {"close", ID_CLOSE},
                  {"template_path", ID_TEMPLATE_PATH},
                  {"character_name", ID_CHARACTER_NAME},
                  {"quickbar", ID_QUICKBAR},
                  {"first_bar", ID_FIRST_BAR},
                  {"last_bar", ID_LAST_BAR},
                  {"use_spacer", ID_USE_SPACER},
                  {"browse_template", ID_BROWSE_TEMPLATE},
                  {"choose_character", ID_CHOOSE_CHARACTER},
                  {"quit_after", ID_QUIT_AFTER},
                  {"fill_reverse", ID_FILL_REVERSE},
                  {"clean_before", ID_CLEAN_BEFORE},
                  {"drop_run", ID_DROP_RUN},
                  {"test_out", ID_TEST_OUT},
                  {"result_picture", ID_RESULT_PICTURE}});
}
