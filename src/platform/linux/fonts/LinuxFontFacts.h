#pragma once
// The face information's facts on Linux: installed faces from fontconfig's cache, the character set and
// language set fontconfig computed for a face (queried from the file itself when it is not installed), the
// name records as the program's own sfnt reader reads them, the table tags FreeType reads from the file, and
// the layout tables and variation data as the layout table reader gives them.
//
// Not thread-safe (the program has one thread). Faces are opened only for faceFacts; hasCharacters for an
// installed face opens no file.

#include "platform/FontFacts.h"

#include <QHash>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct _FcPattern FcPattern;
typedef struct _FcFontSet FcFontSet;
typedef struct _FcConfig FcConfig;

namespace quillon::platform {

class LinuxFontFacts final : public FontFacts {
public:
    LinuxFontFacts();
    ~LinuxFontFacts() override;
    LinuxFontFacts(const LinuxFontFacts&) = delete;
    LinuxFontFacts& operator=(const LinuxFontFacts&) = delete;

    std::vector<FontFileFacts> installedFacesNamed(const QString& name) override;
    std::optional<FaceFacts> faceFacts(const QString& path, int index) override;
    bool hasCharacters(const QString& path, int index, const std::vector<char32_t>& characters) override;

private:
    /// The installed face's pattern, owned by fontconfig; nullptr when the face is not installed.
    FcPattern* installedPattern(const QString& path, int index);
    FT_Library freetype();

    FT_Library library_ = nullptr;
    // The system's patterns by "index:path", rebuilt when fontconfig's configuration changes. The
    // configuration indexed is held (a reference), so that one read again after fonts were installed can
    // never be made at its address while the index still names its patterns.
    QHash<QString, FcPattern*> byFile_;
    FcFontSet* indexedSystem_ = nullptr;
    FcConfig* indexedConfig_ = nullptr;
};

} // namespace quillon::platform
