#pragma once
// Measures how tall a face's text comes out on the screen, at 96 dots per inch, without asking the font
// matcher once per size: the face is resolved once (as the screen would draw it, without borrowing glyphs
// from other fonts) and then scaled. Needs a QGuiApplication.

#include "display/SizeList.h"

#include <QString>

namespace quillon {

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    /// Line height of "E" in twips for the face at each point size.
    virtual HeightAt heightsFor(const QString& face) = 0;
};

class ScreenTextMeasurer final : public TextMeasurer {
public:
    HeightAt heightsFor(const QString& face) override;
};

} // namespace quillon
