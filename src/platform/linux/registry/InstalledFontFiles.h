#pragma once
// The installed font files as the Windows NT fonts key lists them, computed on first use and again after
// the fonts changed (reload). Shared by the fonts key view and the font file lookup, so fontconfig is
// listed once.

#include "platform/FontFileLookup.h"
#include "platform/linux/registry/FontsKeyBuilder.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

namespace quillon::platform {

class InstalledFontFiles final : public FontFileLookup {
public:
    using Source = std::function<std::vector<FontsKeyEntry>()>;

    /// source gives the key's values; the default lists fontconfig's current configuration.
    explicit InstalledFontFiles(Source source = {});

    /// The fonts key's values in enumeration order.
    const std::vector<FontsKeyEntry>& entries();

    /// Matches the listed files only: a file the key leaves out (Type 1) is not a catalogue file either.
    QString fontFilePath(const QString& fileName) override;

    /// Fonts were installed or removed: the next use lists fontconfig's configuration again.
    void reload();

private:
    void load();

    Source source_;
    bool loaded_ = false;
    std::vector<FontsKeyEntry> entries_;
    bool indexed_ = false;
    // lower-cased file name -> its entry, the first listed wins; the entry holds the path, which is not
    // copied here: with tens of thousands of fonts a second copy of every path is megabytes.
    QHash<QString, std::size_t> entryByName_;
};

} // namespace quillon::platform
