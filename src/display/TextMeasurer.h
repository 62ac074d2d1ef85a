#pragma once
// Measures how tall a face's text comes out on the screen, at 96 dots per inch, without asking the font
// matcher once per size: the face is loaded once, at the size of the font given, and then scaled. Needs a
// QGuiApplication.

#include "display/SizeList.h"

#include <QFont>

namespace quillon {

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    /// Line height of "E" in twips for the face of `face` at each point size. The face is loaded at the size
    /// `face` has: give the size that will be drawn next and the drawing finds the face already loaded.
    virtual HeightAt heightsFor(const QFont& face) = 0;
};

class ScreenTextMeasurer final : public TextMeasurer {
public:
    HeightAt heightsFor(const QFont& face) override;
};

} // namespace quillon
