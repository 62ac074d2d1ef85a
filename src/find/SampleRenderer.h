#pragma once
// Draws sample lines in faces on a thread of its own, so that scrolling through thousands of results never
// waits on a font file: a row asks for its picture and shows without it until it comes. The newest requests
// are drawn first (the rows on screen now), and a request no row waits for any more is dropped.
//
// A line is set as the type tester sets it (typeset::Typesetter: HarfBuzz shapes, ICU orders), so Arabic
// joins, Devanagari forms its conjuncts and right-to-left text runs from the right. Each drawing opens the
// face afresh on the renderer's thread (through GlyphFaces, a font engine of its own): nothing of a face is
// shared with the window's thread.
//
// Lives on the window's thread; `ready` comes there. Destroying it waits for the picture being drawn.

#include <QColor>
#include <QImage>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace quillon {

namespace platform {
class GlyphFaces;
}

namespace find {

struct SampleRequest {
    QString key;  // what the picture is known by
    QString path; // the face's file and index (as the font engine takes it)
    int index = 0;
    QString text;
    double pixelSize = 0;
    QColor colour;
};

struct SamplePicture {
    QImage image; // null when the face cannot be opened
    /// The line runs right to left: the image holds its start at its right edge, and a row shows it against
    /// the right of its room.
    bool rightToLeft = false;
};

class SampleRenderer final : public QObject {
    Q_OBJECT
public:
    /// glyphs must outlive the renderer.
    explicit SampleRenderer(platform::GlyphFaces& glyphs, QObject* parent = nullptr);
    ~SampleRenderer() override;

    /// Asks for a picture; a request for a key already waiting only moves it to the front.
    void request(SampleRequest request);
    /// Drops every request not drawn yet.
    void clear();

    /// Past this many UTF-16 units a sample is cut before it is set: no row is wide enough to show more.
    static constexpr int kMostUnits = 512;

    /// The line drawn now, on the calling thread: `text` set in the face as one line (its line breaks as
    /// spaces), in `colour` (colour glyphs in their own), as tall as the face's ascender and descender. No
    /// wider than `maxWidth` pixels: a longer line keeps its start, the left of a left-to-right line and the
    /// right of a right-to-left one. Where shaping finds no glyph for characters the face's own character map
    /// has (a map HarfBuzz does not read), the line is drawn glyph by glyph from that map, as it always was.
    static SamplePicture draw(platform::GlyphFaces& glyphs, const SampleRequest& request,
                              int maxWidth = 1600);

signals:
    void ready(const QString& key, const quillon::find::SamplePicture& picture);

private:
    void run();

    platform::GlyphFaces& glyphs_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<SampleRequest> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace find
} // namespace quillon
