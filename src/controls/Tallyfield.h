#pragma once
// The numeric entry box: one text box, txtNumber, that takes only a number, shows it through a
// picture mask (Format, e.g. "###,##0.00;(##,###.00)") while it lacks the focus and the bare number while
// the user edits it. Sizes are in twips (15 to a pixel); the control never gets lower than 285 twips.

#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>

class QLineEdit;
class QKeyEvent;
class QMouseEvent;

namespace quillon {

class PropertyBag;

class Tallyfield : public QWidget {
    Q_OBJECT
public:
    static inline const QString kDefaultFormat = QStringLiteral("###,##0.00;(##,###.00)");
    static inline const QString kDefaultBackColor = QStringLiteral("&H80000005&");
    static inline const QString kDefaultForeColor = QStringLiteral("&H80000008&");
    static constexpr int kMinimumHeight = 285; ///< twips
    static constexpr int kPlacedWidth = 1215;  ///< twips, the size when first placed
    static constexpr int kPlacedHeight = 300;  ///< twips

    /// A newly placed control: every property at its default, maxLength 10.
    explicit Tallyfield(QWidget* parent = nullptr);

    // Properties, in the control's order.

    /// The shown number: a 16-bit integer 0 (QMetaType::Short) when the field holds no digits, else a
    /// double. Cleans the working number as a side effect, hence not const.
    QVariant Value();
    /// Text is taken as it is; a number becomes plain decimal text (no grouping, no exponent). Shows the
    /// masked value and raises Change at least once, even when the value is unchanged.
    void setValue(const QVariant& value);
    QString Format() const { return format_; }
    /// Takes effect at the next formatting; the shown text stays as it is.
    void setFormat(const QString& format);
    bool Enabled() const { return enabled_; }
    /// Enables or disables txtNumber (not the control itself).
    void setEnabled(bool enabled);
    bool PositiveOnly() const { return positiveOnly_; }
    void setPositiveOnly(bool positiveOnly);
    /// Colour texts: "&H" hexadecimal or decimal, an optional trailing "&"; a top bit set names a system
    /// colour. The text is kept as given; a text that is no number leaves the shown colour unchanged.
    QString BackColor() const { return backColor_; }
    void setBackColor(const QString& colour);
    QString ForeColor() const { return foreColor_; }
    void setForeColor(const QString& colour);
    bool Locked() const { return locked_; }
    /// The user cannot type; the clipboard keys still act and the mask stays while focused.
    void setLocked(bool locked);
    /// Whether txtNumber holds the focus (kept while the window is merely inactive).
    bool GotFocus() const { return hasFocus_; }
    /// The text the field shows now, as typed or masked; reading it changes nothing.
    QString shownText() const;

    // Methods.

    /// Cleans the working number to an optional "-", digits and at most one ".".
    void UnformatNumeric();
    /// Cleans and masks the working number and shows it.
    void FormatNumeric();
    void Refresh();
    /// Shows the bare number, selects all of it and raises Change.
    void Highlight();

    // The property store of the hosting window.

    /// Every property back to its default, as when first placed. Colours are not pushed to txtNumber.
    void InitProperties();
    /// Reads Format, Enabled, PositiveOnly, BackColor, ForeColor, Value, Locked in that order, then shows
    /// the stored value masked.
    void ReadProperties(PropertyBag& bag);
    /// Writes Value (the last value assigned, not the shown text), Format, Enabled, PositiveOnly,
    /// BackColor, ForeColor, Locked in that order, each with its default.
    void WriteProperties(PropertyBag& bag) const;

    /// Called for a keystroke refused under the length rule; QApplication::beep unless replaced.
    void setBeep(std::function<void()> beep);

    // Run-time state, read-only, for hosts and checks.
    const QString& numberText() const { return numberText_; }
    const QString& maskText() const { return maskText_; }
    bool isNonNegative() const { return isNonNegative_; }
    const QVariant& lastText() const { return lastText_; }
    const QVariant& storedValue() const { return storedValue_; }
    /// Longest text the user may type; 0 means no limit.
    int maxLength() const { return maxLength_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    /// The numeric value of the text changed, Value was assigned, or Highlight ran.
    void Change();
    /// Every key-down in txtNumber, with its Windows key code (not a character code). The arguments are
    /// references for handlers written that way; what a handler writes into them is not used. Connect
    /// directly (the default): a queued connection cannot carry them.
    void KeyPress(short& KeyCode);
    /// Every key-up in txtNumber: Windows key code and shift state (1 Shift, 2 Ctrl, 4 Alt).
    void KeyUp(short& KeyCode, short& Shift);
    /// Mouse over txtNumber: button (1 left, 2 right, 4 middle), shift state, position in twips.
    void MouseDown(short Button, short Shift, float X, float Y);
    void MouseMove(short Button, short Shift, float X, float Y);
    /// A persisted property was set; the host saves its definition when it wants to.
    void propertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ParseFormat();
    void ApplyFormat();
    void showText(const QString& text);
    void applyColour(const QString& text, bool background);
    void txtNumber_Change();
    void txtNumber_GotFocus();
    void txtNumber_LostFocus();
    /// The clipboard keys, then KeyPress with the key's code.
    void txtNumber_KeyDown(QKeyEvent* event);
    /// The character filter; returns true when the character is refused.
    bool txtNumber_KeyPress(QKeyEvent* event);
    void txtNumber_Mouse(QMouseEvent* event, bool press);

    QLineEdit* txtNumber;
    QString numberText_;
    QString maskText_;
    bool isNonNegative_ = true;
    QVariant lastText_;
    QVariant storedValue_;
    int maxLength_ = 10;
    QString format_;
    bool enabled_ = true;
    bool positiveOnly_ = false;
    QString backColor_;
    QString foreColor_;
    bool locked_ = false;
    bool hasFocus_ = false;
    std::function<void()> beep_;
};

} // namespace quillon
