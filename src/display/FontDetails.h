#pragma once
// The details of the selected face in words: one line per trait (TrueType or not, device font, pitch,
// vector, family, character-set traits), then the version and installed state read from the face's own file,
// and the copyright notice up to its first full stop for the label beside them.
//
// The traits come from a font made from the face name through the font system; that font stays alive until
// the next run or until the owner goes, so at most one details font exists at a time. The window keeps one
// FontDetails for its lifetime and shows what each run returns.

#include "catalogue/FontCatalogue.h"
#include "platform/FontFileLookup.h"
#include "platform/FontSystem.h"

#include <QString>
#include <QStringList>

namespace quillon {

/// What one run produces for the window.
struct FontDetailsText {
    QStringList lines;
    /// The lines joined by CR LF, nothing before the first or after the last.
    QString text() const { return lines.join(QStringLiteral("\r\n")); }
    /// Whether the copyright label is to be set; false when no font could be made (it keeps its text).
    bool copyrightSet = false;
    /// The label's new text when copyrightSet.
    QString copyright;
};

class FontDetails {
public:
    /// Both must outlive the object.
    FontDetails(platform::FontSystem& fonts, platform::FontFileLookup& files);
    /// Deletes the last details font.
    ~FontDetails();
    FontDetails(const FontDetails&) = delete;
    FontDetails& operator=(const FontDetails&) = delete;

    /// One run for the face listed as `faceName`: deletes the previous details font, makes one for the name,
    /// describes it, and reads the face's first catalogue record's file (found by the face name in lower
    /// case) for version, installed state and copyright.
    FontDetailsText describe(const QString& faceName, const FontCatalogue& catalogue);

    /// The details font of the last run; 0 when none.
    platform::FontHandle detailFont() const { return detailFont_; }
    void releaseDetailFont();

    /// Said in place of the traits when the face's file can no longer be read (deleted or broken).
    inline static const QString kUnreadableText = QStringLiteral("The font file cannot be read");
    /// The traits lines for a pitch-and-family byte and language flags, in their order.
    static QStringList traitLines(std::uint8_t pitchAndFamily, std::uint32_t languageFlags);
    /// The line for a version string; empty when the version string is.
    static QString versionLine(const QString& versionString);
    /// The label's text for a copyright notice: the part before the first full stop, or all of it.
    static QString copyrightLabel(const QString& notice);

private:
    platform::FontSystem& fonts_;
    platform::FontFileLookup& files_;
    platform::FontHandle detailFont_ = 0;
};

} // namespace quillon
