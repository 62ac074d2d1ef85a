#pragma once
// The sample area: a picture that keeps what was last printed into it (so a repaint shows the same sample
// without drawing it again) and a drawing font whose face, size and effects persist between prints.
//
// A print is drawn when the picture is next shown or read, not at once: a face change selects several sizes
// in a row and prints at each, and only the last print is ever seen, so only it loads a font.

#include "controls/FocusMark.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <functional>

namespace quillon {

class SamplePicture : public QWidget {
    Q_OBJECT
public:
    explicit SamplePicture(QWidget* parent = nullptr);

    /// Gives the picture an empty image: the area shows only its background.
    void clearPicture();
    /// Sets the drawing font: the face of `face` with the size and effects given; a size of 0 or below keeps
    /// the previous size.
    void setDrawingFont(const QFont& face, int pointSize, bool bold, bool italic, bool strikeOut,
                        bool underline);
    /// Clears, then draws text from the top-left corner, one line per line of text, cut at the edges.
    void printText(const QString& text);

    const QFont& drawingFont() const { return font_; }
    /// The text last printed; empty after clearPicture.
    const QString& sampleText() const { return lastText_; }
    /// What the picture shows now (for tests and screenshots).
    const QImage& picture() const;

    /// Asked for the tooltip's text when the pointer rests on the picture; an empty text shows none.
    std::function<QString()> toolTipSource;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    FocusMark focusMark_;
    void draw() const;

    QFont font_;
    QString lastText_;
    bool hasText_ = false;
    mutable QImage image_;
    mutable bool drawn_ = true; // image_ shows lastText_ (or nothing) at the current size
};

} // namespace quillon
