#pragma once
// The round push button: an ellipse with a three-ring bevel (light upper left, dark lower right) that
// inverts while a mouse button is held on it, and a bold caption centred on it. Raises Click on a click
// while Enabled, and on Enter while it has the focus. Sizes are twips (15 to a pixel).

#include "controls/FocusMark.h"

#include <QString>
#include <QWidget>

#include <cstdint>

namespace quillon {

class ButtonSurface;
class PropertyBag;

class Button : public QWidget {
    Q_OBJECT
public:
    static inline const QString kDefaultCaption = QStringLiteral("Button");
    static constexpr std::uint32_t kDefaultBackColor = 0x8000000F; ///< button face
    static constexpr std::uint32_t kDefaultForeColor = 0x80000012; ///< button text
    static constexpr int kPlacedWidth = 3225;                      ///< twips, the size when first placed
    static constexpr int kPlacedHeight = 1545;                     ///< twips

    explicit Button(QWidget* parent = nullptr);

    // Properties, in the control's order.

    bool Enabled() const { return enabled_; }
    /// Stores the flag and repaints. Unlike QWidget::setEnabled it leaves the window enabled, so the
    /// caption keeps its colour; only ReadProperties disables the window.
    void setEnabled(bool enabled);
    /// Colours are 32-bit values, red in the low byte; a top bit set names a system colour.
    std::uint32_t ForeColor() const { return penColour_; }
    void setForeColor(std::uint32_t colour);
    std::uint32_t BackColor() const { return backColor_; }
    void setBackColor(std::uint32_t colour);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);

    // The property store of the hosting window: Caption, Enabled, BackColor, ForeColor in that order.

    void InitProperties();
    /// A stored Enabled off also disables the window: no focus, no clicks, a grey caption.
    void ReadProperties(PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    /// Draws the button as it looks now; paintEvent hands it a surface over the widget.
    void paint(ButtonSurface& surface);

    bool isPressed() const { return isPressed_; }
    /// The control's width and height less 10 twips, as worked out by the last paint.
    int drawWidth() const { return drawWidth_; }
    int drawHeight() const { return drawHeight_; }

    QSize sizeHint() const override;

signals:
    void Click();
    /// Mouse events: button (1 left, 2 right, 4 middle), shift state (1 Shift, 2 Ctrl, 4 Alt), position
    /// in twips from the control's top left.
    void MouseDown(short button, short shift, float x, float y);
    void MouseMove(short button, short shift, float x, float y);
    void MouseUp(short button, short shift, float x, float y);
    /// A persisted property was set; the host saves its definition when it wants to.
    void propertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    FocusMark focusMark_;
    bool windowEnabled() const;
    /// ForeColor, or black or white where the palette's colour for it does not read on the fill.
    std::uint32_t readableCaption() const;

    bool isPressed_ = false;
    bool hasFocus_ = false;
    int drawHeight_ = 0;
    int drawWidth_ = 0;
    bool enabled_ = true;
    std::uint32_t backColor_ = kDefaultBackColor;
    std::uint32_t foreColor_ = kDefaultForeColor;
    /// The surface's pen colour, which ForeColor reads back; each paint leaves it at foreColor_.
    std::uint32_t penColour_ = kDefaultForeColor;
    QString caption_ = kDefaultCaption;
};

} // namespace quillon
