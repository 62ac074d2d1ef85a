#pragma once
// FaceSurvey from fontconfig's cache, the program's own face resolution and HarfBuzz. Which face each
// listed name draws is asked of a face index of the survey's own (the window's font system is not
// thread-safe, and confirming names opens files); a name no installed face has stands for its record's file,
// not for fontconfig's substitute. Names, languages, character sets, format, spacing and colour come from
// fontconfig's patterns; feature and axis tags from the files (LayoutTagReader).
//
// What the files gave, and which face each name draws, is kept in a cache file in the cache folder, one per
// fontconfig configuration, keyed by fontconfig's state (every font it lists, with its version) and the
// listed names. With the key unchanged nothing is read but the cache; with it changed, a file whose size
// and modification time are still those cached is not read again.

#include "platform/FaceSurvey.h"

#include <QString>

namespace quillon::platform {

class LinuxFaceSurvey final : public FaceSurvey {
public:
    /// folder: where the cache files live; empty for none (nothing is kept between surveys).
    explicit LinuxFaceSurvey(QString folder = defaultCacheFolder());

    void survey(const std::vector<ListedFace>& listed, SurveyReport& report) override;

    /// $XDG_CACHE_HOME/Quillon, else ~/.cache/Quillon.
    static QString defaultCacheFolder();
    /// The cache file for the current fontconfig configuration; empty without a folder.
    QString cacheFile() const;

private:
    QString folder_;
};

} // namespace quillon::platform
