// quillon-inspect print FACE --pdf OUT [--copies N]: the sample page of a face, as the printer setup dialog
// prints it, written to a PDF file with one page per copy.
#include "tools/inspect/Commands.h"

#include "display/FontDetails.h"
#include "platform/Platform.h"
#include "platform/Printers.h"
#include "platform/linux/printing/LinuxPrinters.h"
#include "printing/SamplePage.h"

#include <QFileInfo>

#include <cstdio>

namespace quillon::inspect {

namespace {

constexpr int kMaxCopies = 99; // as many as the dialog lets the user ask for

// The details text of the face as the main window holds it when the face is selected.
QString detailsText(platform::Platform& platform, const QString& face)
{
    const FontCatalogue catalogue = buildCatalogueAsDrawn(platform);
    FontDetails details(platform.fontSystem, platform.fontFiles);
    return details.describe(face, catalogue).text();
}

int fail(const QString& message)
{
    std::fprintf(stderr, "quillon-inspect print: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int print(platform::Platform& platform, const QStringList& args)
{
    QString face;
    QString out;
    int copies = 1;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--pdf") || arg == QLatin1String("--copies")) {
            if (i + 1 >= args.size()) return fail(arg + " needs a value");
            const QString value = args[++i];
            if (arg == QLatin1String("--pdf")) {
                out = value;
            } else {
                bool ok = false;
                copies = value.toInt(&ok);
                if (!ok || copies < 1 || copies > kMaxCopies)
                    return fail(QStringLiteral("--copies takes a whole number from 1 to %1").arg(kMaxCopies));
            }
        } else if (arg.startsWith(QLatin1String("--")) || !face.isNull()) {
            return fail("unexpected argument " + arg);
        } else {
            face = arg;
        }
    }
    if (face.isEmpty() || out.isEmpty())
        return fail(QStringLiteral("usage: print FACE --pdf OUT [--copies N]"));

    platform::Printers& printers = platform.printers;
    if (!printers.setCurrentPrinter(platform::LinuxPrinters::kPdfDeviceName))
        return fail(QStringLiteral("the PDF destination is missing"));
    const QString path = QFileInfo(out).absoluteFilePath();
    printers.setOutputFile(path);

    const QString details = detailsText(platform, face);
    SamplePage page(printers.printer());
    QString problem;
    if (PrintSampleCopies(printers.printer(), page, copies, face, details, &problem) != 0 ||
        !QFileInfo::exists(path))
        return fail("could not write " + out + (problem.isEmpty() ? QString() : ": " + problem));
    std::printf("%s\t%d\n", qPrintable(path), copies);
    return 0;
}

} // namespace quillon::inspect
