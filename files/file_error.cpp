// The reasons of failed file calls, one per thread.
#include "file_error.h"

#include <cstring>
#ifndef _WIN32
#include <locale.h>
#endif

#include "ascii_text.h"
#include "file_failure.h"

namespace {

Reason& ErrorSlot() {
  thread_local Reason reason;
  return reason;
}

}  // namespace

void SetFileError(Reason reason) { ErrorSlot() = std::move(reason); }

bool Fail(Reason reason) {
  SetFileError(std::move(reason));
  return false;
}

const Reason& LastFileError() { return ErrorSlot(); }

// In English whatever the user's locale, like the messages around it.
Reason ErrnoText(int error) {
#ifdef _WIN32
  std::string text = std::strerror(error);
#else
  static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t());
  std::string text = english ? strerror_l(error, english) : std::strerror(error);
#endif
  if (!text.empty()) text[0] = LowerAscii(text[0]);
  return Reason::Known(text);
}
