#include "shell/Viewer.h"

#include "base/WindowGeometry.h"
#include "controls/Accessibility.h"
#include "controls/Captions.h"
#include "controls/WindowsKeys.h"
#include "display/SizeList.h"
#include "display/TextMeasurer.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "platform/ScreenFace.h"
#include "platform/SettingsStore.h"
#include "platform/WindowActivation.h"
#include "shell/FaceInformationLink.h"
#include "shell/FindFacesLink.h"
#include "shell/InstallLink.h"
#include "shell/Logo.h"
#include "shell/SamplePicture.h"
#include "shell/SimpleCombo.h"
#include "shell/TypeTesterLink.h"
#include "shell/ViewerWindows.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <tuple>

namespace quillon {

namespace {

constexpr int kClientWidth = 6255;

/// A label in `font`, or in the window's font when none is given.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                  const QFont* font)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    if (font) label->setFont(*font);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                        const QString& tip)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

// Qt's key and modifiers as a Windows virtual-key code and shift bits: the key handler, the hand-off's F16
// and the program's other windows and controls all speak those codes.
int virtualKeyCode(const QKeyEvent* event)
{
    const int key = event->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    if (key == Qt::Key_Escape) return VK_ESCAPE;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    return 0;
}

int shiftBits(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? SHIFT_MASK : 0) |
           (modifiers & Qt::ControlModifier ? CTRL_MASK : 0) | (modifiers & Qt::AltModifier ? ALT_MASK : 0);
}

} // namespace

Viewer::Viewer(platform::Platform& platform, FontModule& module, FontCatalogue& catalogue,
               TextMeasurer& measurer, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      platform_(platform), module_(module), catalogue_(catalogue), measurer_(measurer)
{
    setObjectName(QStringLiteral("Viewer"));
    setWindowTitle(kViewerCaption);
    setFont(captions::font(8.25));
    buildControls(captions::font(9.75));
    windows_ = std::make_unique<ViewerWindows>(*this, platform_, module_, catalogue_);
    HelpButton = windows_->makeHelpButton();
    windows_->faceInformation().attach();
    windows_->typeTester().attach();
    windows_->findFaces().attach(windows_->faceInformation());
    windows_->install().attach();
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setGeometry(pxRect(15, 5670, 255, 255));
    HelpButton->setToolTip(QStringLiteral(" View program and company-contact information "));
    applyTabOrder();
    describeControls();
    captions::fit(*this);
    setWindowIcon(windows_->windowIcon());
    setWindowHeightTwips(kWindowHeight);
    showMessage = [this](const QString& text, const QString& title) {
        // Non-blocking, so a hand-off from another start is answered while the message waits for OK.
        auto* box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::ApplicationModal);
        box->show();
    };
    qApp->installEventFilter(this);
}

Viewer::~Viewer() { qApp->removeEventFilter(this); }

void Viewer::buildControls(const QFont& labelFont)
{
    Label1 = makeLabel(this, "Label1", QStringLiteral("Font:"), pxRect(240, 240, 450, 255), &labelFont);

    fontList = new SimpleCombo(this);
    fontList->setObjectName(QStringLiteral("fontList"));
    fontList->setGeometry(pxRect(960, 240, 2535, 1740));
    fontList->setToolTip(QStringLiteral(" Select a font for display from the list "));
    fontList->hide(); // shown once the catalogue is built and the first face selected
    connect(fontList, &SimpleCombo::Click, this, &Viewer::fontList_Click);

    Label2 = makeLabel(this, "Label2", QStringLiteral("Size:"), pxRect(3705, 240, 450, 255), &labelFont);

    sizeList = new SimpleCombo(this);
    sizeList->setObjectName(QStringLiteral("sizeList"));
    sizeList->setGeometry(pxRect(4200, 240, 600, 1740));
    sizeList->setToolTip(QStringLiteral(" Select a font size for display "));
    connect(sizeList, &SimpleCombo::Click, this, &Viewer::sizeList_Click);

    summaryButton = makeButton(this, "summaryButton", QStringLiteral("&Summary"), pxRect(5160, 240, 855, 375),
                               QStringLiteral(" Display a summary view of all installed fonts "));
    printButton = makeButton(this, "printButton", QStringLiteral("&Print"), pxRect(5160, 690, 855, 375),
                             QStringLiteral(" Print a sample page for the currently selected font "));
    optionsButton = makeButton(this, "optionsButton", QStringLiteral("&Options"),
                               pxRect(5160, 1140, 855, 375), QStringLiteral(" Modify program options "));
    exitButton = makeButton(this, "exitButton", QStringLiteral("E&xit"), pxRect(5160, 1590, 855, 375),
                            QStringLiteral(" Exit the program "));
    connect(summaryButton, &QPushButton::clicked, this, &Viewer::summaryButton_Click);
    connect(printButton, &QPushButton::clicked, this, &Viewer::printButton_Click);
    connect(optionsButton, &QPushButton::clicked, this, &Viewer::optionsButton_Click);
    connect(exitButton, &QPushButton::clicked, this, &Viewer::exitButton_Click);

    Label4 = makeLabel(this, "Label4", QStringLiteral("Effects:"), pxRect(240, 2190, 660, 255), &labelFont);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(pxRect(960, 2070, 1305, 1455));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setFont(labelFont);
    const QString captions[4] = {QStringLiteral("Bold"), QStringLiteral("Italics"),
                                 QStringLiteral("Strikethru"), QStringLiteral("Underline")};
    const QString tips[4] = {QStringLiteral(" Display the current font in bold characters "),
                             QStringLiteral(" Display the current font in italics "),
                             QStringLiteral(" Display the current font in strike-through characters "),
                             QStringLiteral(" Display the current font with underlines ")};
    for (int i = 0; i < 4; ++i) {
        effect[i] = new QCheckBox(captions[i], Frame1);
        effect[i]->setObjectName(QStringLiteral("effect%1").arg(i));
        effect[i]->setGeometry(pxRect(180, 255 + 270 * i, 975, 255));
        effect[i]->setToolTip(tips[i]);
        connect(effect[i], &QCheckBox::toggled, this, [this, i] { effect_Click(i); });
    }

    Label5 = makeLabel(this, "Label5", QStringLiteral("Details:"), pxRect(2505, 2190, 660, 255), &labelFont);

    detailText = new QPlainTextEdit(this);
    detailText->setObjectName(QStringLiteral("detailText"));
    detailText->setGeometry(pxRect(3240, 2190, 2775, 1320));
    detailText->setToolTip(QStringLiteral(" Displays detail information about the current font "));
    detailText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    detailText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    detailText->setTabChangesFocus(true);
    // The details describe the face; typing into them would only put words on the printed page that the
    // face never said. They still take the caret, so a keyboard user selects and copies them.
    detailText->setReadOnly(true);
    detailText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    Label6 = makeLabel(this, "Label6", QStringLiteral("Copyright:"), pxRect(240, 3645, 720, 255), nullptr);
    Copyright = makeLabel(this, "Copyright", QString(), pxRect(1005, 3645, 4920, 210), nullptr);

    TextSize = new QWidget(this);
    TextSize->setObjectName(QStringLiteral("TextSize"));
    TextSize->setGeometry(pxRect(240, 3960, 255, 15));
    TextSize->hide();

    Label3 = makeLabel(this, "Label3", QStringLiteral("Text:"), pxRect(240, 4035, 450, 255), &labelFont);

    displayText = new QPlainTextEdit(this);
    displayText->setObjectName(QStringLiteral("displayText"));
    displayText->setGeometry(pxRect(960, 4035, 5055, 285));
    displayText->setToolTip(
        QStringLiteral(" Enter the text you would like to see displayed for the current font "));
    displayText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    displayText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    displayText->setLineWrapMode(QPlainTextEdit::NoWrap);
    displayText->setTabChangesFocus(true);
    displayText->document()->setDocumentMargin(1);
    displayText->installEventFilter(this);
    connect(displayText, &QPlainTextEdit::textChanged, this, &Viewer::displayText_Change);

    displayPicture = new SamplePicture(this);
    displayPicture->setObjectName(QStringLiteral("displayPicture"));
    displayPicture->setGeometry(pxRect(960, 4410, 5055, kPictureHeight));
    // A picture box is a stop of the tab order, between the command buttons and the details.
    displayPicture->setFocusPolicy(Qt::StrongFocus);
}

void Viewer::applyTabOrder()
{
    // The layout's tab indexes, leaving out the controls that never take the focus.
    const QList<QWidget*> order = {fontList,   sizeList,       effect[0],     effect[1],   effect[2],
                                   effect[3],  displayText,    summaryButton, printButton, optionsButton,
                                   exitButton, displayPicture, detailText,    HelpButton};
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void Viewer::describeControls()
{
    // What a screen reader speaks for each control; the layout shows none of it.
    accessibility::name(fontList, QStringLiteral("Font"));
    fontList->listBox()->setAccessibleName(QStringLiteral("Fonts"));
    accessibility::link(Label1, fontList);
    accessibility::name(sizeList, QStringLiteral("Size"));
    sizeList->listBox()->setAccessibleName(QStringLiteral("Sizes"));
    accessibility::link(Label2, sizeList);
    accessibility::name(Frame1, QStringLiteral("Effects"));
    accessibility::link(Label4, Frame1);
    accessibility::name(detailText, QStringLiteral("Details"));
    accessibility::link(Label5, detailText);
    accessibility::link(Label6, Copyright); // the notice itself is the label's name
    accessibility::name(displayText, QStringLiteral("Text"));
    accessibility::link(Label3, displayText);
    HelpButton->setAccessibleDescription(HelpButton->toolTip().trimmed());
}

void Viewer::setWindowHeightTwips(int outerHeight)
{
    windowHeight_ = outerHeight;
    setFixedSize(px(kClientWidth), px(outerHeight - kFrameExtraHeight));
}

void Viewer::setPictureHeightTwips(int height)
{
    QRect geometry = displayPicture->geometry();
    geometry.setHeight(px(height));
    displayPicture->setGeometry(geometry);
}

// ---- Life cycle -------------------------------------------------------------------------------------------

void Viewer::Form_Load()
{
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                          : QRect(0, 0, 1024, 768);
    const int width = kClientWidth + kFrameExtraWidth;
    const int left = (twips(screen.width()) - width) / 2;
    const int top = (twips(screen.height()) - windowHeight_) / 2 - 600;
    move(screen.left() + px(left), screen.top() + px(top)); // a negative top is kept, as placed

    textTyped = false;
    activatedOnce = false;

    // "ShowSplash" is read as a number, here as in the splash itself: "1.0" shows it as "1" does.
    if (Logo::wanted(platform_.settings)) {
        windows_->showSplash();
        Pause(1);
    }

    loadingList = true;
    windows_->loadFontList();
    SelectCommandLineFont();
    loadingList = false;

    fontList_Click();
    fontList->show();
    windows_->watchFonts();

    if (Logo::wanted(platform_.settings)) Pause(1);
}

void Viewer::Form_Activate()
{
    windows_->closeAbout();
    windows_->closeSummary();
    windows_->closePrinterSetup();
    RenderSample();
    if (activatedOnce) return;
    activatedOnce = true;
    if (!Logo::wanted(platform_.settings)) return;
    QCoreApplication::processEvents();
    windows_->closeSplash();
    windows_->showSplash();
    Pause(3);
    windows_->closeSplash();
}

void Viewer::Form_Paint()
{
    if (!printPending) return;
    QCoreApplication::processEvents();
    printPending = false;
    printButton_Click();
}

void Viewer::Form_KeyDown(int keyCode, int shift)
{
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    switch (keyCode) {
    case VK_F16:
        if (handedOver_) {
            std::tie(module_.commandLine, module_.commandLineFile) = *handedOver_;
        } else {
            module_.commandLine =
                platform_.settings.GetSetting(kAppTitle, kSettingsSection, QStringLiteral("CommandLine"));
            module_.commandLineFile =
                platform_.settings.GetSetting(kAppTitle, kSettingsSection, QStringLiteral("CommandLineFile"));
        }
        SelectCommandLineFont();
        break;
    case VK_F1:
        HelpButton_Click();
        break;
    case VK_ESCAPE:
        exitButton_Click();
        break;
    case VK_P:
        if (shift == CTRL_MASK) printButton_Click();
        break;
    case VK_I:
        if (shift == CTRL_MASK) windows_->faceInformation().show();
        break;
    case VK_T:
        if (shift == CTRL_MASK) windows_->typeTester().show();
        break;
    case VK_F:
        if (shift == CTRL_MASK) windows_->findFaces().show();
        break;
    default:
        break;
    }
}

void Viewer::Form_Unload()
{
    windows_->closeSummary();
    windows_->closeOptions();
    windows_->closePrinterSetup();
}

void Viewer::Pause(int seconds)
{
    if (seconds <= 0 || ended_) return;
    // An event loop, not a spin: clicks and repaints are handled while the start-up waits.
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    connect(this, &Viewer::programEnded, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Viewer::receiveHandOff(const platform::HandOffRecord& request)
{
    if (request.windowTitle != windowTitle() || ended_) return false;
    platform::bringForward(*this, request.activationToken);
    // The start's own command line, not whatever the shared setting holds by now: another start may have
    // saved its own since, or this one's save may have failed. A request without one (from an earlier
    // build) leaves F16 to read the setting as a key press does.
    if (request.commandLine) handedOver_ = std::pair(*request.commandLine, request.file);
    ++handOffs_;
    qCDebug(log::instance).noquote() << "hand-off" << handOffs_ << "handled, file:"
                                     << (request.commandLine ? request.file
                                                             : QStringLiteral("(from the settings)"));
    Form_KeyDown(VK_F16, 0);
    handedOver_.reset();
    update(); // a print request waits for the next repaint
    return true;
}

// ---- Window events ----------------------------------------------------------------------------------------

bool Viewer::keyBelongsHere(QObject* watched) const
{
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == this;
}

bool Viewer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease && keyBelongsHere(watched)) {
        keyTaken_ = {};
    } else if (event->type() == QEvent::KeyPress && keyBelongsHere(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The window sees every key before the control that has the focus. Qt hands a key to the focus widget
        // (a text box may pass it through twice) and then, when the control leaves it alone, to each parent
        // up to the window: the key is taken at its first stop only, or the window would act on it twice (a
        // second printer dialog once the first is closed, for one Ctrl+P). Which control has the focus cannot
        // tell the first stop: while a dialog the key opened closes, no window of the program is active. So
        // the key taken is remembered until its release, and by its time and key as well, since the next key
        // may be built at the same address while the release went to that dialog.
        const TakenKey now{event, key->timestamp(), key->key(), static_cast<int>(key->modifiers().toInt())};
        if (now != keyTaken_) {
            keyTaken_ = now;
            if (watched == displayText && WindowsKeys::typedCharacter(*key) >= 0) displayText_KeyPress();
            Form_KeyDown(virtualKeyCode(key), shiftBits(key->modifiers()));
            if (ended_) return true;
        }
    } else if (event->type() == QEvent::FocusIn && watched == displayText) {
        QTimer::singleShot(0, this, &Viewer::displayText_GotFocus);
    }
    return QWidget::eventFilter(watched, event);
}

void Viewer::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
    QWidget::changeEvent(event);
}

void Viewer::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // The print request opens a modal dialog, which must not run inside the paint itself.
    if (printPending && !paintActionQueued_) {
        paintActionQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            paintActionQueued_ = false;
            Form_Paint();
        });
    }
}

void Viewer::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

// ---- Controls ---------------------------------------------------------------------------------------------

void Viewer::fontList_Click()
{
    if (loadingList) return;
    screenFaceKnown_ = false; // fonts may have come or gone since the face was last shown
    const QString face = fontList->text();
    const int record = catalogue_.firstRecordOfFace(face);
    if (record >= 0 && !catalogue_.recordSizes(record).isEmpty())
        ListRasterSizes(catalogue_.recordSizes(record));
    else
        ListScalableSizes();
    ReselectSize();
    ShowFontDetails();
    windows_->faceInformation().follow();
    windows_->typeTester().follow();
}

void Viewer::sizeList_Click()
{
    if (fontList->text().isEmpty()) return;
    if (sizeList->text() != QLatin1String("72")) {
        setPictureHeightTwips(kPictureHeight);
        setWindowHeightTwips(kWindowHeight);
    } else {
        setWindowHeightTwips(kWindowHeight72);
        setPictureHeightTwips(kPictureHeight72);
    }
    if (!selectingSize) chosenSize = readSize(sizeList->text());
    RenderSample();
}

void Viewer::effect_Click(int) { RenderSample(); }

void Viewer::displayText_Change() { RenderSample(); }

void Viewer::displayText_KeyPress() { textTyped = true; }

void Viewer::displayText_GotFocus()
{
    if (displayText->hasFocus()) displayText->selectAll();
}

void Viewer::summaryButton_Click() { windows_->showSummary(); }
void Viewer::printButton_Click() { windows_->showPrinterSetup(); }
void Viewer::optionsButton_Click() { windows_->showOptions(); }
void Viewer::HelpButton_Click() { windows_->showAbout(); }

void Viewer::exitButton_Click()
{
    windows_->closePrinterSetup();
    windows_->closeSummary();
    close();
    ended_ = true;
    emit programEnded();
    QCoreApplication::exit(0);
}

// ---- Sizes ------------------------------------------------------------------------------------------------

void Viewer::ListRasterSizes(const QString& sizes)
{
    sizeList->hide();
    sizeList->clear();
    sizeList->addItems(rasterSizeEntries(sizes));
}

void Viewer::ListScalableSizes()
{
    sizeList->hide();
    sizeList->clear();
    QFont face = screenFace();
    // Measured at the size the re-selection will most likely draw, so the sample finds the face loaded.
    face.setPointSize(chosenSize > 0 ? chosenSize : kStandardSizes.front());
    sizeList->addItems(scalableSizeEntries(measurer_.heightsFor(face)));
}

void Viewer::ReselectSize()
{
    if (chosenSize != 0 && sizeList->count() > 1) {
        QStringList entries;
        for (int i = 0; i < sizeList->count(); ++i) entries << sizeList->itemText(i);
        // Each entry the walk passes is selected in turn and runs the size handler; the guard keeps those
        // selections from changing the remembered size.
        std::vector<int> visited;
        reselectIndex(entries, chosenSize, &visited);
        selectingSize = true;
        for (int index : visited) sizeList->setListIndex(index);
        selectingSize = false;
    } else {
        sizeList->setListIndex(0);
    }
    sizeList->show();
}

// ---- Sample -----------------------------------------------------------------------------------------------

void Viewer::setDisplayText(const QString& text)
{
    // Assigning the text it already has changes nothing, so the nested render ends the recursion.
    if (displayText->toPlainText() != text) displayText->setPlainText(text);
}

void Viewer::RenderSample()
{
    if (!textTyped)
        setDisplayText(fontList->text() + QLatin1Char(' ') + sizeList->text() +
                       QStringLiteral("-point font"));
    const QString text = displayText->toPlainText();
    windows_->faceInformation().follow();
    // A face whose file went away since the list was made is drawn in nothing, never in another face.
    if (text.isEmpty() || !platform::drawnFileReadable(platform_.fontSystem, fontList->text())) {
        displayPicture->clearPicture();
        return;
    }
    displayPicture->setDrawingFont(screenFace(), readSize(sizeList->text()), effect[0]->isChecked(),
                                   effect[1]->isChecked(), effect[2]->isChecked(), effect[3]->isChecked());
    displayPicture->printText(text);
}

const QFont& Viewer::screenFace()
{
    const QString face = fontList->text();
    if (!screenFaceKnown_ || face != screenFaceName_) {
        screenFace_ = platform::screenFaceFont(platform_.fontSystem, face);
        screenFaceName_ = face;
        screenFaceKnown_ = true;
    }
    return screenFace_;
}

// ---- Details ----------------------------------------------------------------------------------------------

QString Viewer::detailTextValue() const
{
    return detailText->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

void Viewer::ShowFontDetails() { windows_->showFontDetails(fontList->text(), *detailText, *Copyright); }

// ---- Command line -----------------------------------------------------------------------------------------

void Viewer::SelectCommandLineFont()
{
    windows_->faceInformation().offerFile(QString()); // a file from an earlier command line is done with
    quillon::SelectCommandLineFont(module_.commandLine, catalogue_, *this);
}

void Viewer::selectFace(int index) { fontList->setListIndex(index); }

void Viewer::setEffect(int index, int value)
{
    effect[static_cast<std::size_t>(index)]->setChecked(value == 1);
}

void Viewer::showNotRegistered()
{
    // The list cannot show the file; the face information can, read from the file itself.
    windows_->faceInformation().offerFile(module_.commandLineFile);
    windows_->typeTester().follow();
    if (showMessage) showMessage(kNotRegisteredMessage, kAppTitle);
    // Then the file itself, its face drawn, with Install.
    windows_->faceInformation().showOffered();
}

} // namespace quillon
