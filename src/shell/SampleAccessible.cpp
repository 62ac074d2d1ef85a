#include "shell/SampleAccessible.h"

#include "controls/AccessibleControls.h"
#include "shell/SamplePicture.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace quillon::accessibility {

namespace {

class SampleInterface final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit SampleInterface(SamplePicture* picture) : QAccessibleWidget(picture, QAccessible::Graphic) {}

    const SamplePicture& picture() const { return *static_cast<const SamplePicture*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return picture().sampleText();
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return sampleDescription(picture());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }

    // QAccessibleTextInterface: the sample text, with no caret or selection of its own.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        return picture().sampleText().mid(startOffset, std::max(0, endOffset - startOffset));
    }
    int characterCount() const override { return int(picture().sampleText().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
};

QAccessibleInterface* sampleFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("quillon::SamplePicture")) return nullptr;
    return new SampleInterface(static_cast<SamplePicture*>(object));
}

} // namespace

void installSample()
{
    installControls();
    QAccessible::installFactory(sampleFactory);
}

void sampleChanged(SamplePicture& picture)
{
    if (!QAccessible::isActive()) return;
    QAccessibleEvent renamed(&picture, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent described(&picture, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

QString sampleDescription(const SamplePicture& picture)
{
    const QFont& font = picture.drawingFont();
    QStringList parts{font.styleName().isEmpty() ? font.family()
                                                 : font.family() + QLatin1Char(' ') + font.styleName()};
    if (font.pointSize() > 0) parts << QStringLiteral("%1 points").arg(font.pointSize());
    if (font.bold()) parts << QStringLiteral("bold");
    if (font.italic()) parts << QStringLiteral("italic");
    if (font.strikeOut()) parts << QStringLiteral("struck through");
    if (font.underline()) parts << QStringLiteral("underlined");
    return parts.join(QStringLiteral(", "));
}

} // namespace quillon::accessibility
