#pragma once
// The sample area: a picture that keeps what was last drawn into it (so a repaint shows the same sample
// without drawing it again) and a drawing font whose face, size and effects persist between draws.

#include <QFont>
#include <QImage>
#include <QWidget>

namespace quillon {

class SamplePicture : public QWidget {
    Q_OBJECT
public:
    explicit SamplePicture(QWidget* parent = nullptr);

    /// Gives the picture an empty image: the area shows only its background.
    void clearPicture();
    /// Sets the drawing font's properties; a size of 0 or below keeps the previous size.
    void setDrawingFont(const QString& face, int pointSize, bool bold, bool italic, bool strikeOut, bool underline);
    /// Clears, then draws text from the top-left corner, one line per line of text, cut at the edges.
    void printText(const QString& text);

    const QFont& drawingFont() const { return font_; }
    /// What the picture shows now (for tests and screenshots).
    const QImage& picture() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QFont font_;
    QImage image_;
    QString lastText_;
    bool hasText_ = false;
};

} // namespace quillon
