#pragma once
// The face information's Characters tab: every character the face has, by Unicode block, each drawn from the
// face's own file in a grid. Hovering over a character or selecting it shows its code, Unicode name, block,
// script, glyph id and glyph name; a search finds characters by name words or code; the character or its
// code can be copied, and "Faces with This Character" asks the finder for every face that has it.
//
// The face's file is opened only while the tab is shown; moving through faces with the tab hidden reads
// nothing.

#include "faceinfo/CharacterMap.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace quillon {

namespace platform {
class GlyphFace;
class GlyphFaces;
} // namespace platform

namespace faceinfo {

/// The grid's rows: a row naming a block, then its characters sixteen a row.
class CharacterGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 16;
    /// Role of a cell's character (its code point); 0 for a block's row and an empty cell.
    static constexpr int CharacterRole = Qt::UserRole + 1;

    explicit CharacterGridModel(QObject* parent = nullptr);
    void show(const std::vector<char32_t>& characters);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool isBlockRow(int row) const;
    /// The cell that shows `c`; invalid when none does.
    QModelIndex indexOf(char32_t c) const;

private:
    struct Row {
        int group = 0;
        int first = -1; // -1: the block's own row
    };
    char32_t characterAt(const QModelIndex& index) const;

    std::vector<BlockGroup> groups_;
    std::vector<Row> rows_;
};

class CharactersView final : public QWidget {
    Q_OBJECT
public:
    /// glyphs must outlive the view.
    explicit CharactersView(platform::GlyphFaces& glyphs, QWidget* parent = nullptr);
    ~CharactersView() override;

    /// The face to show: face `index` of `path` and its characters; an empty path shows nothing.
    void setFace(const QString& path, int index, const std::vector<platform::CodeRange>& charset);
    /// The character the details describe; 0 for none.
    char32_t shownCharacter() const { return shown_; }
    /// Called with a character for "Faces with This Character"; the button is off without it.
    void setFindFaces(std::function<void(const QString& text)> find);

    QLineEdit* searchField;
    QTableView* grid;
    QLabel* details;
    QPushButton* copyCharacterButton;
    QPushButton* copyCodeButton;
    QPushButton* findFacesButton;

    CharacterGridModel* model() const { return model_; }
    /// The glyph picture of `c` as the grid draws it; null when it cannot be drawn.
    const QImage* picture(char32_t c);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void load();
    void search();
    void describe(char32_t c);
    char32_t selected() const;

    platform::GlyphFaces& glyphs_;
    CharacterGridModel* model_;
    QTimer* searchLater_;
    std::function<void(const QString&)> find_;
    QString path_;
    int index_ = 0;
    CharacterMap map_;
    bool loaded_ = true;
    std::unique_ptr<platform::GlyphFace> face_;
    char32_t shown_ = 0;
    class Pictures;
    std::unique_ptr<Pictures> pictures_;
};

} // namespace faceinfo
} // namespace quillon
