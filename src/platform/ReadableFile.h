#pragma once
// Whether a path names a file that can be read as a font file, and if not, why, in the words a user
// would look for: no such file, a folder, not a regular file (a pipe or a device, which a reader would
// wait on forever), no permission.

#include <QString>

#include <optional>

namespace quillon::platform {

/// What a path names, symbolic links followed; looked up by the name's bytes (NativeText.h), so a name
/// that is not UTF-8 is found where QFileInfo would miss it.
enum class PathKind { Missing, File, Folder, Other };
PathKind pathKind(const QString& path);

/// The size in bytes of the regular file at path when this process can open it for reading; nullopt
/// otherwise. Opened without waiting, so a path swapped for a pipe does not hang the caller.
std::optional<qint64> readableFileSize(const QString& path);

/// Empty when path (text as NativeText.h makes it) is a regular file this process can open for reading;
/// otherwise the reason, such as "no such file" or "is a folder".
QString whyNotReadable(const QString& path);

} // namespace quillon::platform
