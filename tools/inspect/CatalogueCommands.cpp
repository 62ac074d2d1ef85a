#include "tools/inspect/Commands.h"

#include <cstdio>

namespace quillon::inspect {

int faces(platform::Platform&, const QStringList&)
{
    std::fputs("quillon-inspect: faces is not built yet\n", stderr);
    return 2;
}

int records(platform::Platform&, const QStringList&)
{
    std::fputs("quillon-inspect: records is not built yet\n", stderr);
    return 2;
}

} // namespace quillon::inspect
