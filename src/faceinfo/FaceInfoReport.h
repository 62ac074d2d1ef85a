#pragma once
// The face information as text for a terminal (sections of tab-separated lines) and as JSON for scripts.

#include "faceinfo/FaceInfo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace quillon::faceinfo {

/// Lines of "Section<TAB>field<TAB>..." ; `sampleText` adds the characters of it the face lacks.
QStringList reportLines(const FaceInfo& info, const QString& sampleText);
/// The same as one JSON document (indented, UTF-8).
QByteArray reportJson(const FaceInfo& info, const QString& sampleText);

/// Every face of a collection file, in file order: for each, a line "Collection<TAB>face<TAB>faces" (the
/// face counted from 1, as in "face 2 of 10") and that face's lines, the blocks apart by an empty line.
QStringList collectionReportLines(const std::vector<FaceInfo>& faces, const QString& sampleText);
/// The same as one JSON object: "collection" (the file), "faceCount", and "faces", an array of the objects
/// reportJson makes, each with "faceIndex" (from 0, as the files' "index").
QByteArray collectionReportJson(const QString& path, const std::vector<FaceInfo>& faces,
                                const QString& sampleText);

} // namespace quillon::faceinfo
