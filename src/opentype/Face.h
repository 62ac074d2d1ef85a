#pragma once
// One face of a font file as HarfBuzz reads it. HarfBuzz asks for tables by tag; each is read from the file
// once, when it is first asked for, through the program's bounded reader (sfnt::Source), so a question about
// the features costs the layout tables, not the file, and nothing is mapped (a font replaced while it is
// open cannot end the program). A table longer than kMostTableBytes reads as absent; the part of a table
// past the file's end is not read.
//
// A face is used by one thread at a time (its file is read through one descriptor); different faces may be
// used on different threads at once. HarfBuzz keeps every table it asked for until the face goes.

#include "sfnt/NameTable.h"

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <vector>

typedef struct hb_face_t hb_face_t;

namespace quillon::sfnt {
class Source;
}

namespace quillon::opentype {

class Face {
public:
    /// Far beyond the layout and metrics tables of any real font (a large CJK collection's "CFF " is some
    /// 20 MiB); a table claiming more is taken as absent rather than held.
    static constexpr std::uint32_t kMostTableBytes = 64u << 20;

    /// Face `index` of the file whose path the system spells as `nativePath`: the low 16 bits name the face
    /// of a collection, bits 16..30 a named instance as FreeType takes it (kept in namedInstance()). An empty
    /// face when the file cannot be opened or holds no such sfnt face (a Type 1 or bitmap font).
    static Face open(const QByteArray& nativePath, int index);
    /// The same over bytes the face reads from (tests, fuzzing, a file read into memory); the source must
    /// outlive the face.
    static Face fromSource(std::unique_ptr<sfnt::Source> source, int index);

    Face() = default;
    ~Face();
    Face(Face&& other) noexcept;
    Face& operator=(Face&& other) noexcept;
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;

    /// True when an sfnt face was found.
    explicit operator bool() const { return face_ != nullptr; }
    /// HarfBuzz's face, owned by this object; null for an empty face.
    hb_face_t* hb() const { return face_; }
    /// 0 for the face itself, n for named instance n - 1 (from the index it was opened with).
    int namedInstance() const { return namedInstance_; }
    /// Units per em from "head" (HarfBuzz's default of 1000 when the table is missing or absurd).
    unsigned unitsPerEm() const;
    /// Whether the face has the table (by its directory; nothing is read).
    bool hasTable(const char (&tag)[5]) const;
    /// The face's name records as the program decodes them, read on first use.
    const std::vector<sfnt::NameEntry>& names() const;
    /// Bytes read for HarfBuzz's tables so far: what the face holds beside the file's directory.
    std::uint64_t tableBytes() const;

    /// What HarfBuzz's table reader works on (internal).
    struct Tables;

private:
    static Face make(std::unique_ptr<sfnt::Source> source, int index);

    hb_face_t* face_ = nullptr;
    Tables* tables_ = nullptr; // owned by face_: freed when HarfBuzz lets the face go
    int namedInstance_ = 0;
};

} // namespace quillon::opentype
