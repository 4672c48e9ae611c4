// What the system gives for an open file (or lock): a handle on Windows,
// a descriptor elsewhere.
#pragma once

#ifdef _WIN32
using NativeHandle = void*;
constexpr NativeHandle kNoHandle = nullptr;
#else
using NativeHandle = int;
constexpr NativeHandle kNoHandle = -1;
#endif
