#include "fontfile/CFontPreview.h"

#include "platform/NativeText.h"
#include "platform/ReadableFile.h"
#include "sfnt/Source.h"
#include "sfnt/Tables.h"

namespace quillon {

CFontPreview::CFontPreview(platform::FontSystem& fonts) : fonts_(fonts)
{
    systemLocale_ = fonts_.GetSystemDefaultLCID();
}

CFontPreview::~CFontPreview() { ReleaseFontFile(); }

void CFontPreview::setFontFile(const QString& path)
{
    ReleaseFontFile();
    // Opening a regular file answers the existence test as well; the attribute query is left for what
    // cannot be opened or read that way (an unreadable file still counts as existing).
    sfnt::FileSource file;
    if (!file.open(platform::nativeBytes(path)) && !FileExists(path)) return;
    // A second file must not inherit names, style bits or validity from the first.
    ClearFileState();
    fontFile_ = path;
    ReadFontTables(file);
    file.close();
    installed_ = ResolveFaceName();
    if (!installed_) {
        AddFontFile(path);
        ResolveFaceName();
    }
}

void CFontPreview::ClearFileState()
{
    faceName_.clear();
    installed_ = false;
    validTrueTypeFile_ = false;
    nameRecords_.clear();
    nameStrings_.clear();
    fsSelection_ = 0;
}

bool CFontPreview::ReadFontTables(const sfnt::FileSource& file)
{
    if (!file.isOpen()) return false;
    sfnt::FontFacts facts;
    const bool complete = sfnt::readFontFacts(file, facts);
    // What was read before a failure stays.
    validTrueTypeFile_ = facts.valid;
    nameRecords_ = std::move(facts.names.records);
    nameStrings_ = std::move(facts.texts);
    fsSelection_ = facts.fsSelection;
    return complete;
}

QString CFontPreview::LookupName(int nameId) const
{
    const int chosen = sfnt::chosenNameRecord(nameRecords_, nameStrings_, nameId, systemLocale_);
    return chosen < 0 ? QString() : nameStrings_[static_cast<std::size_t>(chosen)];
}

bool CFontPreview::ResolveFaceName()
{
    const QString family = LookupName(1);
    const QString candidates[] = {family, family + QLatin1Char(' ') + LookupName(2), LookupName(4)};
    for (const QString& candidate : candidates) {
        if (fonts_.stdFontName(candidate) == candidate) {
            faceName_ = candidate;
            return true;
        }
    }
    return false;
}

bool CFontPreview::AddFontFile(const QString& path)
{
    if (fonts_.AddFontResource(path) == 0) return false;
    addedFile_ = path;
    if (broadcast_) fonts_.SendFontChange();
    return true;
}

void CFontPreview::ReleaseFontFile()
{
    // Whatever this object added goes, whether or not its face resolved: a font left behind would stay in
    // the process's font table for the rest of the run.
    if (addedFile_.isEmpty()) return;
    fonts_.RemoveFontResource(addedFile_);
    addedFile_.clear();
    if (broadcast_) fonts_.SendFontChange();
    faceName_.clear();
    validTrueTypeFile_ = false;
}

bool CFontPreview::FileExists(const QString& path)
{
    // One attribute query: the path must exist (links followed) and not be a folder.
    if (path.isEmpty()) return false;
    const platform::PathKind kind = platform::pathKind(path);
    return kind != platform::PathKind::Missing && kind != platform::PathKind::Folder;
}

bool CFontPreview::BitIsSet(std::uint16_t value, int bit)
{
    if (bit < 0 || bit > 15) return false;
    return (value >> bit) & 1u;
}

} // namespace quillon
