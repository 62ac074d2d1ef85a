#pragma once
// The font files of a downloaded archive (.zip, .7z, .tar with or without gzip, bzip2, xz or zstd), read
// with libarchive within bounds, as hostile input: an archive may lie about its entries' sizes, name places
// outside itself ("../../.bashrc", "/etc/x"), hold links that point anywhere, or unpack to far more than it
// weighs. Such an archive is refused whole with the reason; only regular files with a font's file name are
// written, each under a name of the reader's own making, so nothing lands outside the folder it is given.
//
// Formats that read other files of the machine (mtree) and filters that run other programs are left out.

#include "platform/FontInstall.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>

struct archive;

namespace quillon::platform {

class ArchiveFonts {
public:
    /// Where the font entries' bytes go. Each call returns false to stop reading (the archive is then
    /// refused with `problem`).
    struct Sink {
        virtual ~Sink() = default;
        virtual bool begin(const QString& entry) = 0;
        virtual bool write(const char* data, std::size_t size) = 0;
        virtual bool end() = 0;
        QString problem;
    };

    /// Writes the archive's font entries into `folder` (which must exist), numbered in entry order; on a
    /// refusal nothing written stays.
    static Unpacked unpack(const QString& archivePath, const QString& folder, const ArchiveLimits& limits);
    /// Reads an archive held in memory, handing its font entries to `sink` (the fuzz target's way in).
    static Unpacked read(const QByteArray& bytes, const ArchiveLimits& limits, Sink& sink);

private:
    static Unpacked readOpened(struct archive* reader, const ArchiveLimits& limits, Sink& sink);
};

} // namespace quillon::platform
