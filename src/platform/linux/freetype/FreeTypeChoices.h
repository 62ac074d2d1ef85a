#pragma once
// The choices every drawing with FreeType makes the same way as the system's text output: which character
// map a face is read through, which glyph stands for a character, which strike of a bitmap face is drawn.

typedef struct FT_FaceRec_* FT_Face;

namespace quillon::platform {

/// Selects the face's Unicode map, else its symbol map (`symbol` set: its characters live at U+F000 and up),
/// else its only map (a Windows .fon, which maps the sample's ASCII letters directly). False when it has
/// no usable map.
bool selectCharmap(FT_Face face, bool& symbol);
/// The glyph for a character through the selected map; 0 when there is none.
unsigned glyphFor(FT_Face face, char32_t c, bool symbol);
/// The fixed size of a bitmap face nearest `pixelSize` pixels to the em; -1 when it has none.
int nearestStrike(FT_Face face, double pixelSize);

} // namespace quillon::platform
