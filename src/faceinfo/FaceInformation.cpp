#include "faceinfo/FaceInformation.h"

#include "controls/Accessibility.h"
#include "controls/AccessibleControls.h"
#include "controls/WindowsKeys.h"
#include "faceinfo/CharactersView.h"
#include "faceinfo/FaceSample.h"
#include "platform/FontInstall.h"
#include "platform/Platform.h"
#include "platform/Shell.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace quillon {

namespace {

QTextBrowser* makeBrowser(const char* name)
{
    auto* browser = new QTextBrowser;
    browser->setObjectName(QLatin1String(name));
    browser->setOpenLinks(false); // links go to the desktop through the shell, not into the browser
    return browser;
}

QString esc(const QString& text) { return text.toHtmlEscaped(); }

QString row(std::initializer_list<QString> cells)
{
    QString out = QStringLiteral("<tr>");
    for (const QString& c : cells)
        out += QStringLiteral("<td style='padding-right:12px'>") + c + QStringLiteral("</td>");
    return out + QStringLiteral("</tr>");
}

QString number(double v) { return QString::number(v, 'g', 6); }

} // namespace

FaceInformation::FaceInformation(platform::Platform& platform, const FontCatalogue& catalogue,
                                 std::function<void()> endProgram, QWidget* parent)
    : QWidget(parent, Qt::Window), platform_(platform), endProgram_(std::move(endProgram)),
      reader_(platform.fontFacts, platform.fontSystem, platform.fontFiles, catalogue)
{
    setObjectName(QStringLiteral("faceInformation"));
    setWindowTitle(QStringLiteral("Face Information"));
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(680, 460);

    auto* layout = new QVBoxLayout(this);
    faceName = new QLabel(this);
    faceName->setObjectName(QStringLiteral("faceName"));
    faceName->setTextFormat(Qt::PlainText);
    QFont heading = faceName->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    faceName->setFont(heading);
    heading_ = new QHBoxLayout;
    heading_->addWidget(faceName, 1);
    faceChoice = new QComboBox(this);
    faceChoice->setObjectName(QStringLiteral("faceChoice"));
    faceChoice->setToolTip(QStringLiteral(" The face of the file to show "));
    faceChoice->hide();
    heading_->addWidget(faceChoice);
    connect(faceChoice, &QComboBox::activated, this, [this](int index) { setFile(file_, index); });
    installButton = new QPushButton(QStringLiteral("Install"), this);
    installButton->setObjectName(QStringLiteral("installButton"));
    installButton->setToolTip(QStringLiteral(" Install the font file for your own use "));
    installButton->setAutoDefault(false);
    installButton->hide();
    heading_->addWidget(installButton);
    connect(installButton, &QPushButton::clicked, this, [this] {
        if (actions_.install && !file_.isEmpty()) actions_.install(file_);
    });
    layout->addLayout(heading_);
    faceSample = new faceinfo::FaceSample(platform.faceRasterizer, this);
    layout->addWidget(faceSample);

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    layout->addWidget(tabs);

    auto* filesPage = new QWidget;
    auto* filesLayout = new QVBoxLayout(filesPage);
    filesTable = new QTreeWidget;
    filesTable->setObjectName(QStringLiteral("filesTable"));
    filesTable->setRootIsDecorated(false);
    filesTable->setHeaderLabels({QStringLiteral("Sample"), QStringLiteral("File"), QStringLiteral("Format"),
                                 QStringLiteral("Style"), QStringLiteral("Version"), QStringLiteral("Size"),
                                 QStringLiteral("Folder")});
    filesLayout->addWidget(filesTable);
    auto* filesButtons = new QHBoxLayout;
    originLabel = new QLabel;
    originLabel->setObjectName(QStringLiteral("originLabel"));
    originLabel->setTextFormat(Qt::PlainText);
    originLabel->setWordWrap(true);
    filesButtons->addWidget(originLabel, 1);
    removeButton = new QPushButton(QStringLiteral("Remove\u2026"));
    removeButton->setObjectName(QStringLiteral("removeButton"));
    removeButton->setToolTip(QStringLiteral(" Move the chosen font file to the trash "));
    removeButton->setAutoDefault(false);
    removeButton->hide();
    filesButtons->addWidget(removeButton);
    openFolderButton = new QPushButton(QStringLiteral("Open Folder"));
    openFolderButton->setObjectName(QStringLiteral("openFolderButton"));
    filesButtons->addWidget(openFolderButton);
    filesLayout->addLayout(filesButtons);
    connect(openFolderButton, &QPushButton::clicked, this, &FaceInformation::openFolder);
    connect(removeButton, &QPushButton::clicked, this, [this] {
        const int row = chosenRow();
        if (actions_.remove && row >= 0) actions_.remove(info_.files[static_cast<std::size_t>(row)].path);
    });
    connect(filesTable, &QTreeWidget::currentItemChanged, this, &FaceInformation::showOrigin);
    tabs->addTab(filesPage, QStringLiteral("Files"));

    namesTable = new QTreeWidget;
    namesTable->setObjectName(QStringLiteral("namesTable"));
    namesTable->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Platform"),
                                 QStringLiteral("Language"), QStringLiteral("Text"), QStringLiteral("Used")});
    tabs->addTab(namesTable, QStringLiteral("Names"));

    coverageText = makeBrowser("coverageText");
    tabs->addTab(coverageText, QStringLiteral("Coverage"));
    // Its own tab rather than a window: it shows the face this window describes and follows it, a file the
    // program was started on included, and reads the file only while it is shown.
    charactersView = new faceinfo::CharactersView(platform.glyphFaces);
    tabs->addTab(charactersView, QStringLiteral("Characters"));
    openTypeText = makeBrowser("openTypeText");
    tabs->addTab(openTypeText, QStringLiteral("OpenType"));
    licenceText = makeBrowser("licenceText");
    connect(licenceText, &QTextBrowser::anchorClicked, this, &FaceInformation::openLink);
    tabs->addTab(licenceText, QStringLiteral("Licence"));

    // What a screen reader speaks for the parts; the rich texts read line by line (installControls).
    accessibility::installControls();
    accessibility::name(tabs, QStringLiteral("Sections"));
    accessibility::name(filesTable, QStringLiteral("Files"));
    accessibility::name(faceChoice, QStringLiteral("Face of the file"));
    accessibility::name(installButton, QStringLiteral("Install"));
    accessibility::name(removeButton, QStringLiteral("Remove"));
    accessibility::name(namesTable, QStringLiteral("Names"));
    accessibility::name(coverageText, QStringLiteral("Coverage"));
    accessibility::name(openTypeText, QStringLiteral("OpenType"));
    accessibility::name(licenceText, QStringLiteral("Licence"));
}

QPushButton* FaceInformation::addButton(const QString& text, const QString& objectName,
                                        std::function<void()> open)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    heading_->addWidget(button);
    connect(button, &QPushButton::clicked, this, [open = std::move(open)] { open(); });
    return button;
}

void FaceInformation::setFace(const QString& face)
{
    if (face == face_ && file_.isEmpty() && !pending_ && !info_.face.isNull()) return;
    face_ = face;
    file_.clear();
    fileIndex_ = 0;
    faceName->setText(face);
    readLater();
}

void FaceInformation::setFile(const QString& path, int index)
{
    if (path == file_ && index == fileIndex_ && !pending_) return;
    file_ = path;
    fileIndex_ = index;
    faceName->setText(QFileInfo(path).fileName());
    readLater();
}

void FaceInformation::reread()
{
    choices_.clear(); // a file of several faces may have changed under the same name
    readLater();
}

void FaceInformation::setInstallActions(InstallActions actions)
{
    actions_ = std::move(actions);
    setAcceptDrops(static_cast<bool>(actions_.drop));
    if (!pending_) {
        fillHeader();
        showOrigin();
    }
}

void FaceInformation::readLater()
{
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_) refresh();
    });
}

void FaceInformation::setSampleText(const QString& text)
{
    if (text == sampleText_) return;
    sampleText_ = text;
    if (!pending_) fillCoverage();
}

void FaceInformation::setFindFaces(std::function<void(const QString&)> find)
{
    charactersView->setFindFaces(std::move(find));
}

const faceinfo::FaceInfo& FaceInformation::info()
{
    if (pending_) refresh();
    return info_;
}

void FaceInformation::refresh()
{
    pending_ = false;
    if (file_.isEmpty()) {
        info_ = reader_.read(face_);
    } else {
        // Nothing draws the file, so no face is looked up as drawn for it.
        info_ = reader_.readFile(file_, fileIndex_, false);
        const QString name = QFileInfo(file_).fileName();
        faceName->setText(info_.described < 0
                              ? QStringLiteral("%1: not a font file the program can read").arg(name)
                              : QStringLiteral("%1 (%2, not installed)").arg(info_.face, name));
    }
    fillFiles();
    fillNames();
    fillCoverage();
    fillOpenType();
    fillLicence();
    fillHeader();
    if (info_.described >= 0) {
        const faceinfo::FileRow& file = info_.files[static_cast<std::size_t>(info_.described)];
        charactersView->setFace(file.path, file.index, info_.charset);
    } else {
        charactersView->setFace(QString(), 0, {});
    }
}

void FaceInformation::fillFiles()
{
    filesTable->clear();
    const QLocale locale;
    for (std::size_t i = 0; i < info_.files.size(); ++i) {
        const faceinfo::FileRow& f = info_.files[i];
        const QString name = f.path.mid(f.path.lastIndexOf(QLatin1Char('/')) + 1);
        auto* item = new QTreeWidgetItem(
            filesTable, {f.substitute   ? QStringLiteral("substitute")
                         : f.drawn      ? QStringLiteral("✓")
                         : !f.installed ? QStringLiteral("not installed")
                                        : QString(),
                         name, f.format, f.style, f.version,
                         f.bytes < 0 ? QString() : locale.formattedDataSize(f.bytes), f.folder});
        item->setToolTip(1, f.path);
        if (static_cast<int>(i) == info_.described) filesTable->setCurrentItem(item);
    }
    for (int c = 0; c < filesTable->columnCount(); ++c) filesTable->resizeColumnToContents(c);
    openFolderButton->setEnabled(!info_.files.empty());
    showOrigin();
}

int FaceInformation::chosenRow() const
{
    QTreeWidgetItem* current = filesTable->currentItem();
    const int row = current ? filesTable->indexOfTopLevelItem(current) : info_.described;
    return row >= 0 && row < static_cast<int>(info_.files.size()) ? row : -1;
}

void FaceInformation::showOrigin()
{
    const int row = chosenRow();
    if (row < 0) {
        originLabel->clear();
        removeButton->hide();
        return;
    }
    const faceinfo::FileRow& file = info_.files[static_cast<std::size_t>(row)];
    // Only the user's own fonts are removed here; the others came with the system or a package, and the
    // window says so rather than offering what it must refuse.
    const bool own = file.installed && platform_.fontInstall.inUserFolders(file.path);
    originLabel->setText(!file.installed ? QStringLiteral("Not installed: read from %1.").arg(file.folder)
                         : own           ? QStringLiteral("Installed for you in %1.").arg(file.folder)
                               : QStringLiteral("Installed for every user in %1, with the system or a "
                                                "package: it is not removed here.")
                                     .arg(file.folder));
    removeButton->setVisible(own && actions_.remove);
}

void FaceInformation::fillHeader()
{
    const bool described = info_.described >= 0;
    const faceinfo::FileRow* file =
        described ? &info_.files[static_cast<std::size_t>(info_.described)] : nullptr;
    // The face's own full name (name ID 4, the record the details read first), as the face calls itself.
    QString name;
    for (const faceinfo::NameRow& row : info_.names)
        if (row.nameID == 4 && (name.isEmpty() || row.used)) name = row.text;
    if (name.isEmpty() && file) name = QStringLiteral("%1 %2").arg(info_.face, file->style).trimmed();
    std::vector<char32_t> characters;
    for (const platform::CodeRange& range : info_.charset)
        for (char32_t c = range.first; c <= range.second && characters.size() < 4096; ++c)
            characters.push_back(c);
    if (file)
        faceSample->setFace(file->path, file->index, name, faceinfo::FaceSample::sampleFor(characters));
    else
        faceSample->setFace(QString(), 0, QString(), QString());
    installButton->setVisible(!file_.isEmpty() && file && !file->installed && actions_.install);
    fillFaceChoice();
}

void FaceInformation::fillFaceChoice()
{
    if (file_.isEmpty() || info_.facesInFile < 2) {
        faceChoice->hide();
        choices_.clear();
        return;
    }
    if (choices_ != file_) {
        choices_ = file_;
        faceChoice->clear();
        const platform::ExaminedFile examined = platform_.fontInstall.examine(file_);
        for (int i = 0; i < info_.facesInFile; ++i) {
            const auto face = static_cast<std::size_t>(i);
            const QString name =
                face < examined.faces.size()
                    ? QStringLiteral("%1 %2").arg(examined.faces[face].family, examined.faces[face].style)
                    : QString();
            faceChoice->addItem(
                QStringLiteral("Face %1 of %2: %3").arg(i + 1).arg(info_.facesInFile).arg(name));
        }
    }
    faceChoice->setCurrentIndex(fileIndex_ & 0xffff);
    faceChoice->show();
}

void FaceInformation::fillNames()
{
    namesTable->clear();
    QTreeWidgetItem* group = nullptr;
    int groupId = -1;
    for (const faceinfo::NameRow& n : info_.names) {
        if (!group || n.nameID != groupId) {
            group = new QTreeWidgetItem(namesTable, {QStringLiteral("%1 %2").arg(n.nameID).arg(n.nameWords)});
            group->setExpanded(true);
            groupId = n.nameID;
        }
        QString text = n.text;
        text.replace(QLatin1Char('\n'), QChar(0x21B5));
        auto* item = new QTreeWidgetItem(
            group, {QString(), n.platform, n.language, text, n.used ? QStringLiteral("used") : QString()});
        item->setToolTip(3, n.text);
    }
    namesTable->resizeColumnToContents(0);
    namesTable->resizeColumnToContents(1);
    namesTable->resizeColumnToContents(2);
}

void FaceInformation::fillCoverage()
{
    if (info_.described < 0) {
        coverageText->setHtml(file_.isEmpty() ? QStringLiteral("<p>No installed face has this name.</p>")
                                              : QStringLiteral("<p>The file cannot be read as a font.</p>"));
        return;
    }
    QString html =
        QStringLiteral("<p>%1 glyphs, %2 characters.</p>").arg(info_.glyphCount).arg(info_.characterCount);
    const std::vector<char32_t> missing = faceinfo::missingCharacters(info_.charset, sampleText_);
    html += missing.empty() ? QStringLiteral("<p>The face has every character of the sample text.</p>")
                            : QStringLiteral("<p><b>Characters of the sample text the face lacks:</b> %1</p>")
                                  .arg(esc(faceinfo::describeCharacters(missing)));
    html += QStringLiteral("<p><b>Writing systems</b></p><table>");
    for (const faceinfo::ScriptCount& s : info_.scripts)
        html += row({esc(s.script), QString::number(s.characters)});
    html += QStringLiteral("</table><p><b>Languages</b> (%1): %2</p>")
                .arg(info_.languages.size())
                .arg(esc(info_.languages.join(QStringLiteral(", "))));
    coverageText->setHtml(html);
}

void FaceInformation::fillOpenType()
{
    QString html = QStringLiteral("<p><b>Layout features</b></p>");
    if (info_.features.empty()) html += QStringLiteral("<p>None.</p>");
    html += QStringLiteral("<table>");
    for (const faceinfo::Feature& f : info_.features) {
        QStringList tables;
        if (f.substitution) tables << QStringLiteral("GSUB");
        if (f.positioning) tables << QStringLiteral("GPOS");
        // The font's own name for a stylistic set or character variant says what it changes.
        const QString name = f.fontName.isEmpty()
                                 ? esc(f.name)
                                 : QStringLiteral("%1: <i>%2</i>").arg(esc(f.name), esc(f.fontName));
        html += row(
            {QStringLiteral("<tt>%1</tt>").arg(esc(QString::fromLatin1(f.tag))), name, tables.join(u' ')});
    }
    html += QStringLiteral("</table>");
    if (!info_.layoutScripts.empty()) {
        html += QStringLiteral("<p><b>Scripts and language systems</b></p><table>");
        for (const opentype::Script& script : info_.layoutScripts) {
            QStringList languages;
            for (const opentype::Language& l : script.languages)
                languages << (l.name.isEmpty() ? QString::fromLatin1(l.tag).trimmed()
                                               : QStringLiteral("%1 (%2)").arg(
                                                     l.name, QString::fromLatin1(l.tag).trimmed()));
            html += row({QStringLiteral("<tt>%1</tt>").arg(esc(QString::fromLatin1(script.tag).trimmed())),
                         esc(script.name), esc(languages.join(QStringLiteral(", ")))});
        }
        html += QStringLiteral("</table>");
    }
    html += QStringLiteral("<p><b>Variation axes</b></p>");
    if (info_.axes.empty())
        html += QStringLiteral("<p>None: the face is not variable.</p>");
    else {
        html += QStringLiteral("<table>") +
                row({QStringLiteral("Tag"), QStringLiteral("Name"), QStringLiteral("Minimum"),
                     QStringLiteral("Default"), QStringLiteral("Maximum")});
        for (const faceinfo::Axis& a : info_.axes)
            html += row({QStringLiteral("<tt>%1</tt>").arg(esc(QString::fromLatin1(a.tag))),
                         esc(a.name) + (a.hidden ? QStringLiteral(" (hidden)") : QString()),
                         number(a.minimum), number(a.defaultValue), number(a.maximum)});
        html += QStringLiteral("</table>");
        if (!info_.instances.empty()) {
            html += QStringLiteral("<p><b>Named instances</b></p><table>");
            for (const faceinfo::Instance& i : info_.instances) {
                QStringList coords;
                for (double c : i.coordinates) coords << number(c);
                html += row({esc(i.name), coords.join(QStringLiteral(", "))});
            }
            html += QStringLiteral("</table>");
        }
    }
    html +=
        QStringLiteral("<p><b>Colour tables:</b> %1</p>")
            .arg(info_.colourTables.isEmpty() ? QStringLiteral("none") : esc(info_.colourTables.join(u' ')));
    openTypeText->setHtml(html);
}

void FaceInformation::fillLicence()
{
    QString html = QStringLiteral("<p><b>Licence</b></p><p>%1</p>")
                       .arg(info_.licence.isEmpty()
                                ? QStringLiteral("The face states no licence.")
                                : esc(info_.licence).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    if (!info_.licenceUrl.isEmpty()) {
        // Only a web address becomes a link: the text comes from the font file.
        const QUrl url(info_.licenceUrl.trimmed(), QUrl::StrictMode);
        const bool web = url.isValid() &&
                         (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
        html += web ? QStringLiteral("<p><a href=\"%1\">%2</a></p>")
                          .arg(esc(url.toString(QUrl::FullyEncoded)), esc(info_.licenceUrl))
                    : QStringLiteral("<p>%1</p>").arg(esc(info_.licenceUrl));
    }
    licenceText->setHtml(html);
}

void FaceInformation::openFolder()
{
    QTreeWidgetItem* current = filesTable->currentItem();
    const int i = current ? filesTable->indexOfTopLevelItem(current) : info_.described;
    if (i < 0 || i >= static_cast<int>(info_.files.size())) return;
    platform_.shell.openUrl(QUrl::fromLocalFile(info_.files[static_cast<std::size_t>(i)].folder));
}

void FaceInformation::openLink(const QUrl& url)
{
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        platform_.shell.openUrl(url);
}

void FaceInformation::Form_KeyDown(int keyCode, int shift)
{
    WindowsKeys::closeOnEscape(*this, keyCode, shift, endProgram_);
}

void FaceInformation::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (actions_.drop && !urls.isEmpty() && urls.front().isLocalFile()) event->acceptProposedAction();
}

void FaceInformation::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (!actions_.drop || paths.isEmpty()) return;
    event->acceptProposedAction();
    actions_.drop(paths);
}

void FaceInformation::keyPressEvent(QKeyEvent* event)
{
    // The tables and texts leave Escape alone, so it reaches the window from whichever has the focus.
    const int code = WindowsKeys::keyCode(*event);
    if (code == WindowsKeys::kEscape) {
        Form_KeyDown(code, WindowsKeys::shiftState(event->modifiers()));
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quillon
