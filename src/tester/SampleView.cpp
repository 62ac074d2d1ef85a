#include "tester/SampleView.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace quillon::tester {

SampleView::SampleView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("sampleView"));
    setAccessibleName(QStringLiteral("Sample"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void SampleView::setTypesetter(typeset::Typesetter* typesetter)
{
    typesetter_ = typesetter;
    glyphs_ = typesetter ? std::make_unique<typeset::GlyphPainter>(*typesetter) : nullptr;
    layout_ = SampleLayout();
}

void SampleView::lay(const Sample& sample, double width)
{
    message_.clear();
    if (!typesetter_) return;
    // The screen's own points: what a point is on this screen.
    layout_.lay(*typesetter_, sample, logicalDpiY(),
                sample.waterfall ? 0 : std::max(1.0, width - 2 * kMargin), font());
    setMinimumSize(static_cast<int>(std::ceil(layout_.size().width())) + 2 * kMargin,
                   static_cast<int>(std::ceil(layout_.size().height())) + 2 * kMargin);
    resize(std::max(minimumWidth(), static_cast<int>(width)), minimumHeight());
    update();
}

void SampleView::setMessage(const QString& message)
{
    message_ = message;
    layout_ = SampleLayout();
    setMinimumSize(0, 0);
    update();
}

void SampleView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    if (!message_.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                         Qt::AlignLeft | Qt::TextWordWrap, message_);
        return;
    }
    if (!glyphs_) return;
    layout_.paint(painter, *glyphs_, QPointF(kMargin, kMargin), palette().color(QPalette::Text));
}

} // namespace quillon::tester
