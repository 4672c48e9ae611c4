// Whether another program holds a file open. A save begun before a swap,
// through a handle opened then, still writes into the file the swap
// displaced: that file is looked at only once the handle is closed.
#pragma once

#include <string>

#include "native_handle.h"

enum class OpenElsewhere { No, Yes, Unknown };

/// Whether a descriptor or a mapping of the file `path` names exists now
/// besides `own` (a handle of the caller's on it, such as its lock's; any
/// other of this process counts). Linux: a write lease, which the system
/// grants only while there is no other, tells; where leases cannot be had
/// (another owner's file, a file system without them), the descriptors and
/// mappings /proc lists of the processes this user may look at. Windows: an
/// open that shares nothing fails while any other handle is open. Unknown
/// where none of these tells.
OpenElsewhere FindOpenElsewhere(const std::string& path, NativeHandle own = kNoHandle);
