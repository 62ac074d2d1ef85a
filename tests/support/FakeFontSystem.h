#pragma once
// A font system for tests: a set of known family names, additions recorded, fonts made from a table of faces
// with chosen traits. Nothing of the machine's fonts is touched.

#include "platform/FontSystem.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <map>

namespace quillon::test {

class FakeFontSystem : public platform::FontSystem {
public:
    struct Face {
        platform::ResolvedFace face;
        std::uint8_t pitchAndFamily = 0;
        std::uint32_t languageInfo = 0;
    };

    /// Family names the mapper knows, compared ignoring case.
    QStringList knownFamilies;
    /// Families a file makes known while it is added, by path.
    QHash<QString, QStringList> familiesInFile;
    /// What the mapper reads back for a name it does not know.
    QString fallbackFamily = QStringLiteral("Fallback Sans");
    /// When set, every addition fails.
    bool refuseAdditions = false;
    std::uint32_t lcid = platform::kDefaultLcid;
    /// Faces that CreateFontIndirect finds, by lower-cased face name; an unknown name gets `fallbackFace`.
    QHash<QString, Face> faces;
    Face fallbackFace;
    /// When set, CreateFontIndirect fails.
    bool refuseFonts = false;

    // What happened.
    QStringList added; // live additions, in order
    int additions = 0;
    int removals = 0;
    int broadcasts = 0;
    QStringList requestedFaceNames;
    int fontsCreated = 0;

    int liveFonts() const { return static_cast<int>(fonts_.size()); }

    QString stdFontName(const QString& name) override;
    int AddFontResource(const QString& path) override;
    bool RemoveFontResource(const QString& path) override;
    void SendFontChange() override { ++broadcasts; }
    std::uint32_t GetSystemDefaultLCID() override { return lcid; }
    std::optional<platform::ResolvedFace> resolveFace(const QString& name) override;
    platform::FontHandle CreateFontIndirect(const platform::LogFont& request) override;
    bool DeleteObject(platform::FontHandle font) override;
    std::optional<platform::ResolvedFace> faceOf(platform::FontHandle font) override;
    std::optional<platform::TextMetric> GetTextMetrics(platform::FontHandle font) override;
    std::uint32_t GetFontLanguageInfo(platform::FontHandle font) override;

private:
    const Face& lookup(const QString& name) const;
    std::map<platform::FontHandle, Face> fonts_;
    platform::FontHandle next_ = 1;
};

} // namespace quillon::test
