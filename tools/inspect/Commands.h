#pragma once
// The commands of quillon-inspect; each returns the process exit status.

#include "platform/Platform.h"

#include <QStringList>

namespace quillon::inspect {

int faces(platform::Platform& platform, const QStringList& args);
int records(platform::Platform& platform, const QStringList& args);

} // namespace quillon::inspect
