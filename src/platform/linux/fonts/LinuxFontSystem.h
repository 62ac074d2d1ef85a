#pragma once
// The font system on Linux: fontconfig's installed faces plus the files the program added (Qt application
// fonts) form the mapper's choice; names resolve by the rules of FaceNameIndex; traits come from the chosen
// face's file through FreeType. Needs a QGuiApplication for adding and removing fonts.

#include "platform/FontSystem.h"
#include "platform/linux/fonts/FaceNameIndex.h"
#include "platform/linux/freetype/FreeTypeFaceTraits.h"

#include <QHash>
#include <QObject>

#include <map>

namespace quillon::platform {

class LinuxFontSystem final : public QObject, public FontSystem {
    Q_OBJECT
public:
    /// Takes the locale from the environment now; the face index is built on first use.
    LinuxFontSystem();
    ~LinuxFontSystem() override;

    QString stdFontName(const QString& name) override;
    int AddFontResource(const QString& path) override;
    bool RemoveFontResource(const QString& path) override;
    void SendFontChange() override { emit fontTableChanged(); }
    std::uint32_t GetSystemDefaultLCID() override { return lcid_; }
    std::optional<ResolvedFace> resolveFace(const QString& name) override;
    bool useFileFor(const QString& name, const QString& path) override;
    FontHandle CreateFontIndirect(const LogFont& request) override;
    bool DeleteObject(FontHandle font) override;
    std::optional<ResolvedFace> faceOf(FontHandle font) override;
    std::optional<TextMetric> GetTextMetrics(FontHandle font) override;
    std::uint32_t GetFontLanguageInfo(FontHandle font) override;

    /// fontconfig's configuration was read again: Qt's font database takes it in, and when the installed
    /// faces changed (`faces`), the face index too. Fonts made before keep the face they were made for.
    void fontsChanged(bool faces);

    /// Fonts made by CreateFontIndirect and not deleted yet.
    int liveFonts() const { return static_cast<int>(fonts_.size()); }

signals:
    /// A font was added to or removed from the table and the adder asked for the notice.
    void fontTableChanged();

private:
    std::optional<FaceChoice> choose(const QString& name, int cutTo);
    const FaceTraits* traitsOf(FontHandle font);

    struct Font {
        ResolvedFace face;
        bool traitsRead = false;
        std::optional<FaceTraits> traits;
    };

    FaceNameIndex index_;
    std::uint32_t lcid_;
    QString defaultFamily_;
    bool defaultFamilyKnown_ = false;
    std::map<FontHandle, Font> fonts_;
    std::map<QString, int> recordFaces_; // lower-cased listed name → face of its record's file
    FontHandle next_ = 1;
    QMultiHash<QString, int> applicationFonts_; // path -> Qt's application font ids, one per addition
};

} // namespace quillon::platform
