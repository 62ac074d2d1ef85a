#pragma once
// Archives made by the tests themselves with libarchive, including what no honest archiver writes (names
// outside the archive, links, sizes left out of the header), so that no crafted archive is checked in.

#include <QByteArray>
#include <QString>

#include <vector>

namespace quillon::test {

struct ArchiveEntry {
    QByteArray name;
    QByteArray bytes;
    QByteArray symlink = {};  // a symbolic link to this place when set
    QByteArray hardlink = {}; // a hard link to this entry when set
    bool undeclared = false;  // its size left out of the header (a zip streamed with a data descriptor)
};

enum class ArchiveKind { Zip, Tar };

/// Writes `entries` as an archive at `path`; false (and a failed test) when it cannot be written.
bool writeArchive(const QString& path, ArchiveKind kind, const std::vector<ArchiveEntry>& entries);

} // namespace quillon::test
