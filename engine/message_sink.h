// How the engine shows a message: the window opens a message box, the CLI
// prints to standard error, tests record.
#pragma once

#include <string>

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  /// Shows `text` to the user and returns once it has been seen.
  virtual void ShowMessage(const std::string& text) = 0;
};
