#pragma once
// The PDF destination's printer: Qt's PDF printer writing into a temporary file beside the chosen one, which
// takes the chosen file's place only once the document ended whole (ReplacingFile). Qt's writer does not
// check its writes, so a full disk would otherwise replace an earlier PDF with a broken one while the print
// seemed to succeed.

#include "platform/ReplacingFile.h"

#include <QPrinter>

namespace quillon::platform {

class PdfFilePrinter final : public QPrinter {
public:
    /// target: the PDF file the user chose. Check problem() before use: when the temporary file could not
    /// be made, the printer writes nowhere.
    explicit PdfFilePrinter(const QString& target);

    /// The file chosen (outputFileName() is the temporary file while the document is written).
    QString target() const { return target_; }
    /// Why the PDF was not or cannot be written, for the user; empty while all is well.
    QString problem() const { return problem_.isEmpty() ? file_.problem() : problem_; }
    bool ready() const { return !file_.temporaryPath().isEmpty(); }
    /// Once painting ended: the document, when whole, replaces the target. False (the target as it was)
    /// when it is not whole or cannot be synced and renamed.
    bool finish();

private:
    QString target_;
    ReplacingFile file_;
    QString problem_;
};

} // namespace quillon::platform
