#include "platform/FontInstall.h"

namespace quillon::platform {

bool isFontFileName(const QString& name)
{
    static const char* const kinds[] = {".ttf", ".otf", ".ttc",    ".otc", ".pfb", ".pfa",
                                        ".t1",  ".pcf", ".pcf.gz", ".bdf", ".fon"};
    for (const char* kind : kinds)
        if (name.endsWith(QLatin1String(kind), Qt::CaseInsensitive)) return true;
    return false;
}

bool isArchiveFileName(const QString& name)
{
    static const char* const kinds[] = {".zip",  ".7z",     ".tar", ".tar.gz",  ".tgz", ".tar.bz2",
                                        ".tbz2", ".tar.xz", ".txz", ".tar.zst", ".tzst"};
    for (const char* kind : kinds)
        if (name.endsWith(QLatin1String(kind), Qt::CaseInsensitive)) return true;
    return false;
}

} // namespace quillon::platform
