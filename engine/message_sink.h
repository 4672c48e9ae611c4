// How the engine shows a message: the window opens a message box in its
// language, the CLI prints it in English to standard error, tests record.
#pragma once

#include "reason_text.h"

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  /// Shows `message` to the user and returns once it has been seen.
  virtual void ShowMessage(const Reason& message) = 0;
};
