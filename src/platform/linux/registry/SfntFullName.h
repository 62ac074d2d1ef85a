#pragma once
// The Windows English full name of one face of a TrueType or OpenType file (or collection), read straight
// from its name table: only the file header, the table directory and the name table are read.

#include <string>

namespace quillon::platform {

/// Name ID 4 on the Windows platform (Unicode or symbol encoding) in English, US English first, as UTF-8;
/// "" when the file is not an sfnt, has no such name, or is damaged. faceNumber selects the face of a
/// collection. Reads only inside the file.
std::string windowsEnglishFullName(const std::string& path, int faceNumber);

/// The same over the file's bytes.
std::string windowsEnglishFullNameFromBytes(const std::string& bytes, int faceNumber);

} // namespace quillon::platform
