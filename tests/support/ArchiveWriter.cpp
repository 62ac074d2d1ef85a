#include "support/ArchiveWriter.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

namespace quillon::test {

bool writeArchive(const QString& path, ArchiveKind kind, const std::vector<ArchiveEntry>& entries)
{
    struct archive* out = archive_write_new();
    archive_write_set_format(out, kind == ArchiveKind::Zip ? ARCHIVE_FORMAT_ZIP
                                                           : ARCHIVE_FORMAT_TAR_PAX_RESTRICTED);
    bool ok = archive_write_open_filename(out, path.toLocal8Bit().constData()) == ARCHIVE_OK;
    for (const ArchiveEntry& e : entries) {
        if (!ok) break;
        struct archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.constData());
        archive_entry_set_perm(entry, 0644);
        if (!e.symlink.isEmpty()) {
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, e.symlink.constData());
        } else {
            archive_entry_set_filetype(entry, AE_IFREG);
            if (!e.hardlink.isEmpty()) archive_entry_set_hardlink(entry, e.hardlink.constData());
            if (e.undeclared)
                archive_entry_unset_size(entry);
            else
                archive_entry_set_size(entry, e.hardlink.isEmpty() ? e.bytes.size() : 0);
        }
        ok = archive_write_header(out, entry) >= ARCHIVE_WARN;
        if (ok && e.symlink.isEmpty() && e.hardlink.isEmpty())
            ok = archive_write_data(out, e.bytes.constData(), static_cast<std::size_t>(e.bytes.size())) ==
                 e.bytes.size();
        archive_entry_free(entry);
    }
    EXPECT_TRUE(ok) << path.toStdString() << ": "
                    << (archive_error_string(out) ? archive_error_string(out) : "");
    ok = archive_write_close(out) == ARCHIVE_OK && ok;
    archive_write_free(out);
    return ok;
}

} // namespace quillon::test
