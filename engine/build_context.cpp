#include "build_context.h"

void BuildContext::ShowMessage(const std::string& text) const {
  if (messages) messages->ShowMessage(text);
}
