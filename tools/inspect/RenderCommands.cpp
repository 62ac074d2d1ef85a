// quillon-inspect render: text set in one face from its own file, as the type tester sets it, written as
// the glyphs the shaping chose (to compare with HarfBuzz's own tools), a PNG image or a PDF.
#include "tools/inspect/Commands.h"

#include "platform/FontSystem.h"
#include "platform/NativeText.h"
#include "platform/Platform.h"
#include "platform/ReadableFile.h"
#include "platform/ReplacingFile.h"
#include "tester/TesterOutput.h"
#include "typeset/Characters.h"
#include "typeset/Typesetter.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

namespace quillon::inspect {

namespace {

constexpr const char* kUsage =
    "usage: quillon-inspect render FACE|FILE --text T [--size PT] [--features \"smcp,-liga,salt=2\"]\n"
    "       [--axes \"wght=650,wdth=87.5\"] [--script TAG] [--language TAG] [--index N] [--waterfall]\n"
    "       (--png OUT | --pdf OUT | --glyphs)\n";

int fail(const QString& message, int status = 2)
{
    std::fprintf(stderr, "quillon-inspect render: %s\n", platform::nativeBytes(message).constData());
    return status;
}

void printLine(const QString& line)
{
    const QByteArray bytes = platform::nativeBytes(line);
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

/// Every glyph: cluster, glyph id, glyph name, x and y advance, x and y offset (font units), one a line; the
/// paragraphs apart by an empty line, clusters counted in characters from each paragraph's start.
void printGlyphs(const typeset::Typesetter& typesetter, const typeset::ShapedText& text)
{
    int paragraph = 0;
    for (const typeset::ShapedLine& line : text.lines) {
        if (line.paragraph != paragraph) std::fputc('\n', stdout);
        paragraph = line.paragraph;
        for (const typeset::ShapedGlyph& g : line.glyphs)
            printLine(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7")
                          .arg(g.cluster)
                          .arg(g.glyph)
                          .arg(typesetter.glyphName(g.glyph))
                          .arg(g.xAdvance)
                          .arg(g.yAdvance)
                          .arg(g.xOffset)
                          .arg(g.yOffset));
    }
}

} // namespace

int render(platform::Platform& platform, const QStringList& args)
{
    QString target, png, pdf;
    tester::Sample sample;
    bool haveText = false, glyphs = false;
    typeset::FontSettings settings;
    int index = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--glyphs")) {
            glyphs = true;
        } else if (arg == QLatin1String("--waterfall")) {
            sample.waterfall = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            if (i + 1 >= args.size()) return fail(arg + QStringLiteral(" needs a value"));
            const QString value = args[++i];
            QString bad;
            bool ok = true;
            if (arg == QLatin1String("--text")) {
                sample.text = value;
                haveText = true;
            } else if (arg == QLatin1String("--size")) {
                sample.points = value.toDouble(&ok);
                if (!ok || !(sample.points >= 6 && sample.points <= 300))
                    return fail(QStringLiteral("--size takes a number of points from 6 to 300"));
            } else if (arg == QLatin1String("--features")) {
                const auto features = typeset::parseFeatures(value, &bad);
                if (!features) return fail(QStringLiteral("not a feature: ") + bad);
                settings.features = *features;
            } else if (arg == QLatin1String("--axes")) {
                const auto axes = typeset::parseAxes(value, &bad);
                if (!axes) return fail(QStringLiteral("not an axis setting: ") + bad);
                settings.axes = *axes;
            } else if (arg == QLatin1String("--script") || arg == QLatin1String("--language")) {
                const QByteArray tag = value.toLatin1();
                if (value.isEmpty() || value.size() > 35 || QString::fromLatin1(tag) != value)
                    return fail(arg + QStringLiteral(" takes a tag"));
                (arg == QLatin1String("--script") ? settings.script : settings.language) = tag;
            } else if (arg == QLatin1String("--index")) {
                index = value.toInt(&ok);
                if (!ok || index < 0) return fail(QStringLiteral("--index takes a face number from 0"));
            } else if (arg == QLatin1String("--png")) {
                png = value;
            } else if (arg == QLatin1String("--pdf")) {
                pdf = value;
            } else {
                return fail(QStringLiteral("unknown option ") + arg);
            }
        } else if (target.isNull()) {
            target = arg;
        } else {
            return fail(QStringLiteral("unexpected argument ") + arg);
        }
    }
    if (target.isEmpty() || !haveText || (glyphs + !png.isEmpty() + !pdf.isEmpty()) != 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    // A file is drawn from itself; a name from the face the font system draws for it, and only when some
    // face has the name: the tester never stands another face in.
    if (target.contains(u'/') || platform::whyNotReadable(target).isEmpty()) {
        sample.file = QDir::isAbsolutePath(target) ? target : QDir::current().absoluteFilePath(target);
        if (const QString why = platform::whyNotReadable(sample.file); !why.isEmpty())
            return fail(QStringLiteral("%1: %2").arg(sample.file, why));
        sample.index = index;
        sample.face = QDir(sample.file).dirName();
    } else {
        // A listed name the clean-up made, which no face has, stands for the file its record names, as in the
        // main window.
        buildCatalogueAsDrawn(platform);
        const auto resolved = platform.fontSystem.resolveFace(target);
        if (!resolved || resolved->substitute)
            return fail(QStringLiteral("no installed face is named ") + target, 1);
        sample.file = resolved->file;
        sample.index = resolved->index;
        sample.face = target;
    }
    const std::unique_ptr<typeset::Typesetter> typesetter = typeset::Typesetter::open(
        platform.faceRasterizer, sample.file, sample.index, platform.fontSystem.GetSystemDefaultLCID());
    if (!typesetter) return fail(sample.file + QStringLiteral(": not a face that can be drawn"));
    for (const typeset::AxisSetting& axis : settings.axes) {
        const auto& axes = typesetter->tables().axes;
        if (std::none_of(axes.begin(), axes.end(),
                         [&](const opentype::Axis& a) { return a.tag == axis.tag; }))
            fail(QStringLiteral("the face has no axis ") + QString::fromLatin1(axis.tag) +
                 QStringLiteral(": left out"));
    }
    typesetter->setSettings(settings);
    if (const auto missing = typesetter->missingCharacters(sample.text); !missing.empty())
        fail(QStringLiteral("not in this face: ") + typeset::describeCharacters(missing));

    if (glyphs) {
        printGlyphs(*typesetter, typesetter->shape(sample.text));
        return std::fflush(stdout) == 0 ? 0 : 2;
    }
    const QFont labels = QGuiApplication::font();
    if (!pdf.isEmpty()) {
        const QString path = QDir::current().absoluteFilePath(pdf);
        if (const QString problem = tester::writeSamplePdf(*typesetter, sample, path, labels);
            !problem.isEmpty())
            return fail(path + QStringLiteral(": ") + problem);
        return 0;
    }
    const QImage image = tester::sampleImage(*typesetter, sample, 96, 0, labels);
    if (image.isNull()) return fail(QStringLiteral("the image would be too large"));
    const QString path = QDir::current().absoluteFilePath(png);
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    QString problem;
    if (!image.save(&bytes, "PNG")) return fail(path + QStringLiteral(": the image could not be made"));
    if (!platform::ReplacingFile::replace(path, bytes.data(), &problem))
        return fail(path + QStringLiteral(": the file was not written: ") + problem);
    return 0;
}

} // namespace quillon::inspect
