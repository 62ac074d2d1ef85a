// Linked into the programs only (not into their libraries), like FontMatchHook: takes the place of
// FreeType's FT_New_Face for every caller in the process, Qt's font engine included. FreeType's own file
// access maps the font file into memory, and a font file that an editor truncates or rewrites in place
// while its face is on screen then ends the program with SIGBUS at the next glyph FreeType reads from the
// mapping. Opened through a stream of ordinary reads instead (FontFileBytes.h), a file that shrank reads
// short: FreeType reports a broken glyph, which Qt draws as nothing.
#include "platform/linux/files/FontFileBytes.h"

#include <ft2build.h>
#include FT_FREETYPE_H

extern "C" FT_Error FT_New_Face(FT_Library library, const char* path, FT_Long index, FT_Face* face)
{
    return quillon::platform::openFaceByReads(library, path, index, face);
}
