#include "platform/linux/InstalledFonts.h"

#include "platform/linux/FontconfigFaces.h"

namespace quillon::platform {

InstalledFonts::InstalledFonts(Source source) : source_(std::move(source))
{
    if (!source_) source_ = listInstalledFaces;
}

void InstalledFonts::load()
{
    if (loaded_) return;
    loaded_ = true;
    entries_ = buildFontsKey(source_());
    pathByName_.reserve(static_cast<qsizetype>(entries_.size()));
    for (const FontsKeyEntry& entry : entries_) {
        const QString path = QString::fromStdString(entry.file);
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QString name = path.mid(slash + 1).toLower();
        if (!pathByName_.contains(name)) pathByName_.insert(name, path);
    }
}

const std::vector<FontsKeyEntry>& InstalledFonts::entries()
{
    load();
    return entries_;
}

QString InstalledFonts::fontFilePath(const QString& fileName)
{
    load();
    return pathByName_.value(fileName.toLower());
}

} // namespace quillon::platform
