#pragma once
// Turns the command line a font file was opened with into a selection in the main window: the face the
// file is installed under, the file's bold and italic style, and a print request for "/p".

#include "catalogue/FontCatalogue.h"

#include <QString>

namespace quillon {

inline const QString kNotRegisteredMessage = QStringLiteral("The font selected is not registered");

/// What the selection acts on; the main window realises it, tests record it.
class CommandLineTarget {
public:
    virtual ~CommandLineTarget() = default;
    /// Selects entry index of the face list (its selection handler runs at once).
    virtual void selectFace(int index) = 0;
    /// Sets an effect box (0 Bold, 1 Italics) to 0 or 1 (its handler runs at once when the value changes).
    virtual void setEffect(int index, int value) = 0;
    virtual void setPrintPending(bool pending) = 0;
    /// Shows "The font selected is not registered", OK only, titled with the application title.
    virtual void showNotRegistered() = 0;
};

/// The bare file name a command line names, as it is compared with the recorded files. Both "\" and "/"
/// separate folders, so Linux paths reduce as Windows paths do.
QString commandLineFileName(const QString& text);

/// Whether the command line starts with the print switch: "/p" alone or followed by a blank. A path that
/// merely starts with "/p" (such as /pub/fonts/x.ttf) is a path on Linux, not a switch.
bool hasPrintSwitch(const QString& commandLine);

/// Selects the face of the font file commandLine names; shortens commandLine in place to the file name.
void SelectCommandLineFont(QString& commandLine, const FontCatalogue& catalogue, CommandLineTarget& target);

} // namespace quillon
