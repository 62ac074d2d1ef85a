#pragma once
// Whether a path names a file that can be read as a font file, and if not, why, in the words a user
// would look for: no such file, a folder, not a regular file (a pipe or a device, which a reader would
// wait on forever), no permission.

#include <QString>

namespace quillon::platform {

/// Empty when path (text as NativeText.h makes it) is a regular file this process can open for reading;
/// otherwise the reason, such as "no such file" or "is a folder".
QString whyNotReadable(const QString& path);

} // namespace quillon::platform
