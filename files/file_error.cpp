// The reasons of failed file calls, one per thread.
#include "file_error.h"

#include <cstring>
#ifndef _WIN32
#include <locale.h>
#endif

#include "ascii_text.h"
#include "file_failure.h"

namespace {

std::string& ErrorSlot() {
  thread_local std::string reason;
  return reason;
}

}  // namespace

void SetFileError(std::string reason) { ErrorSlot() = std::move(reason); }

bool Fail(const std::string& reason) {
  SetFileError(reason);
  return false;
}

const std::string& LastFileError() { return ErrorSlot(); }

// In English whatever the user's locale, like the messages around it.
std::string ErrnoText(int error) {
#ifdef _WIN32
  std::string text = std::strerror(error);
#else
  static const locale_t english = newlocale(LC_ALL_MASK, "C", locale_t());
  std::string text = english ? strerror_l(error, english) : std::strerror(error);
#endif
  if (!text.empty()) text[0] = LowerAscii(text[0]);
  return text;
}
