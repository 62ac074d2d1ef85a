#pragma once
// Font files read without memory mappings. A mapped file that another process shrinks (a package update
// replacing a font) turns the next access past its new end into SIGBUS, which ends the program; a read
// past the end just comes back short. So the files the program adds are read into memory once and handed
// to Qt and fontconfig from there, and FreeType opens the others through a stream of ordinary reads.
//
// Paths are text as NativeText.h makes it: the file's bytes are what the system is given, so a name that
// is not UTF-8 is found.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace quillon::platform {

/// Larger files are refused: far beyond any real font (the largest collections are some 100 MiB), and a
/// copy of each is held while the font stays added.
inline constexpr std::int64_t kMostFontFileBytes = std::int64_t{512} << 20;

/// The contents of the regular file at `path`, read with ordinary reads; nullopt when it is no regular
/// file, cannot be opened or read, or is larger than kMostFontFileBytes. A file that shrinks meanwhile
/// gives what was there to read.
std::optional<QByteArray> readFontFile(const QString& path);

/// `path` made absolute against the current folder, every byte kept (QFileInfo would lose those that
/// are not UTF-8).
QString absoluteNativePath(const QString& path);

/// FT_New_Face for face `index` of `path` through a stream of reads instead of a mapping; nullptr when
/// FreeType cannot open it. The caller owns the face (FT_Done_Face, which also closes the file).
FT_Face openFaceByReads(FT_Library library, const QString& path, long index);

/// The same with FT_New_Face's own arguments and result (a FreeType error code, 0 on success): path is
/// the file's bytes; index may be negative or name a named instance, as FreeType allows.
int openFaceByReads(FT_Library library, const char* path, long index, FT_Face* face);

} // namespace quillon::platform
