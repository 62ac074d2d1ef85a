#pragma once
// The face information's header picture: the face's name drawn in the face itself and a line of sample text
// under it, both set from the face's own file (installed or not), so that a font just downloaded is seen
// before it is installed. A face that cannot be opened draws nothing; the picture then takes no room.

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

namespace quillon {

namespace platform {
class FaceRasterizer;
}
namespace typeset {
class GlyphPainter;
class Typesetter;
} // namespace typeset

namespace faceinfo {

class FaceSample final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kNameSize = 28;   // pixels to the em
    static constexpr double kSampleSize = 18; // pixels to the em

    /// rasterizer must outlive the picture.
    explicit FaceSample(platform::FaceRasterizer& rasterizer, QWidget* parent = nullptr);
    ~FaceSample() override;

    /// Draws `name` and `sample` in face `index` of `file` (read now); an empty file draws nothing.
    void setFace(const QString& file, int index, const QString& name, const QString& sample);
    /// Whether the face could be opened and is drawn.
    bool drawn() const { return static_cast<bool>(typesetter_); }
    const QString& sampleText() const { return sample_; }

    QSize sizeHint() const override;

    /// A line of the face's own letters: the pangram when the face has all of its characters, else the first
    /// letters and digits of `characters` (ascending code points).
    static QString sampleFor(const std::vector<char32_t>& characters);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::FaceRasterizer& rasterizer_;
    std::unique_ptr<typeset::Typesetter> typesetter_;
    std::unique_ptr<typeset::GlyphPainter> glyphs_;
    QString name_;
    QString sample_;
};

} // namespace faceinfo
} // namespace quillon
