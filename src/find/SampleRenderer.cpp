#include "find/SampleRenderer.h"

#include "platform/GlyphFaces.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quillon::find {

namespace {

// Requests waiting beyond this are the oldest, for rows long scrolled past.
constexpr std::size_t kMostWaiting = 256;

/// An alpha coverage image in one colour.
QImage tinted(const QImage& coverage, const QColor& colour)
{
    QImage out(coverage.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb rgb = colour.rgb();
    for (int y = 0; y < coverage.height(); ++y) {
        const uchar* in = coverage.constScanLine(y);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < coverage.width(); ++x)
            line[x] = qPremultiply(qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), in[x]));
    }
    return out;
}

} // namespace

SampleRenderer::SampleRenderer(platform::GlyphFaces& glyphs, QObject* parent)
    : QObject(parent), glyphs_(glyphs), thread_([this] { run(); })
{
}

SampleRenderer::~SampleRenderer()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    thread_.join();
}

void SampleRenderer::request(SampleRequest request)
{
    {
        const std::lock_guard lock(mutex_);
        const auto same = std::find_if(queue_.begin(), queue_.end(),
                                       [&](const SampleRequest& r) { return r.key == request.key; });
        if (same != queue_.end()) queue_.erase(same);
        queue_.push_front(std::move(request));
        if (queue_.size() > kMostWaiting) queue_.pop_back();
    }
    wake_.notify_one();
}

void SampleRenderer::clear()
{
    const std::lock_guard lock(mutex_);
    queue_.clear();
}

void SampleRenderer::run()
{
    for (;;) {
        SampleRequest next;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        const QImage picture = draw(glyphs_, next);
        // Queued to this object: dropped if it is gone by then (it waits for this thread when destroyed).
        QMetaObject::invokeMethod(
            this, [this, key = next.key, picture] { emit ready(key, picture); }, Qt::QueuedConnection);
    }
}

QImage SampleRenderer::draw(platform::GlyphFaces& glyphs, const SampleRequest& request, int maxWidth)
{
    const std::unique_ptr<platform::GlyphFace> face = glyphs.open(request.path, request.index);
    if (!face) return {};
    struct Placed {
        platform::GlyphImage glyph;
        double x = 0;
    };
    std::vector<Placed> placed;
    const double scale = request.pixelSize / face->unitsPerEm();
    const int ascent = static_cast<int>(std::ceil(face->ascender() * scale));
    const int descent = static_cast<int>(std::ceil(face->descender() * scale));
    double pen = 0;
    for (char32_t c : request.text.toUcs4()) {
        const unsigned id = face->glyphOf(c);
        std::optional<platform::GlyphImage> glyph = face->image(id, request.pixelSize, 0);
        if (!glyph) continue;
        placed.push_back({std::move(*glyph), pen});
        pen += face->advance(id) * scale;
        if (pen > maxWidth) break;
    }
    const int width = std::clamp(static_cast<int>(std::ceil(pen)), 1, maxWidth);
    QImage out(width, std::max(1, ascent + descent), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    for (const Placed& p : placed) {
        if (p.glyph.image.isNull()) continue;
        const QPoint at(static_cast<int>(std::lround(p.x)) + p.glyph.offset.x(), ascent + p.glyph.offset.y());
        painter.drawImage(at, p.glyph.image.format() == QImage::Format_Alpha8
                                  ? tinted(p.glyph.image, request.colour)
                                  : p.glyph.image);
    }
    return out;
}

} // namespace quillon::find
