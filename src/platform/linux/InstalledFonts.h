#pragma once
// The installed font files as the Windows NT fonts key lists them, computed once per process on first use
// (fonts installed later are seen at the next start, as on Windows). Shared by the fonts key view and the
// font file lookup, so fontconfig is listed once.

#include "platform/FontFileLookup.h"
#include "platform/linux/FontsKeyBuilder.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

namespace quillon::platform {

class InstalledFonts final : public FontFileLookup
{
public:
    using Source = std::function<std::vector<FontsKeyEntry>()>;

    /// source gives the key's values; the default lists fontconfig's current configuration.
    explicit InstalledFonts(Source source = {});

    /// The fonts key's values in enumeration order.
    const std::vector<FontsKeyEntry>& entries();

    /// Matches the listed files only: a file the key leaves out (Type 1) is not a catalogue file either.
    QString fontFilePath(const QString& fileName) override;

private:
    void load();

    Source source_;
    bool loaded_ = false;
    std::vector<FontsKeyEntry> entries_;
    bool indexed_ = false;
    QHash<QString, QString> pathByName_; // lower-cased file name -> full path, the first listed wins
};

} // namespace quillon::platform
