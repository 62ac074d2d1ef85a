#include "summary/SummaryAccessible.h"

#include "base/WindowGeometry.h"
#include "controls/AccessibleControls.h"
#include "summary/PictureBox.h"
#include "summary/Summary.h"
#include "summary/SummaryPainter.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

#include <array>

namespace quillon::accessibility {

namespace {

const Summary* summaryOf(const QWidget* picture) { return qobject_cast<const Summary*>(picture->window()); }

class RowInterface;

class SummaryPictureInterface final : public QAccessibleWidget {
public:
    explicit SummaryPictureInterface(QWidget* picture);
    ~SummaryPictureInterface() override;

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return QStringLiteral("Each row: a face's name, then a sample drawn in that face");
        return QAccessibleWidget::text(t);
    }
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override
    {
        return childCount() > 0 && widget()->hasFocus() ? child(0) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override;

    /// The face drawn in row `row` of the page on show; empty past the last face.
    QString face(int row) const
    {
        const Summary* summary = summaryOf(widget());
        if (!summary || row < 0 || row >= static_cast<int>(summary->drawnRows().size())) return {};
        return summary->fontList->itemText(summary->drawnRows()[static_cast<std::size_t>(row)]);
    }
    bool pictureHasFocus() const { return widget()->hasFocus(); }
    QRect rowRect(int row) const
    {
        const QRect local(0, px(row * SummaryPainter::kRowHeight), widget()->width(),
                          px(SummaryPainter::kRowHeight));
        return QRect(widget()->mapToGlobal(local.topLeft()), local.size());
    }

private:
    std::array<QAccessible::Id, SummaryScroll::kLargeChange> rows_{};
};

class RowInterface final : public QAccessibleInterface {
public:
    RowInterface(SummaryPictureInterface* list, int row) : list_(list), row_(row) {}

    bool isValid() const override { return list_->isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_->window(); }
    QAccessibleInterface* parent() const override { return list_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? list_->face(row_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return list_->rowRect(row_); }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        // The top row is the current one: the arrow keys move the page under it.
        const bool current = row_ == 0 && list_->pictureHasFocus();
        s.selected = current;
        s.focused = current;
        s.focusable = true;
        return s;
    }

private:
    SummaryPictureInterface* list_;
    int row_;
};

SummaryPictureInterface::SummaryPictureInterface(QWidget* picture)
    : QAccessibleWidget(picture, QAccessible::List)
{
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rows_[i] = QAccessible::registerAccessibleInterface(new RowInterface(this, static_cast<int>(i)));
}

SummaryPictureInterface::~SummaryPictureInterface()
{
    for (QAccessible::Id id : rows_) QAccessible::deleteAccessibleInterface(id);
}

int SummaryPictureInterface::childCount() const
{
    const Summary* summary = summaryOf(widget());
    return summary ? static_cast<int>(std::min(summary->drawnRows().size(), rows_.size())) : 0;
}

QAccessibleInterface* SummaryPictureInterface::child(int index) const
{
    if (index < 0 || index >= childCount()) return nullptr;
    return QAccessible::accessibleInterface(rows_[static_cast<std::size_t>(index)]);
}

int SummaryPictureInterface::indexOfChild(const QAccessibleInterface* child) const
{
    for (int i = 0; i < childCount(); ++i)
        if (QAccessible::accessibleInterface(rows_[static_cast<std::size_t>(i)]) == child) return i;
    return -1;
}

QAccessibleInterface* SummaryPictureInterface::childAt(int x, int y) const
{
    for (int i = 0; i < childCount(); ++i)
        if (rowRect(i).contains(x, y)) return child(i);
    return nullptr;
}

QAccessibleInterface* summaryFactory(const QString& className, QObject* object)
{
    auto* picture = qobject_cast<QWidget*>(object);
    if (className != QLatin1String("quillon::PictureBox") || !picture || !summaryOf(picture)) return nullptr;
    return new SummaryPictureInterface(picture);
}

} // namespace

void installSummary()
{
    installControls();
    QAccessible::installFactory(summaryFactory);
}

void summaryPageChanged(QWidget& picture)
{
    if (!QAccessible::isActive()) return;
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&picture);
    if (!list) return;
    for (int i = 0; i < list->childCount(); ++i) {
        QAccessibleEvent renamed(list->child(i), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
    }
    if (picture.hasFocus() && list->childCount() > 0) {
        QAccessibleEvent focus(list->child(0), QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace quillon::accessibility
