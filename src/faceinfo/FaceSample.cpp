#include "faceinfo/FaceSample.h"

#include "typeset/GlyphPainter.h"
#include "typeset/Typesetter.h"

#include <QPainter>

#include <algorithm>

namespace quillon::faceinfo {

namespace {

constexpr int kMargin = 4;
const QString kPangram = QStringLiteral("The quick brown fox jumps over the lazy dog 0123456789");

} // namespace

FaceSample::FaceSample(platform::FaceRasterizer& rasterizer, QWidget* parent)
    : QWidget(parent), rasterizer_(rasterizer)
{
    setObjectName(QStringLiteral("faceSample"));
    setAccessibleName(QStringLiteral("Face sample"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    hide();
}

FaceSample::~FaceSample() = default;

QString FaceSample::sampleFor(const std::vector<char32_t>& characters)
{
    const auto has = [&](char32_t c) { return std::binary_search(characters.begin(), characters.end(), c); };
    bool all = true;
    for (const QChar c : kPangram) all = all && (c == u' ' || has(c.unicode()));
    if (all) return kPangram;
    QString out;
    int taken = 0;
    for (char32_t c : characters) {
        if (taken == 40) break;
        const uint code = c;
        if (QChar::isLetterOrNumber(code) && QChar::category(code) != QChar::Mark_NonSpacing) {
            out += QString::fromUcs4(&c, 1);
            ++taken;
        }
    }
    return out;
}

void FaceSample::setFace(const QString& file, int index, const QString& name, const QString& sample)
{
    glyphs_.reset();
    typesetter_.reset();
    name_ = name;
    sample_ = sample;
    if (!file.isEmpty()) typesetter_ = typeset::Typesetter::open(rasterizer_, file, index, 0x0409);
    if (typesetter_) glyphs_ = std::make_unique<typeset::GlyphPainter>(*typesetter_);
    setAccessibleDescription(typesetter_ ? QStringLiteral("%1 drawn in the face: %2").arg(name, sample)
                                         : QString());
    setVisible(static_cast<bool>(typesetter_));
    updateGeometry();
    update();
}

QSize FaceSample::sizeHint() const
{
    return {400, static_cast<int>(kNameSize * 1.4 + kSampleSize * 1.4) + 2 * kMargin};
}

void FaceSample::paintEvent(QPaintEvent*)
{
    if (!typesetter_ || !glyphs_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::WindowText);
    const QRectF area = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const typeset::ShapedText name = typesetter_->shape(name_);
    glyphs_->paint(painter, name, area, kNameSize, ink);
    const double below = typeset::GlyphPainter::height(name, kNameSize);
    glyphs_->paint(painter, typesetter_->shape(sample_), area.adjusted(0, below, 0, 0), kSampleSize, ink);
}

} // namespace quillon::faceinfo
