#include "shell/ViewerWindows.h"

#include "about/frmAbout.h"
#include "catalogue/FontListLoader.h"
#include "catalogue/MemoryFaceList.h"
#include "catalogue/RecordFaces.h"
#include "controls/Button.h"
#include "display/FontDetails.h"
#include "options/Options.h"
#include "platform/FontChanges.h"
#include "platform/Log.h"
#include "platform/Platform.h"
#include "platform/Printers.h"
#include "platform/ScreenFace.h"
#include "printing/PrinterSetup.h"
#include "registry/RegistryModule.h"
#include "shell/FaceInformationLink.h"
#include "shell/FindFacesLink.h"
#include "shell/InstallLink.h"
#include "shell/Logo.h"
#include "shell/ReturnToWindow.h"
#include "shell/SimpleCombo.h"
#include "shell/TypeTesterLink.h"
#include "shell/Viewer.h"
#include "summary/FontBookJob.h"
#include "summary/Summary.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPen>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>

namespace quillon {

namespace {

/// A modeless window is opened once: asked again while it is open, it only comes forward. `make` builds it
/// afresh otherwise; it deletes itself when closed, which clears `open`.
template <class Window, class Make> void showOnce(QPointer<Window>& open, Make make)
{
    if (open) {
        open->raise();
        open->activateWindow();
        return;
    }
    Window* window = make();
    window->setAttribute(Qt::WA_DeleteOnClose);
    open = window;
    window->show();
    window->activateWindow();
}

/// Closes a window as its close box would; a dialog's close rejects it, which also ends a modal one's wait.
template <class Window> void closeIfOpen(const QPointer<Window>& open)
{
    if (open) open->close();
}

} // namespace

struct ViewerWindows::Parts {
    Parts(Viewer& viewer, platform::Platform& platform, const FontCatalogue& catalogue,
          std::function<void()> endProgram)
        : details(platform.fontSystem, platform.fontFiles), registry(platform.registry),
          faceInformation(viewer, platform, catalogue, endProgram),
          typeTester(viewer, platform, faceInformation, endProgram),
          findFaces(viewer, platform, catalogue, std::move(endProgram)),
          install(viewer, platform, catalogue, faceInformation)
    {
        faceInformation.findFaces = [this](const QString& text) { findFaces.findCharacters(text); };
    }
    FontDetails details; // holds the one details font until the next run or the window's end
    RegistryModule registry;
    // Each secondary window is made afresh when it opens and deletes itself when it closes.
    QPointer<PrinterSetup> printerSetup;
    QPointer<Summary> summary;
    QPointer<Options> options;
    QPointer<frmAbout> about;
    QPointer<Logo> logo;
    QPointer<QProgressDialog> bookProgress; // while a font book is being printed
    FaceInformationLink faceInformation;
    TypeTesterLink typeTester;
    FindFacesLink findFaces;
    InstallLink install;
};

ViewerWindows::ViewerWindows(Viewer& viewer, platform::Platform& platform, FontModule& module,
                             FontCatalogue& catalogue)
    : viewer_(viewer), platform_(platform), module_(module), catalogue_(catalogue),
      parts_(std::make_unique<Parts>(viewer, platform, catalogue, [this] { endProgram(); }))
{
}

ViewerWindows::~ViewerWindows() { platform_.fontChanges.setListener({}); }

QIcon ViewerWindows::windowIcon() const
{
    // Drawn at each size it is asked for (the window's frame, the task bar, the splash card at any scale),
    // so none of them is a stretched 32-pixel picture.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 96, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        painter.setBrush(QColor(0x20, 0x40, 0x90));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
        // The letter is drawn as strokes, not set in a font: loading a font for it would cost the start-up a
        // font match against every installed face.
        painter.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(7, 6, 18, 19));
        painter.drawLine(QPointF(18.5, 19), QPointF(25.5, 27));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QWidget* ViewerWindows::makeHelpButton()
{
    auto* button = new Button(&viewer_);
    button->setCaption(QStringLiteral("?"));
    button->setBackColor(0x00FF00FF); // magenta
    QObject::connect(button, &Button::Click, &viewer_, &Viewer::HelpButton_Click);
    return button;
}

void ViewerWindows::loadFontList()
{
    // The catalogue sorts and thins the names in a plain list; the window's list then takes them in one
    // go, which keeps thousands of faces quick. The selections the build makes are inert while the window
    // is loading, so only the final one is repeated on the window's list.
    MemoryFaceList names;
    FontListLoader loader(platform_.registry, platform_.systemInfo, catalogue_);
    loader.LoadFontList(names);
    drawFacesFromTheirRecords(catalogue_, platform_.fontSystem, platform_.fontFiles);
    viewer_.fontList->clear();
    viewer_.fontList->addItems(names.items());
    if (names.listIndex() >= 0) viewer_.fontList->setListIndex(names.listIndex());
}

void ViewerWindows::watchFonts()
{
    platform_.fontChanges.setListener([this](const QString& why) { fontsChanged(why); });
    platform_.fontChanges.watch();
}

void ViewerWindows::fontsChanged(const QString& why)
{
    QElapsedTimer timer;
    timer.start();
    const QString face = viewer_.fontList->text();
    viewer_.loadingList = true;
    loadFontList();
    viewer_.loadingList = false;
    int keep = -1;
    for (int i = 0; i < viewer_.fontList->count() && keep < 0; ++i)
        if (viewer_.fontList->itemText(i) == face) keep = i;
    // The size and the effects stay as they are; a face that went is replaced by the first, as at the start.
    if (viewer_.fontList->count() > 0) viewer_.fontList->setListIndex(std::max(keep, 0));
    if (parts_->summary) parts_->summary->setFontNames(catalogue_.fontNames);
    findFaces().fontsChanged();
    faceInformation().fontsChanged();
    qCDebug(log::catalogue).noquote()
        << QStringLiteral("catalogue rebuilt in %1 ms (%2): %3 faces, %4 records; %5")
               .arg(timer.elapsed())
               .arg(why)
               .arg(catalogue_.fontCount())
               .arg(catalogue_.recordCount())
               .arg(keep >= 0 ? QStringLiteral("%1 stays selected").arg(face)
                              : QStringLiteral("%1 went, the first face is selected").arg(face));
}

void ViewerWindows::showFontDetails(const QString& face, QPlainTextEdit& detailText, QLabel& copyright)
{
    detailText.setPlainText(QString());
    const FontDetailsText details = parts_->details.describe(face, catalogue_);
    if (details.copyrightSet) copyright.setText(details.copyright);
    // The box shows one detail a line; Viewer::detailTextValue gives the CR LF joins back.
    detailText.setPlainText(details.lines.join(QLatin1Char('\n')));
}

FaceInformationLink& ViewerWindows::faceInformation() { return parts_->faceInformation; }
InstallLink& ViewerWindows::install() { return parts_->install; }
FindFacesLink& ViewerWindows::findFaces() { return parts_->findFaces; }

TypeTesterLink& ViewerWindows::typeTester() { return parts_->typeTester; }

void ViewerWindows::showSplash()
{
    if (!Logo::wanted(platform_.settings)) return;
    closeSplash();
    auto* logo = new Logo(windowIcon(), viewer_.isVisible() ? &viewer_ : nullptr, std::chrono::seconds(1),
                          platform::screenFamily(platform_.fontSystem, QStringLiteral("Times New Roman")));
    logo->setAttribute(Qt::WA_DeleteOnClose);
    parts_->logo = logo;
    logo->showSplash();
}

void ViewerWindows::closeSplash() { closeIfOpen(parts_->logo); }

void ViewerWindows::showSummary()
{
    showOnce(parts_->summary, [this] {
        auto* summary = new Summary(
            catalogue_.fontNames, viewer_.frameGeometry(), [this] { endProgram(); }, &viewer_);
        summary->useFontSystem(&platform_.fontSystem, &platform_.faceRasterizer);
        summary->setPrintAllFaces(
            [this, summary](const QStringList& faces) { showBookPrinterSetup(faces, summary); });
        summary->setFindFaces([this] { findFaces().show(); });
        return summary;
    });
}

void ViewerWindows::closeSummary() { closeIfOpen(parts_->summary); }

void ViewerWindows::showPrinterSetup()
{
    if (parts_->printerSetup) return; // already open: it is modal, so this is a nested request
    PrinterSetup::Owner owner;
    owner.frame = viewer_.frameGeometry();
    owner.face = [this] { return viewer_.fontList->text(); };
    owner.details = [this] { return viewer_.detailTextValue(); };
    owner.endProgram = [this] { endProgram(); };
    owner.tell = [this](const QString& text) { QMessageBox::warning(&viewer_, kAppTitle, text); };
    auto* dialog = new PrinterSetup(platform_.printers, std::move(owner), &viewer_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    parts_->printerSetup = dialog;
    dialog->exec();
}

void ViewerWindows::showBookPrinterSetup(const QStringList& faces, QWidget* over)
{
    if (parts_->printerSetup) return;
    if (parts_->bookProgress) { // one book at a time: the running one's box comes forward
        parts_->bookProgress->raise();
        parts_->bookProgress->activateWindow();
        return;
    }
    const QPointer<QWidget> window(over);
    int copies = 0;
    PrinterSetup::Owner owner;
    owner.frame = over->frameGeometry();
    owner.endProgram = [this] { endProgram(); };
    owner.print = [&copies](int wanted) { copies = wanted; };
    auto* dialog = new PrinterSetup(platform_.printers, std::move(owner), over);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    parts_->printerSetup = dialog;
    dialog->exec();
    // The book was asked for from the summary, so the user goes back there, not to the main window (whose
    // activation would close the summary), also where the window manager hands the focus to the main window
    // once the dialog has gone.
    if (window) {
        new ReturnToWindow(viewer_, *window, std::chrono::milliseconds(500));
        window->raise();
        window->activateWindow();
    }
    if (copies > 0) printBook(faces, window, copies);
}

void ViewerWindows::printBook(const QStringList& faces, const QPointer<QWidget>& window, int copies)
{
    const QString labelFace = window ? window->font().family() : viewer_.font().family();
    // The pages come out after the printer dialog has gone, the windows served after each one: the user
    // goes on with the program meanwhile. The box (made at the first page: before it the printer may still
    // ask for the PDF file's name) belongs to the main window, so closing the summary keeps it; Cancel, or
    // the program's end, gives the book up between two pages.
    bool made = false;
    QStringList leftOut;
    QString problem;
    try {
        problem = FontBookJob::print(
            platform_.printers, platform_.fontSystem, faces, labelFace, copies,
            [&](int done, int total) {
                if (!made) {
                    // The printer may have asked for the PDF file's name; its window's going hands the focus
                    // to the main window, as the printer dialog's did.
                    if (window) new ReturnToWindow(viewer_, *window, std::chrono::milliseconds(500));
                    auto* progress = new QProgressDialog(QStringLiteral("Printing the faces\u2026"),
                                                         QStringLiteral("Cancel"), 0, total, &viewer_);
                    progress->setObjectName(QStringLiteral("bookProgress"));
                    progress->setWindowTitle(QStringLiteral("Font Book"));
                    progress->setWindowModality(Qt::NonModal);
                    progress->setMinimumDuration(500);
                    parts_->bookProgress = progress;
                    made = true;
                }
                if (QProgressDialog* progress = parts_->bookProgress) {
                    progress->setMaximum(total);
                    progress->setValue(done);
                }
                QCoreApplication::processEvents(); // the windows are served between pages
            },
            FontBookPdf::kPagesPerPart,
            [&] { return viewer_.ended() || (parts_->bookProgress && parts_->bookProgress->wasCanceled()); },
            &leftOut);
    } catch (const platform::PrinterCancelled& e) {
        qCDebug(log::printing) << "the font book was given up before its first page:" << e.what();
        problem = FontBookPdf::kCancelled;
    } catch (const platform::PrinterError& e) {
        problem = QString::fromStdString(e.what());
    }
    delete parts_->bookProgress.data();
    if (problem == FontBookPdf::kCancelled || viewer_.ended()) return;
    QWidget* parent = window ? window.data() : static_cast<QWidget*>(&viewer_);
    // Unlike a sample page, a book is hundreds of pages: one that did not come out, or a face left out of it,
    // must not pass unnoticed.
    if (!problem.isEmpty()) {
        qCDebug(log::printing) << "the font book was not printed whole:" << problem;
        QMessageBox::warning(parent, kAppTitle,
                             QStringLiteral("The font book was not printed whole: %1.").arg(problem));
    } else if (!leftOut.isEmpty()) {
        QMessageBox::warning(parent, kAppTitle,
                             QStringLiteral("The font book was printed without %1 that could not be drawn "
                                            "into it (listed on its last page):\n\n%2")
                                 .arg(leftOut.size() == 1 ? QStringLiteral("one face")
                                                          : QStringLiteral("%1 faces").arg(leftOut.size()),
                                      leftOut.mid(0, 10).join(QLatin1Char('\n'))));
    }
}

void ViewerWindows::closePrinterSetup() { closeIfOpen(parts_->printerSetup); }

void ViewerWindows::endProgram()
{
    closeAbout();
    // The options dialog may ask about unsaved changes; Cancel keeps it open, and the program running.
    if (parts_->options && !parts_->options->close()) return;
    viewer_.exitButton_Click();
}

void ViewerWindows::showOptions()
{
    showOnce(parts_->options, [this] {
        return new Options(
            viewer_.frameGeometry(), platform_.settings, parts_->registry, module_, [this] { endProgram(); },
            &viewer_);
    });
}

void ViewerWindows::closeOptions() { closeIfOpen(parts_->options); }

void ViewerWindows::showAbout()
{
    showOnce(parts_->about, [this] {
        return new frmAbout(platform_.registry, platform_.shell, viewer_.frameGeometry(), &viewer_);
    });
}

void ViewerWindows::closeAbout() { closeIfOpen(parts_->about); }

} // namespace quillon
