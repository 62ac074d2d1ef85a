#include "find/FindResults.h"

#include "find/FaceFinder.h"
#include "find/SampleRenderer.h"

#include <QKeyEvent>
#include <QPainter>

namespace quillon::find {

FindResultsModel::FindResultsModel(QObject* parent) : QAbstractListModel(parent) {}

void FindResultsModel::show(const FaceFinder* finder)
{
    beginResetModel();
    finder_ = finder;
    rows_ = finder ? finder->results() : std::vector<int>();
    const QString sample = finder ? finder->querySample() : QString();
    if (sample != querySample_) samples_.clear();
    querySample_ = sample;
    endResetModel();
}

int FindResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant FindResultsModel::data(const QModelIndex& index, int role) const
{
    if (!finder_ || !index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const int face = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return finder_->name(face);
    case Qt::ToolTipRole:
        return finder_->path(face);
    case FaceRole:
        return face;
    case SampleRole: {
        auto it = samples_.find(face);
        if (it == samples_.end()) it = samples_.insert(face, finder_->sampleFor(face, querySample_));
        return *it;
    }
    default:
        return {};
    }
}

FindResultsDelegate::FindResultsDelegate(platform::GlyphFaces& glyphs, QObject* parent)
    : QStyledItemDelegate(parent), renderer_(new SampleRenderer(glyphs, this)), pictures_(2000)
{
    connect(renderer_, &SampleRenderer::ready, this,
            [this](const QString& key, const SamplePicture& picture) {
                pictures_.insert(key, new SamplePicture(picture));
                emit pictureReady();
            });
}

FindResultsDelegate::~FindResultsDelegate() = default;

QSize FindResultsDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kRowHeight);
}

void FindResultsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    QStyleOptionViewItem base = option;
    initStyleOption(&base, index);
    base.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    if (style) style->drawControl(QStyle::CE_ItemViewItem, &base, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    const QColor ink = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const QRect cell = option.rect.adjusted(6, 0, -6, 0);
    painter->save();
    painter->setPen(ink);
    // A name the lettering lacks a character of shows a box: Qt would look through every installed family for
    // one that has it, seconds with tens of thousands of families.
    QFont lettering = option.font;
    lettering.setStyleStrategy(QFont::NoFontMerging);
    painter->setFont(lettering);
    const QRect nameRect(cell.left(), cell.top(), kNameWidth - 12, cell.height());
    painter->drawText(
        nameRect, Qt::AlignVCenter | Qt::AlignLeft,
        QFontMetrics(lettering).elidedText(index.data().toString(), Qt::ElideRight, nameRect.width()));

    const auto* model = qobject_cast<const FindResultsModel*>(index.model());
    const FaceFinder* finder = model ? model->finder() : nullptr;
    const int face = index.data(FindResultsModel::FaceRole).toInt();
    if (finder && !finder->path(face).isEmpty()) {
        const QString sample = index.data(FindResultsModel::SampleRole).toString();
        const QString key = finder->path(face) + u'\n' + QString::number(finder->index(face)) + u'\n' +
                            sample + u'\n' + ink.name();
        if (const SamplePicture* picture = pictures_.object(key)) {
            const int x = cell.left() + kNameWidth;
            const QRect room(x, cell.top(), cell.right() - x, cell.height());
            painter->setClipRect(room);
            // A right-to-left line starts at the right of its room, where its reader looks first; cut by a
            // narrow room, it is its end that is lost, as with a left-to-right one.
            const QImage& image = picture->image;
            const int left = picture->rightToLeft ? room.right() + 1 - image.width() : x;
            painter->drawImage(QPoint(left, cell.top() + (cell.height() - image.height()) / 2), image);
        } else {
            renderer_->request({key, finder->path(face), finder->index(face), sample, kSampleSize, ink});
        }
    }
    painter->restore();
}

FindResultsView::FindResultsView(QWidget* parent) : QListView(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(this, &QListView::doubleClicked, this, &FindResultsView::chosen);
}

void FindResultsView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit chosen(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace quillon::find
