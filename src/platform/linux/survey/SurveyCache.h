#pragma once
// The finder's cache of what font files alone hold (layout feature tags, variation axes) and of which face
// each listed name draws, so that a later start reads no font file again. It lives in
// $XDG_CACHE_HOME/Quillon/ and is outside input: anything may have written it, so it is read with every
// field checked, and a file that is cut short, malformed or made for another state is not used (the survey
// then reads the files again and writes a new one). It is never trusted beyond what it says of itself.
//
// The text form, one record a line, fields apart by one blank (a path is the last field and may hold any
// byte but a line break, which is written "\n", and "\", written "\\"):
//   quillon face survey 1
//   key <40 hex digits>                  the state the cache was made for (see LinuxFaceSurvey)
//   tag <4 characters>                   each tag once; the files name tags by their order, from 0
//   file <face> <bytes> <mtime ns> <feature tag numbers|-|?> <axis tag numbers|-> <path>
//                                        "?" for a file that could not be read; numbers joined by ","
//   draw <file number|-1> <index>        one per listed face, in list order
//   end <files> <draws>

#include "platform/FaceSurvey.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace quillon::platform {

struct CachedFile {
    QByteArray path;          // the file's bytes as the system spells the path
    int face = 0;             // face number in the file (no named instance bits), 0 ..= 0xffff
    std::int64_t bytes = 0;   // the file's size when it was read
    std::int64_t mtimeNs = 0; // its modification time then, nanoseconds since the epoch
    bool read = false;        // false: the file could not be read; no tags
    LayoutTags tags;
    bool operator==(const CachedFile&) const = default;
};

struct CachedDraw {
    int file = -1; // index into files, -1 when the name draws no face
    int index = 0; // the face index drawn (with named instance bits)
    bool operator==(const CachedDraw&) const = default;
};

struct SurveyCacheData {
    QByteArray key; // 40 hex digits
    std::vector<CachedFile> files;
    std::vector<CachedDraw> draws;
    bool operator==(const SurveyCacheData&) const = default;
};

/// The cache's text; `data` must be valid (as parseSurveyCache accepts it).
QByteArray serializeSurveyCache(const SurveyCacheData& data);
/// The cache read back; nullopt for anything that is not exactly the text form above.
std::optional<SurveyCacheData> parseSurveyCache(const QByteArray& text);

} // namespace quillon::platform
