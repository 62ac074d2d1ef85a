#include "faceinfo/CharactersView.h"

#include "faceinfo/Coverage.h"
#include "platform/GlyphFaces.h"

#include <QApplication>
#include <QCache>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace quillon::faceinfo {

namespace {

constexpr int kCell = 40;         // pixels a side
constexpr double kGlyphSize = 26; // pixels to the em
constexpr int kBlockRow = 26;     // pixels: the row naming a block

QString characterText(char32_t c) { return QString::fromUcs4(&c, 1); }

} // namespace

// ---- The grid's rows -------------------------------------------------------------------------------------

CharacterGridModel::CharacterGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void CharacterGridModel::show(const std::vector<char32_t>& characters)
{
    beginResetModel();
    groups_ = CharacterMap::byBlock(characters);
    rows_.clear();
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        rows_.push_back({static_cast<int>(g), -1});
        for (std::size_t i = 0; i < groups_[g].characters.size(); i += kColumns)
            rows_.push_back({static_cast<int>(g), static_cast<int>(i)});
    }
    endResetModel();
}

int CharacterGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CharacterGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

bool CharacterGridModel::isBlockRow(int row) const
{
    return row >= 0 && row < static_cast<int>(rows_.size()) && rows_[static_cast<std::size_t>(row)].first < 0;
}

char32_t CharacterGridModel::characterAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return 0;
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (row.first < 0) return 0;
    const std::vector<char32_t>& characters = groups_[static_cast<std::size_t>(row.group)].characters;
    const std::size_t at = static_cast<std::size_t>(row.first + index.column());
    return at < characters.size() ? characters[at] : 0;
}

QVariant CharacterGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    if (isBlockRow(index.row())) {
        if (index.column() != 0 || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) return {};
        const BlockGroup& group =
            groups_[static_cast<std::size_t>(rows_[static_cast<std::size_t>(index.row())].group)];
        return QStringLiteral("%1 (%2)").arg(group.block).arg(group.characters.size());
    }
    const char32_t c = characterAt(index);
    if (c == 0) return {};
    switch (role) {
    case Qt::DisplayRole:
        return characterText(c);
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return codePoint(c) + u' ' + characterName(c);
    case CharacterRole:
        return static_cast<uint>(c);
    default:
        return {};
    }
}

Qt::ItemFlags CharacterGridModel::flags(const QModelIndex& index) const
{
    // A block's row and the empty cells after a block's last character take neither the selection nor the
    // keyboard's cursor.
    return characterAt(index) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QModelIndex CharacterGridModel::indexOf(char32_t c) const
{
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const Row& row = rows_[r];
        if (row.first < 0) continue;
        const std::vector<char32_t>& characters = groups_[static_cast<std::size_t>(row.group)].characters;
        for (int col = 0; col < kColumns && row.first + col < static_cast<int>(characters.size()); ++col)
            if (characters[static_cast<std::size_t>(row.first + col)] == c)
                return index(static_cast<int>(r), col);
    }
    return {};
}

// ---- Drawing
// ------------------------------------------------------------------------------------------------

class CharactersView::Pictures {
public:
    QCache<char32_t, QImage> images{4000};
};

namespace {

class GlyphDelegate final : public QStyledItemDelegate {
public:
    GlyphDelegate(CharactersView& view) : QStyledItemDelegate(&view), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* model = static_cast<const CharacterGridModel*>(index.model());
        if (model->isBlockRow(index.row())) {
            painter->save();
            painter->fillRect(option.rect, option.palette.color(QPalette::Normal, QPalette::AlternateBase));
            QFont bold = option.font;
            bold.setBold(true);
            painter->setFont(bold);
            // The row takes no cursor, but it is no disabled control: its name reads as text.
            painter->setPen(option.palette.color(QPalette::Normal, QPalette::Text));
            painter->drawText(option.rect.adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft,
                              index.data().toString());
            painter->restore();
            return;
        }
        const char32_t c = index.data(CharacterGridModel::CharacterRole).toUInt();
        if (c == 0) return;
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        base.text.clear();
        const QWidget* widget = option.widget;
        if (widget) widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, painter, widget);
        const QImage* picture = view_.picture(c);
        if (!picture || picture->isNull()) return;
        const bool selected = option.state & QStyle::State_Selected;
        QImage shown = *picture;
        if (shown.format() == QImage::Format_Alpha8) {
            // Coverage in the text colour of the cell.
            QImage ink(shown.size(), QImage::Format_ARGB32_Premultiplied);
            ink.fill(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            QPainter mask(&ink);
            mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            mask.drawImage(0, 0, shown);
            mask.end();
            shown = ink;
        }
        const QPoint at = option.rect.center() - QPoint(shown.width() / 2, shown.height() / 2);
        painter->save();
        painter->setClipRect(option.rect);
        painter->drawImage(at, shown);
        painter->restore();
    }

private:
    CharactersView& view_;
};

} // namespace

// ---- The view ---------------------------------------------------------------------------------------------

CharactersView::CharactersView(platform::GlyphFaces& glyphs, QWidget* parent)
    : QWidget(parent), glyphs_(glyphs), model_(new CharacterGridModel(this)), searchLater_(new QTimer(this)),
      pictures_(std::make_unique<Pictures>())
{
    auto* layout = new QVBoxLayout(this);
    auto* searchRow = new QHBoxLayout;
    auto* searchLabel = new QLabel(QStringLiteral("Sea&rch:"), this);
    searchField = new QLineEdit(this);
    searchField->setObjectName(QStringLiteral("characterSearch"));
    searchField->setPlaceholderText(QStringLiteral("Name words (greek alpha) or a code (U+20BF)"));
    searchField->setClearButtonEnabled(true);
    searchField->setAccessibleName(QStringLiteral("Search characters"));
    // Name words and codes: a character pasted that the lettering lacks shows a box rather than send Qt
    // through every installed family for a face that has it.
    QFont lettering = searchField->font();
    lettering.setStyleStrategy(QFont::NoFontMerging);
    searchField->setFont(lettering);
    searchLabel->setBuddy(searchField);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(searchField, 1);
    layout->addLayout(searchRow);

    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("characterGrid"));
    grid->setAccessibleName(QStringLiteral("Characters of the face"));
    grid->setModel(model_);
    grid->setItemDelegate(new GlyphDelegate(*this));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setDefaultSectionSize(kCell);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(kCell);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setShowGrid(false);
    grid->setMouseTracking(true);
    grid->setTabKeyNavigation(false);
    grid->setMinimumWidth(kCell * CharacterGridModel::kColumns + 24);
    layout->addWidget(grid, 1);

    details = new QLabel(this);
    details->setObjectName(QStringLiteral("characterDetails"));
    details->setTextFormat(Qt::PlainText);
    details->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    details->setAccessibleName(QStringLiteral("Character details"));
    details->setMinimumHeight(details->fontMetrics().lineSpacing() * 3);
    layout->addWidget(details);

    auto* buttons = new QHBoxLayout;
    copyCharacterButton = new QPushButton(QStringLiteral("&Copy Character"), this);
    copyCharacterButton->setObjectName(QStringLiteral("copyCharacterButton"));
    copyCodeButton = new QPushButton(QStringLiteral("Copy C&ode"), this);
    copyCodeButton->setObjectName(QStringLiteral("copyCodeButton"));
    findFacesButton = new QPushButton(QStringLiteral("Faces &with This Character"), this);
    findFacesButton->setObjectName(QStringLiteral("findFacesButton"));
    for (QPushButton* button : {copyCharacterButton, copyCodeButton, findFacesButton}) {
        button->setAutoDefault(false);
        button->setEnabled(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    searchLater_->setSingleShot(true);
    searchLater_->setInterval(150); // a name search looks through every name: not at each keystroke
    connect(searchLater_, &QTimer::timeout, this, &CharactersView::search);
    connect(searchField, &QLineEdit::textChanged, searchLater_, qOverload<>(&QTimer::start));
    connect(grid, &QTableView::entered, this, [this](const QModelIndex& index) {
        if (const char32_t c = index.data(CharacterGridModel::CharacterRole).toUInt()) describe(c);
    });
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                describe(index.data(CharacterGridModel::CharacterRole).toUInt());
            });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        grid->clearSpans();
        for (int r = 0; r < model_->rowCount(); ++r)
            if (model_->isBlockRow(r)) {
                grid->setSpan(r, 0, 1, CharacterGridModel::kColumns);
                grid->setRowHeight(r, kBlockRow);
            }
    });
    connect(copyCharacterButton, &QPushButton::clicked, this, [this] {
        if (const char32_t c = selected()) QApplication::clipboard()->setText(characterText(c));
    });
    connect(copyCodeButton, &QPushButton::clicked, this, [this] {
        if (const char32_t c = selected()) QApplication::clipboard()->setText(codePoint(c));
    });
    connect(findFacesButton, &QPushButton::clicked, this, [this] {
        if (const char32_t c = selected(); c && find_) find_(characterText(c));
    });
}

CharactersView::~CharactersView() = default;

void CharactersView::setFindFaces(std::function<void(const QString&)> find) { find_ = std::move(find); }

void CharactersView::setFace(const QString& path, int index, const std::vector<platform::CodeRange>& charset)
{
    path_ = path;
    index_ = index;
    map_ = path.isEmpty() ? CharacterMap() : CharacterMap(charset);
    face_.reset();
    pictures_->images.clear();
    loaded_ = false;
    if (isVisible()) load();
}

void CharactersView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!loaded_) load();
}

void CharactersView::load()
{
    loaded_ = true;
    if (!path_.isEmpty()) face_ = glyphs_.open(path_, index_);
    search();
}

void CharactersView::search()
{
    const char32_t keep = selected();
    model_->show(map_.search(searchField->text()));
    QModelIndex again = keep ? model_->indexOf(keep) : QModelIndex();
    // The first character found is the current one, so the keyboard starts from it and its details show.
    if (!again.isValid() && model_->rowCount() > 1) again = model_->index(1, 0);
    if (again.isValid()) {
        grid->setCurrentIndex(again);
        grid->scrollTo(again);
    } else {
        describe(0);
    }
}

char32_t CharactersView::selected() const
{
    return grid->currentIndex().data(CharacterGridModel::CharacterRole).toUInt();
}

const QImage* CharactersView::picture(char32_t c)
{
    if (QImage* known = pictures_->images.object(c)) return known;
    if (!face_) return nullptr;
    const std::optional<platform::GlyphImage> glyph = face_->image(face_->glyphOf(c), kGlyphSize, 0);
    auto* image = new QImage(glyph ? glyph->image : QImage());
    pictures_->images.insert(c, image);
    return image;
}

void CharactersView::describe(char32_t c)
{
    shown_ = c;
    for (QPushButton* button : {copyCharacterButton, copyCodeButton}) button->setEnabled(selected() != 0);
    findFacesButton->setEnabled(selected() != 0 && static_cast<bool>(find_));
    if (c == 0) {
        details->setText(map_.characters().empty() ? QStringLiteral("The face has no characters to show.")
                         : model_->rowCount() == 0
                             ? QStringLiteral("No character of the face matches the search.")
                             : QString());
        return;
    }
    const std::uint32_t glyph = face_ ? face_->glyphOf(c) : 0;
    const QString glyphName = face_ ? QString::fromLatin1(face_->glyphName(glyph)) : QString();
    // The character itself is in the grid, drawn by the face: in this label Qt would look for a face that has
    // it through every installed family, which takes seconds when there are tens of thousands.
    details->setText(QStringLiteral("%1  %2\nBlock: %3    Script: %4\nGlyph: %5%6")
                         .arg(codePoint(c), characterName(c), blockName(c), scriptName(c))
                         .arg(glyph)
                         .arg(glyphName.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(glyphName)));
}

void CharactersView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy) && selected()) {
        QApplication::clipboard()->setText(characterText(selected()));
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quillon::faceinfo
