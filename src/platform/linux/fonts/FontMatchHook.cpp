// Linked into the program only (not into its libraries): takes the place of fontconfig's FcFontMatch for
// every caller in the process, Qt included, since a definition in the executable comes first in the dynamic
// linker's search. Requests that name their font file, as Qt's do each time it makes a font engine, are
// matched among that file's fonts alone (see FontMatchStandIn.h): the same answer without scoring every
// installed font. fontconfig's own calls inside the library are not affected. QUILLON_FONT_MATCH=fontconfig
// turns the stand-in off, so that every request is scored by fontconfig as it would be without it.
#include "platform/linux/fonts/FontMatchStandIn.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <cstring>

namespace {

// One index for the whole process, as the function it stands in for has no context to hold it. It is never
// destroyed: it holds references on fontconfig's fonts, which must not be released after whatever tears
// fontconfig down at exit.
quillon::platform::FontMatchStandIn& fontsByFile()
{
    static auto* index = [] {
        const char* choice = std::getenv("QUILLON_FONT_MATCH");
        return new quillon::platform::FontMatchStandIn(!choice || std::strcmp(choice, "fontconfig") != 0);
    }();
    return *index;
}

} // namespace

extern "C" FcPattern* FcFontMatch(FcConfig* config, FcPattern* request, FcResult* result)
{
    return fontsByFile().match(config, request, result);
}
