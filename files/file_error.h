// Why a file call failed: each failing call of the file layer keeps a short
// reason for its thread, as data a message can show in any language.
#pragma once

#include <string>
#include <system_error>

#include "reason_text.h"

/// Why the last failing file call of this thread failed, in a few words
/// ("permission denied", "marked read-only", "not a regular file").
const Reason& LastFileError();

/// The reason of a failed std::filesystem call, in a few words, as LastFileError gives it.
Reason SystemErrorText(const std::error_code& error);
