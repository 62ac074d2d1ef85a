#pragma once
// The finder's results: one row per face, its name in the window's lettering and beside it a sample drawn in
// the face itself, set as the type tester sets text (a right-to-left sample against the row's right). The
// sample is the query's (its text, or letters of its language or script) or the default, each without the
// characters the face lacks, so a face shows no boxes; a face without most of them shows letters of its own
// languages instead. Samples are drawn off the window's thread (SampleRenderer): a row whose picture is not
// there yet shows its name alone, and scrolling never waits on a file.

#include <QAbstractListModel>
#include <QCache>
#include <QHash>
#include <QImage>
#include <QListView>
#include <QStyledItemDelegate>

namespace quillon {

namespace platform {
class GlyphFaces;
}

namespace find {

class FaceFinder;
class SampleRenderer;
struct SamplePicture;

class FindResultsModel final : public QAbstractListModel {
    Q_OBJECT
public:
    /// Role of a row's face number in the finder.
    static constexpr int FaceRole = Qt::UserRole + 1;
    /// Role of the text its sample shows.
    static constexpr int SampleRole = Qt::UserRole + 2;

    explicit FindResultsModel(QObject* parent = nullptr);
    /// The finder whose results the rows show (not owned; null for none). Call again after each apply.
    void show(const FaceFinder* finder);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    const FaceFinder* finder() const { return finder_; }

private:
    const FaceFinder* finder_ = nullptr;
    std::vector<int> rows_;
    QString querySample_;
    mutable QHash<int, QString> samples_; // by face, for querySample_
};

class FindResultsDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    /// glyphs must outlive the delegate.
    FindResultsDelegate(platform::GlyphFaces& glyphs, QObject* parent = nullptr);
    ~FindResultsDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static constexpr int kRowHeight = 34;     ///< pixels
    static constexpr int kNameWidth = 230;    ///< pixels given to the name
    static constexpr double kSampleSize = 20; ///< pixels to the em

    /// Pictures drawn so far (for tests).
    int pictures() const { return pictures_.size(); }

signals:
    /// A picture came: the rows showing it need painting again.
    void pictureReady();

private:
    SampleRenderer* renderer_;
    mutable QCache<QString, SamplePicture> pictures_;
};

/// The list itself: Enter or a double click chooses the current face.
class FindResultsView final : public QListView {
    Q_OBJECT
public:
    explicit FindResultsView(QWidget* parent = nullptr);

signals:
    void chosen(const QModelIndex& index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace find
} // namespace quillon
