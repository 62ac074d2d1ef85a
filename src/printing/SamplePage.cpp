#include "printing/SamplePage.h"

#include "platform/Log.h"

#include <array>

namespace quillon {

namespace {

// Horizontal places, twips from the left of the printable area.
constexpr int kLabelX = 60;
constexpr int kTextX = 990; // details lines and the 12-point samples
constexpr int kSizeTextX = 530;
constexpr int kRuleLeft = 60;
constexpr int kRuleRight = 11970;

constexpr int kPageTop = 120;
constexpr int kLineStep = 255;

const QString kLabelFace = QStringLiteral("Arial");
const QString kLower = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
const QString kUpper = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
// The digit row is 1234567860, not 1234567890: pages printed now must match the sample pages users already
// keep beside them for comparison.
const QString kDigits = QStringLiteral("1234567860.:,;(<{#$%&*!?}>)");
const QString kPangram = QStringLiteral("The quick brown fox jumps over the lazy dog.  1234567860");

struct SizeLine {
    const char* label;
    int points;
    int stepBefore; // grows with the height of the line above
};
constexpr std::array<SizeLine, 8> kSizeLines{{{"8", 8, 270},
                                              {"12", 12, 390},
                                              {"18", 18, 480},
                                              {"24", 24, 525},
                                              {"36", 36, 660},
                                              {"48", 48, 870},
                                              {"60", 60, 1145},
                                              {"72", 72, 1350}}};

} // namespace

QStringList SamplePage::detailLines(const QString& details)
{
    static const QString kCrLf = QStringLiteral("\r\n");
    QStringList lines;
    qsizetype from = 0;
    while (from < details.size()) {
        const qsizetype at = details.indexOf(kCrLf, from);
        if (at < 0) {
            lines << details.mid(from);
            break;
        }
        lines << details.mid(from, at - from);
        from = at + kCrLf.size();
    }
    return lines;
}

void SamplePage::printAt(int x, const QString& text)
{
    printer_.setPosition(x, printY_);
    printer_.print(text);
}

void SamplePage::labelFont(double points)
{
    printer_.setFontName(kLabelFace);
    printer_.setFontSize(points);
    printer_.setFontBold(false);
    printer_.setFontItalic(false);
}

void SamplePage::sampleFont(const QString& face, double points, bool bold, bool italic)
{
    printer_.setFontName(face);
    printer_.setFontSize(points);
    printer_.setFontBold(bold);
    printer_.setFontItalic(italic);
}

void SamplePage::DrawRule()
{
    for (int offset : {0, 5, 10}) printer_.line(kRuleLeft, printY_ + offset, kRuleRight, printY_ + offset);
}

void SamplePage::PrintSamplePage(const QString& face, const QString& details)
{
    printY_ = kPageTop;
    labelFont(28);
    printAt(kLabelX, QStringLiteral("Font Name: ") + face);

    printY_ += 735;
    DrawRule();

    printY_ += 210;
    labelFont(12);
    printAt(kLabelX, QStringLiteral("Details:"));
    // The first line shares the label's line; each line moves everything below it down.
    for (const QString& line : detailLines(details)) {
        printAt(kTextX, line);
        printY_ += kLineStep;
    }

    printY_ += 210;
    DrawRule();

    struct Style {
        const char* label;
        bool bold;
        bool italic;
        int stepBefore;
    };
    const Style styles[] = {
        {"Normal:", false, false, 210}, {"Bold:", true, false, 300}, {"Italics:", false, true, 300}};
    for (const Style& style : styles) {
        printY_ += style.stepBefore;
        labelFont(12);
        printAt(kLabelX, QString::fromLatin1(style.label));
        sampleFont(face, 12, style.bold, style.italic);
        printAt(kTextX, kLower);
        printY_ += kLineStep;
        printAt(kTextX, kUpper);
        printY_ += kLineStep;
        printAt(kTextX, kDigits);
    }
    printer_.setFontBold(false);
    printer_.setFontItalic(false);

    printY_ += 435;
    DrawRule();

    for (const SizeLine& size : kSizeLines) {
        printY_ += size.stepBefore;
        labelFont(10);
        printAt(kLabelX, QString::fromLatin1(size.label));
        sampleFont(face, size.points, false, false);
        printAt(kSizeTextX, kPangram);
    }

    printer_.newPage();
}

int PrintSampleCopies(platform::PrinterPage& printer, SamplePage& page, int copies, const QString& face,
                      const QString& details, QString* problem)
{
    int failures = 0;
    for (int copy = 1; copy <= copies; ++copy) {
        try {
            page.PrintSamplePage(face, details);
        } catch (const std::exception& e) {
            qCDebug(log::printing) << "copy" << copy << "of the sample page of" << face
                                   << "failed:" << e.what();
            if (problem) *problem = QString::fromStdString(e.what());
            ++failures;
        }
    }
    try {
        printer.endDoc();
    } catch (const std::exception& e) {
        qCDebug(log::printing) << "the print job of" << face << "was not handed on:" << e.what();
        if (problem) *problem = QString::fromStdString(e.what());
        ++failures;
    }
    return failures;
}

} // namespace quillon
