#include "platform/linux/registry/InstalledFontFiles.h"

#include "platform/NativeText.h"
#include "platform/linux/registry/FontsKeyListing.h"

namespace quillon::platform {

InstalledFontFiles::InstalledFontFiles(Source source) : source_(std::move(source))
{
    if (!source_) source_ = listFontsKey;
}

void InstalledFontFiles::load()
{
    if (loaded_) return;
    loaded_ = true;
    entries_ = source_();
}

void InstalledFontFiles::reload()
{
    loaded_ = false;
    indexed_ = false;
    entries_.clear();
    entryByName_.clear();
}

const std::vector<FontsKeyEntry>& InstalledFontFiles::entries()
{
    load();
    return entries_;
}

QString InstalledFontFiles::fontFilePath(const QString& fileName)
{
    load();
    if (!indexed_) { // made on the first look-up, not with the key: building the catalogue needs none
        indexed_ = true;
        entryByName_.reserve(static_cast<qsizetype>(entries_.size()));
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const std::string& file = entries_[i].file;
            const QString name = lowerCased(fromNativeBytes(file.substr(file.rfind('/') + 1)));
            if (!entryByName_.contains(name)) entryByName_.insert(name, i);
        }
    }
    const auto found = entryByName_.constFind(lowerCased(fileName));
    return found == entryByName_.cend() ? QString() : fromNativeBytes(entries_[*found].file);
}

} // namespace quillon::platform
