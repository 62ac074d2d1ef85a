#pragma once
// Draws sample lines in faces on a thread of its own, so that scrolling through thousands of results never
// waits on a font file: a row asks for its picture and shows without it until it comes. The newest requests
// are drawn first (the rows on screen now), and a request no row waits for any more is dropped.
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

    /// The line drawn now, on the calling thread: `text` in the face, glyph by glyph, in `colour` (colour
    /// glyphs in their own); no wider than `maxWidth` pixels. Null when the face cannot be opened.
    static QImage draw(platform::GlyphFaces& glyphs, const SampleRequest& request, int maxWidth = 1600);

signals:
    void ready(const QString& key, const QImage& picture);

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
