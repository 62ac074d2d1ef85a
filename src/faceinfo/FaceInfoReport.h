#pragma once
// The face information as text for a terminal (sections of tab-separated lines) and as JSON for scripts.

#include "faceinfo/FaceInfo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillon::faceinfo {

/// Lines of "Section<TAB>field<TAB>..." ; `sampleText` adds the characters of it the face lacks.
QStringList reportLines(const FaceInfo& info, const QString& sampleText);
/// The same as one JSON document (indented, UTF-8).
QByteArray reportJson(const FaceInfo& info, const QString& sampleText);

} // namespace quillon::faceinfo
