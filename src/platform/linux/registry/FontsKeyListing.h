#pragma once
// Lists the installed fonts from fontconfig's cache as the fonts key names them. Most of what is needed
// is in the cache; a font file is opened only where the cache cannot say: the English full name of a face
// whose name table holds several English full names, and a .fon file's description.

#include "platform/linux/registry/FontsKeyBuilder.h"

#include <vector>

namespace quillon::platform {

/// The fonts key of fontconfig's current configuration (the one FONTCONFIG_FILE and the usual files
/// select). Faces in a folder outside the configured font folders rank after all of them.
std::vector<FontsKeyEntry> listFontsKey();

} // namespace quillon::platform
