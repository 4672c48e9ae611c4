// Why a file call failed: each failing call of the file layer keeps a short
// reason for its thread, in English, as the messages it ends.
#pragma once

#include <string>
#include <system_error>

/// Marks a fixed reason text (a message's line after its first) for the
/// window's translation catalogs; the engine uses the text as it is.
#ifndef N_
#define N_(text) text
#endif

/// Why the last failing file call of this thread failed, in a few words
/// ("permission denied", "marked read-only", "not a regular file").
const std::string& LastFileError();

/// The reason of a failed std::filesystem call, in a few words, as LastFileError gives it.
std::string SystemErrorText(const std::error_code& error);
