#include "find/FindFaces.h"

#include "controls/WindowsKeys.h"
#include "find/FaceFinder.h"
#include "find/FindIndex.h"
#include "find/FindResults.h"
#include "find/SearchText.h"
#include "platform/Platform.h"
#include "platform/ScreenFace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRawFont>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace quillon::find {

namespace {

const QString kLanguage = QStringLiteral("lang:");
const QString kScript = QStringLiteral("script:");
const QString kAxis = QStringLiteral("axis:");
const QString kVariable = QStringLiteral("variable");
// A writing system row's key ("lang:vi", "script:Georgian") and its name without the count.
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2;

QString counted(int faces) { return QLocale().toString(faces); }

/// A label naming `control`, whose text a screen reader speaks for it.
QLabel* labelFor(const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    QString spoken = text;
    control->setAccessibleName(spoken.remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    return label;
}

CountedList* makeList(const char* name, const QStringList& items, QWidget* parent)
{
    auto* list = new CountedList(parent);
    list->setObjectName(QLatin1String(name));
    list->addItems(items);
    return list;
}

} // namespace

FindFaces::FindFaces(FindIndex& index, platform::Platform& platform, Owner owner, QWidget* parent)
    : QWidget(parent, Qt::Window), index_(index), platform_(platform), owner_(std::move(owner)),
      model_(new FindResultsModel(this)), delegate_(new FindResultsDelegate(platform.glyphFaces, this)),
      writingSystems_(new QStandardItemModel(this))
{
    setObjectName(QStringLiteral("findFaces"));
    setWindowTitle(QStringLiteral("Find Faces"));
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(720, 620);
    buildControls();

    saved_ = FindQuery::load(platform_.settings);
    setQuery(saved_);
    connect(&index_, &FindIndex::facesReady, this, &FindFaces::facesReady);
    connect(&index_, &FindIndex::layoutProgress, this, &FindFaces::showStatus);
    connect(&index_, &FindIndex::layoutReady, this, &FindFaces::layoutReady);
    index_.start();
    if (index_.finder()) facesReady();
    showStatus();
}

FindFaces::~FindFaces() { saveQuery(); }

void FindFaces::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    nameField = new QLineEdit(this);
    nameField->setObjectName(QStringLiteral("nameField"));
    nameField->setFont(ownLettering());
    nameField->setPlaceholderText(QStringLiteral("Words of any name, in any language"));
    nameField->setClearButtonEnabled(true);

    writingSystemList = new CountedList(this);
    writingSystemList->setObjectName(QStringLiteral("writingSystemList"));
    writingSystemList->setModel(writingSystems_);
    // Some 250 languages: a list that scrolls, not a menu as tall as the screen.
    writingSystemList->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    writingSystemList->setMaxVisibleItems(20);
    writingSystems_->appendRow(new QStandardItem(QStringLiteral("Any writing system")));

    textField = new QLineEdit(this);
    textField->setObjectName(QStringLiteral("textField"));
    textField->setFont(ownLettering());
    textField->setClearButtonEnabled(true);
    sampleTextButton = new QPushButton(QStringLiteral("Use the Main Window's &Sample Text"), this);
    sampleTextButton->setObjectName(QStringLiteral("sampleTextButton"));
    sampleTextButton->setAutoDefault(false);
    sampleTextButton->setAccessibleName(QStringLiteral("Use the main window's sample text"));
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(textField, 1);
    textRow->addWidget(sampleTextButton);

    featureList = new CountedList(this);
    featureList->setObjectName(QStringLiteral("featureList"));
    featureList->setEditable(true);
    featureList->setInsertPolicy(QComboBox::NoInsert);
    featureList->lineEdit()->setPlaceholderText(QStringLiteral("A feature tag: smcp, onum, ss01…"));

    variationList =
        makeList("variationList", {QStringLiteral("Any face"), QStringLiteral("Variable, any axis")}, this);
    variationList->setItemData(1, kVariable);
    colourBox = new QCheckBox(QStringLiteral("C&olour glyphs"), this);
    colourBox->setObjectName(QStringLiteral("colourBox"));
    colourBox->setAccessibleName(QStringLiteral("Colour glyphs"));
    monospacedBox = new QCheckBox(QStringLiteral("&Monospaced"), this);
    monospacedBox->setObjectName(QStringLiteral("monospacedBox"));
    monospacedBox->setAccessibleName(QStringLiteral("Monospaced"));
    formatList =
        makeList("formatList",
                 {QStringLiteral("Any format"), QStringLiteral("TrueType"), QStringLiteral("OpenType CFF"),
                  QStringLiteral("Collection"), QStringLiteral("Type 1"), QStringLiteral("Bitmap")},
                 this);
    originList =
        makeList("originList",
                 {QStringLiteral("Anyone"), QStringLiteral("The user"), QStringLiteral("The system")}, this);

    const QList<std::pair<QString, QWidget*>> rows = {
        {QStringLiteral("&Name:"), nameField},
        {QStringLiteral("&Writing system:"), writingSystemList},
        {QStringLiteral("&Has every character of:"), textField},
        {QStringLiteral("&Feature:"), featureList},
        {QStringLiteral("&Variable:"), variationList},
        {QString(), colourBox},
        {QString(), monospacedBox},
        {QStringLiteral("Forma&t:"), formatList},
        {QStringLiteral("&Installed by:"), originList},
    };
    const QStringList countNames = {
        QStringLiteral("Faces the name leaves"),
        QStringLiteral("Faces the writing system leaves"),
        QStringLiteral("Faces the characters leave"),
        QStringLiteral("Faces the feature leaves"),
        QStringLiteral("Faces the variation filter leaves"),
        QStringLiteral("Faces the colour filter leaves"),
        QStringLiteral("Faces the spacing filter leaves"),
        QStringLiteral("Faces the format leaves"),
        QStringLiteral("Faces the origin filter leaves"),
    };
    for (int r = 0; r < rows.size(); ++r) {
        const auto& [caption, control] = rows[r];
        if (!caption.isEmpty()) grid->addWidget(labelFor(caption, control, this), r, 0);
        if (control == textField)
            grid->addLayout(textRow, r, 1);
        else
            grid->addWidget(control, r, 1);
        auto* count = new QLabel(this);
        count->setObjectName(QStringLiteral("count%1").arg(r));
        count->setAccessibleName(countNames[r]);
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        count->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000,000 faces")));
        count->setToolTip(countNames[r] + QStringLiteral(", with every filter above it"));
        grid->addWidget(count, r, 2);
        counts << count;
    }
    grid->setColumnStretch(1, 1);

    clearButton = new QPushButton(QStringLiteral("Clear &All Filters"), this);
    clearButton->setObjectName(QStringLiteral("clearButton"));
    clearButton->setAccessibleName(QStringLiteral("Clear all filters"));
    clearButton->setAutoDefault(false);
    auto* resultsRow = new QHBoxLayout;
    resultsLabel = new QLabel(this);
    resultsLabel->setObjectName(QStringLiteral("resultsLabel"));
    resultsRow->addWidget(resultsLabel, 1);
    resultsRow->addWidget(clearButton);
    layout->addLayout(resultsRow);

    resultsList = new FindResultsView(this);
    resultsList->setObjectName(QStringLiteral("resultsList"));
    resultsList->setModel(model_);
    resultsList->setItemDelegate(delegate_);
    resultsList->setAccessibleName(QStringLiteral("Faces found"));
    resultsLabel->setText(QStringLiteral("&Results:"));
    resultsLabel->setBuddy(resultsList);
    layout->addWidget(resultsList, 1);

    statusLine = new QLabel(this);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    statusLine->setAccessibleName(QStringLiteral("Status"));
    layout->addWidget(statusLine);

    const QList<QWidget*> order = {nameField,   writingSystemList, textField,   sampleTextButton,
                                   featureList, variationList,     colourBox,   monospacedBox,
                                   formatList,  originList,        clearButton, resultsList};
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

    writingSystemList->beforePopup = [this] { countWritingSystems(true); };
    featureList->beforePopup = [this] { countTags(true); };
    variationList->beforePopup = [this] { countTags(true); };
    const auto changed = [this] {
        if (!filling_) applyQuery();
    };
    connect(nameField, &QLineEdit::textChanged, this, changed);
    connect(textField, &QLineEdit::textChanged, this, changed);
    connect(nameField, &QLineEdit::textChanged, this, [this] { fitLettering(nameField); });
    connect(textField, &QLineEdit::textChanged, this, [this] { fitLettering(textField); });
    connect(featureList, &QComboBox::currentTextChanged, this, changed);
    for (QComboBox* list : {writingSystemList, variationList, formatList, originList})
        connect(list, &QComboBox::currentIndexChanged, this, changed);
    for (QCheckBox* box : {colourBox, monospacedBox}) connect(box, &QCheckBox::toggled, this, changed);
    connect(sampleTextButton, &QPushButton::clicked, this, [this] {
        if (owner_.sampleText) textField->setText(owner_.sampleText());
    });
    connect(clearButton, &QPushButton::clicked, this, [this] {
        setQuery(FindQuery{});
        applyQuery();
        nameField->setFocus();
    });
    connect(nameField, &QLineEdit::returnPressed, this, [this] {
        const QModelIndex current = resultsList->currentIndex();
        choose(current.isValid() ? current : model_->index(0));
    });
    connect(resultsList, &FindResultsView::chosen, this, &FindFaces::choose);
    connect(delegate_, &FindResultsDelegate::pictureReady, resultsList->viewport(),
            qOverload<>(&QWidget::update));
}

void FindFaces::setQuery(const FindQuery& query)
{
    filling_ = true;
    nameField->setText(query.name);
    // A language or script not listed yet (the faces are still being read) waits in a row of its own.
    const QString wanted = !query.language.isEmpty() ? kLanguage + query.language
                           : !query.script.isEmpty() ? kScript + query.script
                                                     : QString();
    int row = 0;
    for (int r = 1; r < writingSystems_->rowCount() && !wanted.isEmpty(); ++r)
        if (writingSystems_->item(r)->data(kKeyRole).toString() == wanted) row = r;
    if (row == 0 && !wanted.isEmpty()) {
        auto* item = new QStandardItem(wanted.mid(wanted.indexOf(u':') + 1));
        item->setData(wanted, kKeyRole);
        item->setData(item->text(), kNameRole);
        writingSystems_->appendRow(item);
        row = writingSystems_->rowCount() - 1;
        if (writingSystems_->rowCount() == 2) pendingRows_ = 1; // until the real rows come
    }
    writingSystemList->setCurrentIndex(row);
    textField->setText(query.text);
    featureList->setEditText(QString::fromLatin1(query.feature).trimmed());
    const QString variation = query.variable         ? kVariable
                              : query.axis.isEmpty() ? QString()
                                                     : kAxis + QString::fromLatin1(query.axis);
    int at = variation.isEmpty() ? 0 : variationList->findData(variation);
    if (at < 0) {
        variationList->addItem(QStringLiteral("Axis %1").arg(QString::fromLatin1(query.axis).trimmed()),
                               variation);
        at = variationList->count() - 1;
    }
    variationList->setCurrentIndex(at);
    colourBox->setChecked(query.colour);
    monospacedBox->setChecked(query.monospaced);
    formatList->setCurrentIndex(static_cast<int>(query.format));
    originList->setCurrentIndex(static_cast<int>(query.origin));
    filling_ = false;
}

FindQuery FindFaces::query() const
{
    FindQuery q;
    q.name = nameField->text();
    const QString system = writingSystemList->currentData(kKeyRole).toString();
    if (system.startsWith(kLanguage)) q.language = system.mid(kLanguage.size());
    if (system.startsWith(kScript)) q.script = system.mid(kScript.size());
    q.text = textField->text();
    q.feature = tagFrom(featureList->currentText().section(QLatin1Char(' '), 0, 0)).value_or(QByteArray());
    const QString variation = variationList->currentData().toString();
    q.variable = variation == kVariable;
    if (variation.startsWith(kAxis)) q.axis = tagFrom(variation.mid(kAxis.size())).value_or(QByteArray());
    q.colour = colourBox->isChecked();
    q.monospaced = monospacedBox->isChecked();
    q.format = static_cast<FormatFilter>(std::max(0, formatList->currentIndex()));
    q.origin = static_cast<OriginFilter>(std::max(0, originList->currentIndex()));
    return q;
}

void FindFaces::applyQuery()
{
    FaceFinder* finder = index_.finder();
    if (!finder) return;
    const FindQuery q = query();
    const QModelIndex current = resultsList->currentIndex();
    const int currentFace = current.isValid() ? current.data(FindResultsModel::FaceRole).toInt() : -1;
    finder->apply(q);
    for (int s = 0; s < kSteps; ++s) counts[s]->setText(counted(finder->leftAfter(static_cast<Step>(s))));
    // The lists count the rest of their entries when they open: only the chosen entries' counts change here.
    countWritingSystems(false);
    countTags(false);
    model_->show(finder);
    const int found = static_cast<int>(finder->results().size());
    resultsLabel->setText(found == 1 ? QStringLiteral("&Results: 1 face")
                                     : QStringLiteral("&Results: %1 faces").arg(counted(found)));
    // The face chosen before stays chosen while the filters keep it.
    const auto& rows = finder->results();
    const auto at = std::lower_bound(rows.begin(), rows.end(), currentFace);
    if (currentFace >= 0 && at != rows.end() && *at == currentFace) {
        resultsList->setCurrentIndex(model_->index(static_cast<int>(at - rows.begin())));
        resultsList->scrollTo(resultsList->currentIndex());
    } else {
        resultsList->scrollToTop();
    }
}

void FindFaces::facesReady()
{
    buildWritingSystems();
    applyQuery();
    showStatus();
}

void FindFaces::layoutReady()
{
    buildTags();
    applyQuery();
    showStatus();
}

void FindFaces::buildWritingSystems()
{
    const FaceFinder* finder = index_.finder();
    if (!finder || writingSystems_->rowCount() > 1 + pendingRows_) return;
    const QString current = writingSystemList->currentData(kKeyRole).toString();
    const std::vector<LanguageCount> languages = finder->languageCounts();
    filling_ = true;
    writingSystems_->setRowCount(1);
    QFont bold = writingSystemList->font();
    bold.setBold(true);
    for (const LanguageCount& script : finder->scriptCounts()) {
        auto* item = new QStandardItem;
        item->setData(kScript + script.script, kKeyRole);
        item->setData(QStringLiteral("%1, every language").arg(script.script), kNameRole);
        item->setFont(bold);
        writingSystems_->appendRow(item);
        for (const LanguageCount& language : languages)
            if (language.script == script.script) {
                auto* row = new QStandardItem;
                row->setData(kLanguage + language.tag, kKeyRole);
                // Not indented: typing a language's first letters finds it in the list.
                row->setData(QStringLiteral("%1 \u2014 %2").arg(language.name, language.tag), kNameRole);
                writingSystems_->appendRow(row);
            }
    }
    // The one asked for before the list was there is chosen again among the real rows; one no face has
    // keeps a row of its own.
    int row = current.isEmpty() ? 0 : -1;
    for (int r = 1; r < writingSystems_->rowCount() && row < 0; ++r)
        if (writingSystems_->item(r)->data(kKeyRole).toString() == current) row = r;
    if (row < 0) {
        auto* item = new QStandardItem;
        item->setData(current, kKeyRole);
        item->setData(current.mid(current.indexOf(u':') + 1), kNameRole);
        writingSystems_->appendRow(item);
        row = writingSystems_->rowCount() - 1;
    }
    pendingRows_ = 0;
    writingSystemList->setCurrentIndex(row);
    filling_ = false;
    countWritingSystems(true);
}

void FindFaces::countWritingSystems(bool all)
{
    const FaceFinder* finder = index_.finder();
    if (!finder || !finder->size()) return;
    filling_ = true;
    QHash<QString, int> faces;
    if (all) {
        for (const LanguageCount& script : finder->scriptCounts())
            faces.insert(kScript + script.script, script.faces);
        for (const LanguageCount& language : finder->languageCounts())
            faces.insert(kLanguage + language.tag, language.faces);
    }
    // The chosen one counts what the name search and it leave: the count beside it.
    const int current = writingSystemList->currentIndex();
    for (int r = all ? 1 : std::max(1, current); r < writingSystems_->rowCount() && (all || r == current);
         ++r) {
        QStandardItem* item = writingSystems_->item(r);
        const int count = r == current ? finder->leftAfter(Step::WritingSystem)
                                       : faces.value(item->data(kKeyRole).toString());
        const QString text = QStringLiteral("%1 (%2)").arg(item->data(kNameRole).toString(), counted(count));
        if (item->text() != text) item->setText(text);
    }
    filling_ = false;
}

void FindFaces::buildTags()
{
    const FaceFinder* finder = index_.finder();
    if (!finder || !finder->layoutKnown() || tagsBuilt_) return;
    tagsBuilt_ = true;
    filling_ = true;
    const QString typed = featureList->currentText();
    const QString variation = variationList->currentData().toString();
    featureList->clear();
    for (const TagCount& tag : finder->featureCounts())
        featureList->addItem(QString::fromLatin1(tag.tag).trimmed());
    featureList->setEditText(typed);
    while (variationList->count() > 2) variationList->removeItem(2);
    for (const TagCount& axis : finder->axisCounts())
        variationList->addItem(QStringLiteral("Axis %1").arg(QString::fromLatin1(axis.tag).trimmed()),
                               kAxis + QString::fromLatin1(axis.tag));
    int at = variation.isEmpty() ? 0 : variationList->findData(variation);
    if (at < 0) {
        variationList->addItem(QStringLiteral("Axis %1").arg(variation.mid(kAxis.size()).trimmed()),
                               variation);
        at = variationList->count() - 1;
    }
    variationList->setCurrentIndex(at);
    filling_ = false;
    countTags(true);
}

void FindFaces::countTags(bool all)
{
    const FaceFinder* finder = index_.finder();
    if (!finder || !tagsBuilt_) return;
    filling_ = true;
    if (all) {
        // The typed tag stays as typed, with the cursor where it was.
        const QString typed = featureList->currentText();
        const int cursor = featureList->lineEdit()->cursorPosition();
        const std::vector<TagCount> features = finder->featureCounts();
        for (int i = 0; i < featureList->count() && i < static_cast<int>(features.size()); ++i)
            featureList->setItemText(
                i, QStringLiteral("%1 (%2)").arg(
                       QString::fromLatin1(features[static_cast<std::size_t>(i)].tag).trimmed(),
                       counted(features[static_cast<std::size_t>(i)].faces)));
        if (featureList->currentText() != typed) {
            featureList->setEditText(typed);
            featureList->lineEdit()->setCursorPosition(cursor);
        }
    }
    QHash<QString, int> faces;
    if (all)
        for (const TagCount& axis : finder->axisCounts())
            faces.insert(kAxis + QString::fromLatin1(axis.tag), axis.faces);
    const int current = variationList->currentIndex();
    for (int r = all ? 2 : std::max(2, current); r < variationList->count() && (all || r == current); ++r) {
        const QString key = variationList->itemData(r).toString();
        const int count = r == current ? finder->leftAfter(Step::Variation) : faces.value(key);
        variationList->setItemText(
            r, QStringLiteral("Axis %1 (%2)").arg(key.mid(kAxis.size()).trimmed(), counted(count)));
    }
    filling_ = false;
}

void FindFaces::showStatus()
{
    if (!index_.finder()) {
        statusLine->setText(QStringLiteral("Reading the installed faces\u2026"));
    } else if (!index_.finder()->layoutKnown()) {
        statusLine->setText(
            index_.layoutTotal() > 0
                ? QStringLiteral(
                      "Reading the layout features and variation axes of the faces: %1 of %2 files\u2026")
                      .arg(counted(index_.layoutDone()), counted(index_.layoutTotal()))
                : QStringLiteral("Reading the layout features and variation axes of the faces\u2026"));
    } else {
        statusLine->setText(QStringLiteral("%1 faces listed.").arg(counted(index_.finder()->size())));
    }
}

void FindFaces::choose(const QModelIndex& index)
{
    if (!index.isValid() || !owner_.selectFace) return;
    saveQuery();
    owner_.selectFace(index.data().toString());
}

QFont FindFaces::ownLettering() const
{
    // Never another face for a character the window's font lacks: Qt would look for one through every
    // installed family, which takes it tens of seconds with tens of thousands of families, and lays out a
    // field's text before the field can say which face to use.
    QFont own = font();
    own.setStyleStrategy(QFont::NoFontMerging);
    return own;
}

void FindFaces::fitLettering(QLineEdit* field)
{
    // A text the window's font cannot show is shown in a face that has all of it, which the survey knows;
    // with none, the field shows the window's font, boxes and all.
    const QFont own = ownLettering();
    const std::vector<char32_t> characters = requiredCharacters(field->text());
    const QRawFont raw = QRawFont::fromFont(own);
    if (std::all_of(characters.begin(), characters.end(),
                    [&](char32_t c) { return raw.supportsCharacter(c); })) {
        if (field->font() != own) field->setFont(own);
        return;
    }
    const QString key = QString::fromUcs4(characters.data(), static_cast<qsizetype>(characters.size()));
    auto known = letterings_.find(key);
    if (known == letterings_.end()) {
        QFont lettering = own;
        const FaceFinder* finder = index_.finder();
        for (int f = 0; finder && f < finder->size(); ++f)
            if (!finder->path(f).isEmpty() && finder->hasCharacters(f, characters)) {
                lettering = platform::screenFaceFont(platform_.fontSystem, finder->name(f));
                lettering.setPointSizeF(own.pointSizeF());
                break;
            }
        known = letterings_.insert(key, lettering);
    }
    if (field->font() != *known) field->setFont(*known);
}

void FindFaces::findCharacters(const QString& text)
{
    FindQuery q;
    q.text = text;
    setQuery(q);
    applyQuery();
}

void FindFaces::saveQuery()
{
    const FindQuery now = query();
    if (now == saved_) return;
    now.save(platform_.settings, saved_);
    saved_ = now;
}

void FindFaces::keyPressEvent(QKeyEvent* event)
{
    // The fields and lists leave Escape alone, so it reaches the window from whichever has the focus.
    if (WindowsKeys::closeOnEscape(*this, WindowsKeys::keyCode(*event),
                                   WindowsKeys::shiftState(event->modifiers()), owner_.endProgram))
        return;
    if (event->key() == Qt::Key_Down && focusWidget() == nameField && model_->rowCount() > 0) {
        resultsList->setFocus();
        if (!resultsList->currentIndex().isValid()) resultsList->setCurrentIndex(model_->index(0));
        return;
    }
    QWidget::keyPressEvent(event);
}

void FindFaces::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The name kept from last time is there to be typed over.
    nameField->setFocus();
    nameField->selectAll();
}

void FindFaces::closeEvent(QCloseEvent* event)
{
    saveQuery();
    QWidget::closeEvent(event);
}

} // namespace quillon::find
