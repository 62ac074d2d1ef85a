#pragma once
// The type tester's sample as drawn on the screen: the laid-out sample painted from the face's own glyph
// images, inside a scroll area. Only the part in view is painted.

#include "tester/TesterOutput.h"

#include <QWidget>

#include <memory>

namespace quillon::tester {

class SampleView : public QWidget {
    Q_OBJECT
public:
    explicit SampleView(QWidget* parent = nullptr);

    /// Draws with `typesetter` from now on (null: nothing); it must outlive its use here.
    void setTypesetter(typeset::Typesetter* typesetter);
    /// Lays the sample out again for `width` pixels of room (the scroll area's), and redraws.
    void lay(const Sample& sample, double width);
    /// A message in place of the sample (no face, a face that cannot be drawn).
    void setMessage(const QString& message);
    const SampleLayout& layout() const { return layout_; }
    static constexpr int kMargin = 12;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    typeset::Typesetter* typesetter_ = nullptr;
    std::unique_ptr<typeset::GlyphPainter> glyphs_;
    SampleLayout layout_;
    QString message_;
};

} // namespace quillon::tester
