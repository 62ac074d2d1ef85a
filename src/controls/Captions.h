#pragma once
// The lettering of every window's captions, and the rule that keeps them whole. The windows were laid out in
// twips around the widths of "MS Sans Serif"; no face on Linux has those widths, and the one fontconfig
// substitutes (DejaVu Sans, Noto Sans) is wide enough to cut "Strikethru" to "Striketh". So the program sets
// its captions in the narrowest suitable face installed, and where a caption still does not fit its box it
// sets that caption a little smaller; no other caption changes.
//
// Used by every window: the main window, the splash, the summary, the options, printer and About dialogs.

#include <QFont>
#include <QString>

class QWidget;

namespace quillon {

namespace platform {
class FaceRasterizer;
class FontSystem;
} // namespace platform

namespace captions {

/// The smallest size a caption is set down to, points.
inline constexpr qreal kSmallestPoints = 6.0;

/// Of the installed outline faces that can stand in for "MS Sans Serif" (the font mapper's own substitute
/// and the usual sans-serif interface faces, each counted only when installed under that very family name),
/// the one that sets the windows' captions narrowest. Falls back to the mapper's substitute, and to the
/// name itself when the font system has no fonts. Cheap for the faces that are not installed: they are looked
/// up by name, never matched; the installed ones are measured from their files through `rasterizer`, and
/// only near ties are set by Qt (a font engine each) to decide.
QString standInFamily(platform::FontSystem& fonts, platform::FaceRasterizer& rasterizer);

/// Makes the stand-in the application's font family (its size stays), so every window, message box and
/// field that sets no face of its own uses it, and Qt never has to search all installed families for a
/// substitute of an unknown name.
void useStandIn(platform::FontSystem& fonts, platform::FaceRasterizer& rasterizer);

/// The captions' lettering: the application's font family at `points`.
QFont font(qreal points, bool bold = false, bool italic = false, bool underline = false);

/// Whether the caption of a label, check box, option button or push button shows whole inside its box
/// (across, and down for a label that wraps). Controls of other kinds, and empty captions, always fit.
bool fits(const QWidget& control);

/// Every label, check box, option button and push button inside `window` whose caption would be cut off is
/// set smaller, a quarter point at a time, until it fits or reaches kSmallestPoints. Run once the captions
/// are set; a caption changed later is not fitted again.
void fit(QWidget& window);

} // namespace captions
} // namespace quillon
