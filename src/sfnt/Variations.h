#pragma once
// The font variations table ("fvar") of a variable font: its axes and named instances, and the style name
// of one face of it for where the font system keeps none.

#include "sfnt/Directory.h"
#include "sfnt/Source.h"

#include <QByteArrayList>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillon::sfnt {

struct FvarAxis {
    QByteArray tag; // four characters, "wght"
    double minimum = 0, defaultValue = 0, maximum = 0;
    std::uint16_t nameID = 0;
};

struct FvarInstance {
    std::uint16_t subfamilyNameID = 0; // the name record naming it ("Bold"); 0 when the font names none
    std::vector<double> coordinates;   // one per axis, in axis order
};

struct Fvar {
    std::vector<FvarAxis> axes;
    std::vector<FvarInstance> instances;
};

/// The largest "fvar" read: a real one is a few kilobytes (64 axes and hundreds of instances stay far below).
constexpr std::size_t kMaxFvarBytes = 1 << 20;

/// Parses an "fvar" table's bytes; only records that lie wholly inside them are kept, whatever the header
/// counts. Nothing when the bytes are no version 1 table.
std::optional<Fvar> parseFvar(std::span<const std::uint8_t> table);
/// The "fvar" of face `face` of a file (a collection's face, or 0); nothing when it has none.
std::optional<Fvar> readFvar(const Source& source, int face, Work* work = nullptr);

/// "wght 700, opsz 14": a point of the design space in words.
QString coordinateWords(const QByteArrayList& tags, const std::vector<double>& values);

/// The style of one face of a variable font as the font itself names it, for where the font system gives
/// none. `faceIndex` is the face index as the font engine takes it: the low 16 bits the face of a
/// collection, the high bits 0 for the whole-range face (named here by the instance at the default
/// coordinates) or n for named instance n - 1. The instance's subfamily name (chosen as every name is, for
/// `systemLanguage`), else its coordinates; empty when the face has no "fvar" or no such instance.
QString instanceStyle(const Source& source, int faceIndex, std::uint32_t systemLanguage);

} // namespace quillon::sfnt
