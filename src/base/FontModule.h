#pragma once
// The program-wide texts made at start-up: the command line and the shell command texts that the file
// associations write. Created once by Main and passed by reference.

#include <QString>

#include <array>

namespace quillon {

struct FontModule {
    /// The program's arguments, lower-cased; replaced by the stored hand-off text on F16.
    QString commandLine;
    /// The font file the arguments name, absolute and spelt as given: the command line above is lower-cased,
    /// which a Linux path does not survive. Empty when they name none. Replaced with it on F16.
    QString commandLineFile;
    /// "fon", "otf", "pfm", "ttc", "ttf"; index 5 stays empty.
    std::array<QString, 6> fontExtensions;
    /// The running executable's absolute path, quoted when it holds a blank.
    QString exeShortPath;
    /// exeShortPath + " %1"
    QString viewCommand;
    /// exeShortPath + " /p %1"
    QString printCommand;
};

} // namespace quillon
