#pragma once
// The sample picture as a screen reader gets it: named by the sample text it shows, described by the face,
// size and effects it is drawn in, its text readable through the text interface. The picture is only
// pixels; without this a reader finds a nameless widget where the sample is.

#include <QString>

namespace quillon {

class SamplePicture;

namespace accessibility {

/// Installs the picture's interface (and the program's other ones); harmless when called again.
void installSample();
/// Tells a reader that the sample changed (its text, face or size).
void sampleChanged(SamplePicture& picture);
/// The description: face, size in points, and the effects that are on, e.g. "DejaVu Sans, 12 points, bold".
QString sampleDescription(const SamplePicture& picture);

} // namespace accessibility
} // namespace quillon
