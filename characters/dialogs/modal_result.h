// What the character dialogs' modal runs return.
#pragma once

enum ModalResult {
  MODAL_OK = 1,       ///< confirmed
  MODAL_CANCEL = 2,   ///< cancelled (button, close box or Escape)
  MODAL_FAILED = -1,  ///< the window could not be made, or gave no usable path
};
