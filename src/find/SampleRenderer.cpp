#include "find/SampleRenderer.h"

#include "platform/GlyphFaces.h"
#include "typeset/GlyphPainter.h"
#include "typeset/Typesetter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quillon::find {

namespace {

// Requests waiting beyond this are the oldest, for rows long scrolled past.
constexpr std::size_t kMostWaiting = 256;

/// The sample as one line of a row: its line breaks as spaces, cut where no row could show more (never
/// between the halves of a character).
QString oneLine(const QString& text)
{
    QString out = text.left(SampleRenderer::kMostUnits);
    if (!out.isEmpty() && out.back().isHighSurrogate()) out.chop(1);
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == 0x0B || u == 0x0C || u == 0x85 || u == 0x2028 || u == 0x2029)
            c = u' ';
    }
    return out;
}

/// Glyphs of the line that are the face's missing-glyph shape.
int missingGlyphs(const typeset::ShapedLine& line)
{
    return static_cast<int>(std::count_if(line.glyphs.begin(), line.glyphs.end(),
                                          [](const typeset::ShapedGlyph& g) { return g.glyph == 0; }));
}

/// The line glyph by glyph from the face's own character map and advances, left to right.
typeset::ShapedLine byCharacterMap(platform::GlyphFace& face, const QString& text)
{
    typeset::ShapedLine line;
    double pen = 0;
    for (char32_t c : text.toUcs4()) {
        const unsigned glyph = face.glyphOf(c);
        const int advance = static_cast<int>(std::lround(face.advance(glyph)));
        line.glyphs.push_back({glyph, 0, advance, 0, 0, 0, pen});
        pen += advance;
    }
    line.width = pen;
    return line;
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
        const SamplePicture picture = draw(glyphs_, next);
        // Queued to this object: dropped if it is gone by then (it waits for this thread when destroyed).
        QMetaObject::invokeMethod(
            this, [this, key = next.key, picture] { emit ready(key, picture); }, Qt::QueuedConnection);
    }
}

SamplePicture SampleRenderer::draw(platform::GlyphFaces& glyphs, const SampleRequest& request, int maxWidth)
{
    if (request.pixelSize <= 0 || maxWidth < 1) return {};
    // Only text is set: the layout tables' tags suffice, their names are not read.
    const std::unique_ptr<typeset::Typesetter> typesetter =
        typeset::Typesetter::open(glyphs.open(request.path, request.index), request.path, request.index,
                                  0x0409, opentype::Detail::Tags);
    if (!typesetter) return {};
    const QString text = oneLine(request.text);
    typeset::ShapedText set = typesetter->shape(text);
    if (set.lines.empty()) set.lines.emplace_back();
    typeset::ShapedLine& line = set.lines.front();
    if (const int missing = missingGlyphs(line); missing > 0) {
        typeset::ShapedLine mapped = byCharacterMap(typesetter->glyphs(), text);
        if (missingGlyphs(mapped) < missing) line = std::move(mapped);
    }

    const double scale = request.pixelSize / set.unitsPerEm;
    // A face claiming a towering ascender would otherwise ask for a picture of thousands of rows; a row
    // shows little more than an em anyway.
    const auto extent = [&](double units) {
        return std::clamp(static_cast<int>(std::ceil(units * scale)), 0,
                          static_cast<int>(std::ceil(2 * request.pixelSize)));
    };
    const int ascent = extent(set.ascender);
    const int descent = extent(set.descender);
    set.ascender = ascent / scale; // the baseline on a whole pixel
    const int width = std::clamp(static_cast<int>(std::ceil(line.width * scale)), 1, maxWidth);
    QImage out(width, std::max(1, ascent + descent), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    {
        QPainter painter(&out);
        // Placed against the right edge when it runs right to left, so a line too long keeps its start.
        typeset::GlyphPainter(*typesetter)
            .paintLine(painter, set, 0, 0, 0, width, request.pixelSize, request.colour);
    }
    return {out, line.rightToLeft};
}

} // namespace quillon::find
