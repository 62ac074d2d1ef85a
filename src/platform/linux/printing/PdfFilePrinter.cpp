#include "platform/linux/printing/PdfFilePrinter.h"

#include "platform/Log.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

namespace quillon::platform {

PdfFilePrinter::PdfFilePrinter(const QString& target)
    : QPrinter(QPrinter::HighResolution), target_(target), file_(target)
{
    setOutputFormat(QPrinter::PdfFormat);
    if (file_.open()) setOutputFileName(file_.temporaryPath());
}

bool PdfFilePrinter::finish()
{
    if (!ready()) return false;
    // Qt's writer ends every document with "%%EOF"; a write it lost on the way leaves the file short of it.
    QFile written(file_.temporaryPath());
    bool whole = written.open(QIODevice::ReadOnly) && written.size() > 0;
    if (whole) {
        written.seek(std::max<qint64>(0, written.size() - 64));
        whole = written.readAll().contains("%%EOF");
    }
    written.close();
    if (!whole) {
        // Most likely the disk filled while Qt wrote (it says nothing of a failed write).
        problem_ = ReplacingFile::diskIsFull(file_.temporaryPath())
                       ? ReplacingFile::reasonFor(ENOSPC, QString())
                       : QStringLiteral("the PDF came out incomplete");
        file_.cancel();
        qCDebug(log::printing) << "the PDF" << target_ << "came out incomplete and was not kept";
        return false;
    }
    return file_.commit();
}

} // namespace quillon::platform
