#include "controls/Captions.h"

#include "platform/FaceRasterizer.h"
#include "platform/FontSystem.h"
#include "platform/Log.h"
#include "platform/ScreenFace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace quillon::captions {

namespace {

const QString kLayoutFace = QStringLiteral("MS Sans Serif");

// Sans-serif interface faces of ordinary width that a Linux desktop commonly has; the one with the widths
// the layout was made with comes first.
const char* const kCandidates[] = {
    "Microsoft Sans Serif",
    "Arial",
    "Liberation Sans",
    "Arimo",
    "Helvetica",
    "Nimbus Sans",
    "Nimbus Sans L",
    "FreeSans",
    "Tahoma",
    "Carlito",
    "Noto Sans",
    "Open Sans",
    "Roboto",
    "Source Sans 3",
    "Source Sans Pro",
    "Fira Sans",
    "Lato",
    "Ubuntu",
    "Cantarell",
    "DejaVu Sans",
};

// Captions of the windows, for measuring a face by what it has to set.
const QString kSample =
    QStringLiteral("Strikethru Underline Copyright: Details: Number of copies: Display splash "
                   "screen at program StartUp? &Summary E&xit System Info...");

// Bitmap fonts come in a few pixel sizes only and cannot follow a scaled screen.
bool isOutline(const QString& file)
{
    const QString name = QFileInfo(file).fileName().toLower();
    for (const char* bitmap : {".fon", ".fnt", ".pcf", ".pcf.gz", ".bdf", ".bdf.gz", ".snf"})
        if (name.endsWith(QLatin1String(bitmap))) return false;
    return true;
}

// Qt's width of the sample in a family: builds a font engine for it, which asks fontconfig to match once more
// (milliseconds with tens of thousands of fonts); only for near ties and faces whose files cannot be
// measured.
qreal sampleWidthByQt(const QString& family)
{
    QFont font;
    font.setFamilies({family});
    font.setPointSizeF(8.25);
    font.setStyleStrategy(QFont::NoFontMerging);
    return QFontMetricsF(font).horizontalAdvance(kSample);
}

QString plainCaption(const QWidget& control)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(&control)) return label->text();
    return QString();
}

// The part of a push button where its caption is drawn.
QRect captionArea(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    if (button.isDefault()) option.features |= QStyleOptionButton::DefaultButton;
    if (button.autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
}

bool isCaptionControl(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return label->textFormat() != Qt::RichText && !Qt::mightBeRichText(label->text()) &&
               label->pixmap().isNull();
    return qobject_cast<const QCheckBox*>(&control) || qobject_cast<const QRadioButton*>(&control) ||
           qobject_cast<const QPushButton*>(&control);
}

} // namespace

QString standInFamily(platform::FontSystem& fonts, platform::FaceRasterizer& rasterizer)
{
    std::vector<std::pair<QString, platform::ResolvedFace>> candidates;
    const auto consider = [&](const QString& family) {
        if (family.isEmpty()) return;
        for (const auto& known : candidates)
            if (known.first.compare(family, Qt::CaseInsensitive) == 0) return;
        std::optional<platform::ResolvedFace> face = fonts.resolveFace(family);
        if (face && isOutline(face->file)) candidates.emplace_back(family, std::move(*face));
    };
    // The mapper's own substitute is always a candidate; the others only where installed under that name
    // (the name round trip looks a name up in the face index and matches nothing).
    consider(platform::screenFamily(fonts, kLayoutFace));
    for (const char* candidate : kCandidates) {
        const QString name = QString::fromLatin1(candidate);
        if (fonts.stdFontName(name) == name) consider(name);
    }
    if (candidates.empty()) return platform::screenFamily(fonts, kLayoutFace);

    // Building a font engine for a face costs a fontconfig match over every installed font (tens of
    // milliseconds with tens of thousands), so the candidates are measured from their own files: the glyphs'
    // design advances, which is how Qt sets text where hinting is slight (the desktop's default), less its
    // kerning, a few thousandths apart. Only faces that come that close to the narrowest are set by Qt to
    // decide. (With full hinting Qt rounds each advance, and its widths may differ by a few hundredths.)
    constexpr double kPixels = 11; // 8.25 points at 96 dots an inch
    constexpr double kEstimateError = 0.01;
    std::vector<double> estimates;
    double leastEstimate = std::numeric_limits<double>::max();
    for (const auto& [family, face] : candidates) {
        const std::optional<double> width = rasterizer.advance(face.file, face.index, kPixels, kSample);
        estimates.push_back(width && *width > 0 ? *width : -1);
        if (estimates.back() > 0) leastEstimate = std::min(leastEstimate, estimates.back());
    }
    std::vector<std::size_t> close;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (estimates[i] <= leastEstimate * (1 + kEstimateError)) close.push_back(i);
    if (close.size() == 1) {
        qCDebug(log::fonts).noquote() << "captions set in" << candidates[close.front()].first
                                      << "- narrower than the other candidates by its advances";
        return candidates[close.front()].first;
    }
    QString narrowest = candidates[close.front()].first;
    qreal least = std::numeric_limits<qreal>::max();
    QStringList measured;
    for (std::size_t i : close) {
        const QString& family = candidates[i].first;
        const qreal width = sampleWidthByQt(family);
        measured << QStringLiteral("%1 (%2)").arg(family).arg(width, 0, 'f', 1);
        if (width > 0 && width < least) {
            least = width;
            narrowest = family;
        }
    }
    qCDebug(log::fonts).noquote() << "captions set in" << narrowest << "- the narrowest as set of"
                                  << measured.join(QStringLiteral(", "));
    return narrowest;
}

void useStandIn(platform::FontSystem& fonts, platform::FaceRasterizer& rasterizer)
{
    QFont font = QApplication::font();
    const QString family = standInFamily(fonts, rasterizer);
    if (font.families() == QStringList{family}) return;
    font.setFamilies({family});
    QApplication::setFont(font);
}

QFont font(qreal points, bool bold, bool italic, bool underline)
{
    QFont lettering;
    lettering.setFamilies({QApplication::font().family()});
    lettering.setPointSizeF(points);
    lettering.setBold(bold);
    lettering.setItalic(italic);
    lettering.setUnderline(underline);
    return lettering;
}

bool fits(const QWidget& control)
{
    if (!isCaptionControl(control)) return true;
    const QString caption = plainCaption(control);
    if (caption.isEmpty()) return true;
    const QFontMetricsF metrics(control.font());

    if (const auto* push = qobject_cast<const QPushButton*>(&control))
        return metrics.size(Qt::TextShowMnemonic, caption).width() <= captionArea(*push).width();
    // A check box or option button needs the width the style gives it for its caption: the mark, the gap
    // and the text.
    if (qobject_cast<const QAbstractButton*>(&control)) return control.sizeHint().width() <= control.width();

    const auto& label = static_cast<const QLabel&>(control);
    const int margin = label.margin();
    const QRectF box = QRectF(label.contentsRect()).adjusted(margin, margin, -margin, -margin);
    if (label.wordWrap()) {
        const QRectF needed = metrics.boundingRect(QRectF(0, 0, box.width(), std::numeric_limits<int>::max()),
                                                   Qt::TextWordWrap, caption);
        return needed.width() <= box.width() && needed.height() <= box.height();
    }
    qreal widest = 0;
    for (const QString& line : caption.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest <= box.width() &&
           metrics.height() * (caption.count(QLatin1Char('\n')) + 1) <= box.height() + 1;
}

void fit(QWidget& window)
{
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (fits(*control)) continue;
        QFont smaller = control->font();
        while (!fits(*control) && smaller.pointSizeF() - 0.25 >= kSmallestPoints) {
            smaller.setPointSizeF(smaller.pointSizeF() - 0.25);
            control->setFont(smaller);
        }
    }
}

} // namespace quillon::captions
