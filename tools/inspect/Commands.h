#pragma once
// The commands of quillon-inspect; each returns the process exit status.

#include "platform/Platform.h"

#include <QStringList>

namespace quillon::inspect {

int faces(platform::Platform& platform, const QStringList& args);
int records(platform::Platform& platform, const QStringList& args);

/// print FACE --pdf OUT [--copies N]: the sample page, one page per copy, into a PDF file.
int print(platform::Platform& platform, const QStringList& args);

} // namespace quillon::inspect
