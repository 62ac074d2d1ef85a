#pragma once
// The Find Faces window: a name search and filters by writing system, characters, layout feature, variation
// axis, colour, spacing, format and origin, combined with AND, each with the count of faces it and the
// filters above it leave; below them the faces found, each drawn in itself. Enter or a double click on a face
// selects it in the main window. The filters are kept in the settings for the next time. Escape closes the
// window; Escape with Shift, Ctrl or Alt ends the program.
//
// A top-level window owned by the main window. The index it searches (FindIndex) outlives it, so opening it
// again reads nothing.

#include "find/FindQuery.h"

#include <QComboBox>
#include <QFont>
#include <QHash>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;

namespace quillon {

namespace platform {
struct Platform;
}

namespace find {

class FindIndex;
class FindResultsDelegate;

/// A list whose entries' counts are brought up to date when it opens (or takes the focus, for the
/// completion an editable one offers): counting every entry at each keystroke would cost more than a frame.
class CountedList final : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override
    {
        if (beforePopup) beforePopup();
        QComboBox::showPopup();
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        if (beforePopup) beforePopup();
        QComboBox::focusInEvent(event);
    }
};
class FindResultsModel;
class FindResultsView;

class FindFaces final : public QWidget {
    Q_OBJECT
public:
    struct Owner {
        std::function<void(const QString& face)> selectFace; // selects a listed face in the main window
        std::function<QString()> sampleText;                 // the main window's sample text
        std::function<void()> endProgram;                    // may be empty
    };
    /// index and platform must outlive the window.
    FindFaces(FindIndex& index, platform::Platform& platform, Owner owner, QWidget* parent = nullptr);
    ~FindFaces() override;

    /// Shows the faces with every character of `text`, every other filter off.
    void findCharacters(const QString& text);
    /// The query the controls make.
    FindQuery query() const;

    QLineEdit* nameField;
    CountedList* writingSystemList;
    QLineEdit* textField;
    QPushButton* sampleTextButton;
    CountedList* featureList;
    CountedList* variationList;
    QCheckBox* colourBox;
    QCheckBox* monospacedBox;
    CountedList* formatList;
    CountedList* originList;
    QPushButton* clearButton;
    FindResultsView* resultsList;
    QLabel* resultsLabel;
    QLabel* statusLine;
    /// The count beside each filter, in the window's order (Step).
    QList<QLabel*> counts;

    FindResultsModel* results() const { return model_; }
    FindResultsDelegate* rows() const { return delegate_; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void setQuery(const FindQuery& query);
    void applyQuery();
    void facesReady();
    void layoutReady();
    void buildWritingSystems();
    void countWritingSystems(bool all);
    void buildTags();
    void countTags(bool all);
    void showStatus();
    void choose(const QModelIndex& index);
    void saveQuery();
    void fitLettering(QLineEdit* field);
    QFont ownLettering() const;

    FindIndex& index_;
    platform::Platform& platform_;
    Owner owner_;
    FindResultsModel* model_;
    FindResultsDelegate* delegate_;
    QStandardItemModel* writingSystems_;
    FindQuery saved_;      // what the settings hold
    bool filling_ = false; // the lists are being refilled: their changes are no user's
    int pendingRows_ = 0;  // writing system rows standing for a choice until the real rows come
    bool tagsBuilt_ = false;
    QHash<QString, QFont> letterings_; // characters the window's font lacks -> the font that has them
};

} // namespace find
} // namespace quillon
