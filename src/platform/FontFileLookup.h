#pragma once
// Where an installed font file lies. The catalogue records a font file by its bare name, as the fonts key
// gives it; on Windows the file is then the fonts folder plus that name. This lookup stands for that join.

#include <QString>

namespace quillon::platform {

class FontFileLookup {
public:
    virtual ~FontFileLookup() = default;
    /// The full path of the installed font file whose file name (without folder), lower-cased, equals
    /// fileName lower-cased; "" when no installed file has that name. Where several folders hold a file of
    /// that name, the one the fonts key lists is returned.
    virtual QString fontFilePath(const QString& fileName) = 0;
};

} // namespace quillon::platform
