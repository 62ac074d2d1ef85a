// Linked into the program only (not into its libraries): takes the place of fontconfig's FcFontMatch for
// every caller in the process, Qt included, since a definition in the executable comes first in the dynamic
// linker's search. Requests that name their font file, as Qt's do each time it makes a font engine, are
// matched among that file's fonts alone (see FontsByFile.h): the same answer without scoring every installed
// font. fontconfig's own calls inside the library are not affected.
#include "platform/linux/FontsByFile.h"

#include <fontconfig/fontconfig.h>

namespace {

// One index for the whole process, as the function it stands in for has no context to hold it.
quillon::platform::FontsByFile& fontsByFile()
{
    static quillon::platform::FontsByFile index;
    return index;
}

} // namespace

extern "C" FcPattern* FcFontMatch(FcConfig* config, FcPattern* request, FcResult* result)
{
    return fontsByFile().match(config, request, result);
}
