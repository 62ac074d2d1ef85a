#pragma once
// The bitmap size a face without outlines draws at for a requested pixel size: its nearest own size.

typedef struct FT_FaceRec_* FT_Face;

namespace quillon::platform {

/// The index of the face's fixed size nearest to pixelSize pixels to the em; -1 when it has none.
int nearestFixedSize(FT_Face face, double pixelSize);

} // namespace quillon::platform
