#include "tester/TypeTester.h"

#include "controls/WindowsKeys.h"
#include "opentype/TagNames.h"
#include "platform/FontSystem.h"
#include "platform/Platform.h"
#include "tester/AxisPanel.h"
#include "tester/FeatureTable.h"
#include "tester/SampleView.h"
#include "typeset/Characters.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace quillon {

namespace {

QLabel* labelFor(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

QString tagItem(const QByteArray& tag, const QString& name)
{
    const QString trimmed = QString::fromLatin1(tag).trimmed();
    return name.isEmpty() ? trimmed : QStringLiteral("%1 (%2)").arg(name, trimmed);
}

} // namespace

TypeTester::TypeTester(platform::Platform& platform, std::function<void()> endProgram, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform), endProgram_(std::move(endProgram))
{
    setObjectName(QStringLiteral("typeTester"));
    setWindowTitle(QStringLiteral("Type Tester"));
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(1040, 680);
    buildControls();
}

TypeTester::~TypeTester() = default;

void TypeTester::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    faceName = new QLabel(this);
    faceName->setObjectName(QStringLiteral("faceName"));
    faceName->setTextFormat(Qt::PlainText);
    QFont heading = faceName->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    faceName->setFont(heading);
    layout->addWidget(faceName);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(splitter, 1);
    auto* controls = new QWidget;
    auto* column = new QVBoxLayout(controls);
    column->setContentsMargins(0, 0, 6, 0);
    auto* controlsArea = new QScrollArea;
    controlsArea->setWidget(controls);
    controlsArea->setWidgetResizable(true);
    controlsArea->setFrameShape(QFrame::NoFrame);
    controlsArea->setMinimumWidth(380);
    controlsArea->setFocusPolicy(Qt::NoFocus); // Tab goes through the controls inside it
    splitter->addWidget(controlsArea);

    auto* form = new QFormLayout;
    column->addLayout(form);
    textBox = new QPlainTextEdit;
    textBox->setObjectName(QStringLiteral("textBox"));
    textBox->setAccessibleName(QStringLiteral("Text"));
    textBox->setTabChangesFocus(true); // Tab goes on to the next control, as in every other box here
    textBox->setFixedHeight(textBox->fontMetrics().lineSpacing() * 4 + 12);
    form->addRow(labelFor(QStringLiteral("&Text:"), textBox), textBox);

    sizeBox = new QDoubleSpinBox;
    sizeBox->setObjectName(QStringLiteral("sizeBox"));
    sizeBox->setAccessibleName(QStringLiteral("Size in points"));
    sizeBox->setRange(6, 300);
    sizeBox->setDecimals(1);
    sizeBox->setSuffix(QStringLiteral(" pt"));
    sizeBox->setValue(sample_.points);
    sizeBox->setKeyboardTracking(false);
    waterfallBox = new QCheckBox(QStringLiteral("&Waterfall"));
    waterfallBox->setObjectName(QStringLiteral("waterfallBox"));
    waterfallBox->setToolTip(
        QStringLiteral("The first line of the text at 8, 10, 12, 14, 18, 24, 36, 48 and 72 pt"));
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(sizeBox);
    sizeRow->addWidget(waterfallBox);
    sizeRow->addStretch();
    form->addRow(labelFor(QStringLiteral("Si&ze:"), sizeBox), sizeRow);

    scriptList = new QComboBox;
    scriptList->setObjectName(QStringLiteral("scriptList"));
    scriptList->setAccessibleName(QStringLiteral("Script"));
    form->addRow(labelFor(QStringLiteral("Scri&pt:"), scriptList), scriptList);
    languageList = new QComboBox;
    languageList->setObjectName(QStringLiteral("languageList"));
    languageList->setAccessibleName(QStringLiteral("Language system"));
    form->addRow(labelFor(QStringLiteral("&Language:"), languageList), languageList);

    auto* featuresLayout = new QVBoxLayout;
    features_ = new tester::FeatureTable(this);
    featureView = new QTreeView;
    featureView->setObjectName(QStringLiteral("featureView"));
    featureView->setAccessibleName(QStringLiteral("Features"));
    featureView->setAccessibleDescription(
        QStringLiteral("Space switches the selected feature between default, on and off"));
    featureView->setRootIsDecorated(false);
    featureView->setUniformRowHeights(true); // a face with thousands of features scrolls as one with ten
    featureView->setAllColumnsShowFocus(true);
    featureView->setModel(features_);
    featureView->header()->setStretchLastSection(false);
    featureView->header()->setSectionResizeMode(tester::FeatureTable::NameColumn, QHeaderView::Stretch);
    // Widths from the words the columns can hold, not from their rows: thousands of rows are never measured.
    const QFontMetrics metrics = featureView->fontMetrics();
    featureView->header()->resizeSection(tester::FeatureTable::TagColumn,
                                         metrics.horizontalAdvance(QStringLiteral("mmmmm")));
    featureView->header()->resizeSection(tester::FeatureTable::SettingColumn,
                                         metrics.horizontalAdvance(QStringLiteral("alternate 99 ")));
    featureView->header()->resizeSection(tester::FeatureTable::TablesColumn,
                                         metrics.horizontalAdvance(QStringLiteral("GSUB GPOS mm")));
    featureView->setMinimumHeight(180);
    featureView->installEventFilter(this);
    // A label, not a group's title, takes the list's shortcut: a group gives the focus to its checked
    // radio button instead.
    featuresLayout->addWidget(labelFor(QStringLiteral("F&eatures (Space: default, on, off):"), featureView));
    featuresLayout->addWidget(featureView);
    auto* settingRow = new QHBoxLayout;
    defaultButton = new QRadioButton(QStringLiteral("&Default"));
    onButton = new QRadioButton(QStringLiteral("O&n"));
    offButton = new QRadioButton(QStringLiteral("O&ff"));
    auto* group = new QButtonGroup(this);
    for (QRadioButton* b : {defaultButton, onButton, offButton}) {
        b->setAccessibleName(QStringLiteral("Selected feature: ") + b->text().remove(u'&'));
        group->addButton(b);
        settingRow->addWidget(b);
    }
    defaultButton->setObjectName(QStringLiteral("defaultButton"));
    onButton->setObjectName(QStringLiteral("onButton"));
    offButton->setObjectName(QStringLiteral("offButton"));
    alternateBox = new QSpinBox;
    alternateBox->setObjectName(QStringLiteral("alternateBox"));
    alternateBox->setAccessibleName(QStringLiteral("Alternate number of the selected feature"));
    alternateBox->setRange(1, 99);
    settingRow->addWidget(labelFor(QStringLiteral("&Alternate:"), alternateBox));
    settingRow->addWidget(alternateBox);
    settingRow->addStretch();
    featuresLayout->addLayout(settingRow);
    column->addLayout(featuresLayout, 1);

    axesGroup = new QGroupBox(QStringLiteral("Axes"));
    auto* axesLayout = new QVBoxLayout(axesGroup);
    axisPanel = new tester::AxisPanel;
    axesLayout->addWidget(axisPanel);
    column->addWidget(axesGroup);

    missingLabel = new QLabel;
    missingLabel->setObjectName(QStringLiteral("missingLabel"));
    missingLabel->setAccessibleName(QStringLiteral("Characters the face lacks"));
    missingLabel->setWordWrap(true);
    missingLabel->setTextFormat(Qt::PlainText);
    missingLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    column->addWidget(missingLabel);

    auto* buttons = new QHBoxLayout;
    copyCssButton = new QPushButton(QStringLiteral("Copy &CSS"));
    copyCssButton->setObjectName(QStringLiteral("copyCssButton"));
    copyImageButton = new QPushButton(QStringLiteral("Copy I&mage"));
    copyImageButton->setObjectName(QStringLiteral("copyImageButton"));
    savePdfButton = new QPushButton(QStringLiteral("&Save as PDF…"));
    savePdfButton->setObjectName(QStringLiteral("savePdfButton"));
    for (QPushButton* b : {copyCssButton, copyImageButton, savePdfButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    column->addLayout(buttons);

    view_ = new tester::SampleView;
    sampleArea = new QScrollArea;
    sampleArea->setObjectName(QStringLiteral("sampleArea"));
    sampleArea->setAccessibleName(QStringLiteral("Sample"));
    sampleArea->setWidget(view_);
    sampleArea->setWidgetResizable(false);
    sampleArea->setBackgroundRole(QPalette::Base);
    sampleArea->viewport()->installEventFilter(this);
    splitter->addWidget(sampleArea);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({460, 560});

    connect(textBox, &QPlainTextEdit::textChanged, this, [this] {
        sample_.text = textBox->toPlainText();
        relayout();
    });
    connect(sizeBox, &QDoubleSpinBox::valueChanged, this, [this](double points) {
        sample_.points = points;
        relayout();
    });
    connect(waterfallBox, &QCheckBox::toggled, this, [this](bool on) {
        sample_.waterfall = on;
        relayout();
    });
    connect(scriptList, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        settings_.script = scriptList->currentData().toByteArray();
        fillLanguages();
        settingsChanged();
    });
    connect(languageList, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_) return;
        settings_.language = languageList->currentData().toByteArray();
        settingsChanged();
    });
    connect(featureView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TypeTester::showFeatureSetting);
    connect(featureView, &QTreeView::doubleClicked, this, &TypeTester::cycleSelectedFeature);
    connect(defaultButton, &QRadioButton::clicked, this, [this] { setSelectedFeature(std::nullopt); });
    connect(onButton, &QRadioButton::clicked, this, [this] { setSelectedFeature(1u); });
    connect(offButton, &QRadioButton::clicked, this, [this] { setSelectedFeature(0u); });
    connect(alternateBox, &QSpinBox::valueChanged, this, [this](int n) {
        if (!filling_) setSelectedFeature(static_cast<unsigned>(n));
    });
    connect(axisPanel, &tester::AxisPanel::coordinatesChanged, this, [this] {
        if (!typesetter_) return;
        const auto& axes = typesetter_->tables().axes;
        for (std::size_t a = 0; a < axes.size(); ++a)
            settings_.setAxis(axes[a].tag, axisPanel->coordinates()[a] == axes[a].defaultValue
                                               ? std::nullopt
                                               : std::optional<double>(axisPanel->coordinates()[a]));
        settingsChanged();
    });
    connect(copyCssButton, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(css()); });
    connect(copyImageButton, &QPushButton::clicked, this, &TypeTester::copyImage);
    connect(savePdfButton, &QPushButton::clicked, this, &TypeTester::savePdf);
    showFeatureSetting();
}

void TypeTester::setFace(const QString& face)
{
    if (face == sample_.face && fileAsked_.isEmpty() && (typesetter_ || pending_)) return;
    sample_.face = face;
    fileAsked_.clear();
    faceName->setText(face);
    readLater();
}

void TypeTester::setFile(const QString& path, int index)
{
    // The main window asks again at every selection while the file stands for it: read once.
    if (path == fileAsked_ && index == sample_.index && (typesetter_ || pending_)) return;
    fileAsked_ = path;
    sample_.index = index;
    faceName->setText(QFileInfo(path).fileName());
    readLater();
}

void TypeTester::setText(const QString& text)
{
    if (text != textBox->toPlainText()) textBox->setPlainText(text);
}

void TypeTester::readLater()
{
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_) read();
    });
}

typeset::Typesetter* TypeTester::typesetter()
{
    if (pending_) read();
    return typesetter_.get();
}

void TypeTester::read()
{
    pending_ = false;
    view_->setTypesetter(nullptr);
    typesetter_.reset();
    QString problem;
    if (fileAsked_.isEmpty()) {
        const auto resolved = platform_.fontSystem.resolveFace(sample_.face);
        // Only the face itself is tested: a listed name no face has is drawn from the file its record names
        // (the font system stands that file for it, as for the main window), any other is said; never drawn
        // in a substitute.
        if (!resolved || resolved->substitute) {
            problem = QStringLiteral("No installed face is named %1.").arg(sample_.face);
        } else {
            sample_.file = resolved->file;
            sample_.index = resolved->index;
        }
    } else {
        sample_.file = fileAsked_;
        sample_.face = QFileInfo(fileAsked_).fileName();
    }
    if (problem.isEmpty()) {
        typesetter_ = typeset::Typesetter::open(platform_.faceRasterizer, sample_.file, sample_.index,
                                                platform_.fontSystem.GetSystemDefaultLCID());
        if (!typesetter_)
            problem = QStringLiteral("The face's file %1 cannot be drawn from.").arg(sample_.file);
    }
    if (!problem.isEmpty()) {
        features_->setFeatures({}, settings_);
        fillScripts();
        axesGroup->hide();
        missingLabel->clear();
        view_->setMessage(problem);
        return;
    }
    faceName->setToolTip(sample_.file);
    const opentype::LayoutTables& tables = typesetter_->tables();
    // Features and the script carry over from face to face where the new face has them; the axes start
    // where the face's own instance lies.
    settings_.axes = typesetter_->settings().axes;
    auto hasScript = std::any_of(tables.scripts.begin(), tables.scripts.end(),
                                 [&](const opentype::Script& s) { return s.tag == settings_.script; });
    if (!hasScript) settings_.script.clear(), settings_.language.clear();
    typesetter_->setSettings(settings_);
    features_->setFeatures(tables.features, settings_);
    // A feature is selected from the start, so the setting buttons work before the list is visited.
    if (features_->rowCount() > 0) featureView->setCurrentIndex(features_->index(0, 0));
    fillScripts();
    axesGroup->setVisible(!tables.axes.empty());
    axisPanel->setAxes(tables.axes, tables.instances, typesetter_->coordinates());
    view_->setTypesetter(typesetter_.get());
    showFeatureSetting();
    relayout();
}

void TypeTester::fillScripts()
{
    filling_ = true;
    scriptList->clear();
    scriptList->addItem(QStringLiteral("Automatic, from the text"), QByteArray());
    if (typesetter_)
        for (const opentype::Script& s : typesetter_->tables().scripts)
            scriptList->addItem(tagItem(s.tag, s.name), s.tag);
    scriptList->setCurrentIndex(std::max(0, scriptList->findData(settings_.script)));
    filling_ = false;
    fillLanguages();
}

void TypeTester::fillLanguages()
{
    filling_ = true;
    languageList->clear();
    languageList->addItem(QStringLiteral("Default"), QByteArray());
    // A script's own language systems, or those of every script while the script follows the text.
    std::map<QByteArray, QString> languages;
    if (typesetter_)
        for (const opentype::Script& s : typesetter_->tables().scripts)
            if (settings_.script.isEmpty() || s.tag == settings_.script)
                for (const opentype::Language& l : s.languages) languages.emplace(l.tag, l.name);
    for (const auto& [tag, name] : languages) languageList->addItem(tagItem(tag, name), tag);
    const int current = languageList->findData(settings_.language);
    if (current < 0) settings_.language.clear();
    languageList->setCurrentIndex(std::max(0, current));
    filling_ = false;
}

void TypeTester::showFeatureSetting()
{
    const QModelIndex current = featureView->currentIndex();
    const bool selected = current.isValid() && typesetter_;
    filling_ = true;
    for (QRadioButton* b : {defaultButton, onButton, offButton}) b->setEnabled(selected);
    alternateBox->setEnabled(false);
    if (selected) {
        const opentype::Feature& f = features_->feature(current.row());
        const std::optional<unsigned> value = settings_.feature(f.tag);
        (!value ? defaultButton : *value == 0 ? offButton : onButton)->setChecked(true);
        alternateBox->setEnabled(opentype::takesAlternateNumber(f.tag));
        alternateBox->setValue(value && *value > 0 ? static_cast<int>(std::min(*value, 99u)) : 1);
    }
    filling_ = false;
}

void TypeTester::setSelectedFeature(std::optional<unsigned> value)
{
    const QModelIndex current = featureView->currentIndex();
    if (!current.isValid() || !typesetter_) return;
    const QByteArray& tag = features_->feature(current.row()).tag;
    // "On" for a feature that picks alternates keeps the alternate the box shows.
    if (value == 1u && opentype::takesAlternateNumber(tag))
        value = static_cast<unsigned>(alternateBox->value());
    settings_.setFeature(tag, value);
    showFeatureSetting();
    settingsChanged();
}

void TypeTester::cycleSelectedFeature()
{
    const QModelIndex current = featureView->currentIndex();
    if (!current.isValid() || !typesetter_) return;
    const std::optional<unsigned> value = settings_.feature(features_->feature(current.row()).tag);
    setSelectedFeature(!value        ? std::optional<unsigned>(1u)
                       : *value != 0 ? std::optional<unsigned>(0u)
                                     : std::nullopt);
}

void TypeTester::settingsChanged()
{
    features_->setSettings(settings_);
    if (!typesetter_) return;
    typesetter_->setSettings(settings_);
    relayout();
}

void TypeTester::relayout()
{
    if (!typesetter_ || pending_) return;
    const std::vector<char32_t> missing = typesetter_->missingCharacters(sample_.text);
    missingLabel->setText(missing.empty()
                              ? QString()
                              : QStringLiteral("Not in this face: ") + typeset::describeCharacters(missing));
    view_->lay(sample_, sampleArea->viewport()->width());
}

QString TypeTester::css() const
{
    QStringList lines{QStringLiteral("font-family: \"%1\";")
                          .arg(QString(sample_.face).replace(u'"', QStringLiteral("\\\""))),
                      QStringLiteral("font-size: %1pt;").arg(sample_.points)};
    const QString settings = settings_.css();
    if (!settings.isEmpty()) lines << settings;
    return lines.join(u'\n') + u'\n';
}

QString TypeTester::saveAsPdf(const QString& path)
{
    if (!typesetter()) return QStringLiteral("no face is shown");
    return tester::writeSamplePdf(*typesetter_, sample_, path, font());
}

void TypeTester::copyImage()
{
    if (!typesetter()) return;
    const QImage image =
        tester::sampleImage(*typesetter_, sample_, logicalDpiY(), sampleArea->viewport()->width(), font());
    if (image.isNull()) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("The sample is too large to copy as an image."));
        return;
    }
    QApplication::clipboard()->setImage(image);
}

void TypeTester::savePdf()
{
    if (!typesetter()) return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save as PDF"),
                                                      sample_.face + QStringLiteral(".pdf"),
                                                      QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty()) return;
    const QString problem = saveAsPdf(path);
    if (!problem.isEmpty())
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("The PDF was not saved: %1. Any earlier file is as it was.").arg(problem));
}

bool TypeTester::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == featureView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        cycleSelectedFeature();
        return true;
    }
    if (sampleArea && watched == sampleArea->viewport() && event->type() == QEvent::Resize &&
        !sample_.waterfall)
        relayout();
    return QWidget::eventFilter(watched, event);
}

void TypeTester::Form_KeyDown(int keyCode, int shift)
{
    WindowsKeys::closeOnEscape(*this, keyCode, shift, endProgram_);
}

void TypeTester::keyPressEvent(QKeyEvent* event)
{
    // The boxes and lists leave Escape alone, so it reaches the window from whichever has the focus.
    const int code = WindowsKeys::keyCode(*event);
    if (code == WindowsKeys::kEscape) {
        Form_KeyDown(code, WindowsKeys::shiftState(event->modifiers()));
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quillon
