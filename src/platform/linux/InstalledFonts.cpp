#include "platform/linux/InstalledFonts.h"

#include "platform/NativeText.h"
#include "platform/linux/FontconfigFaces.h"

namespace quillon::platform {

InstalledFonts::InstalledFonts(Source source) : source_(std::move(source))
{
    if (!source_) source_ = listFontsKey;
}

void InstalledFonts::load()
{
    if (loaded_) return;
    loaded_ = true;
    entries_ = source_();
}

const std::vector<FontsKeyEntry>& InstalledFonts::entries()
{
    load();
    return entries_;
}

QString InstalledFonts::fontFilePath(const QString& fileName)
{
    load();
    if (!indexed_) { // made on the first look-up, not with the key: building the catalogue needs none
        indexed_ = true;
        pathByName_.reserve(static_cast<qsizetype>(entries_.size()));
        for (const FontsKeyEntry& entry : entries_) {
            const QString path = fromNativeBytes(entry.file);
            const QString name = lowerCased(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
            if (!pathByName_.contains(name)) pathByName_.insert(name, path);
        }
    }
    return pathByName_.value(lowerCased(fileName));
}

} // namespace quillon::platform
