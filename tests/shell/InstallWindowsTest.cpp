// Installing and removing fonts from the windows, as a user does it, over a private fontconfig that reads
// the tests' fonts and a font folder in a data folder of the test's own: a downloaded file opened, shown
// drawn in its face, installed, selected, installed again, removed; files dropped on the main window; a
// file copied into the font folder from outside while the program runs.
#include "catalogue/CommandLineSelection.h"
#include "faceinfo/FaceInformation.h"
#include "faceinfo/FaceSample.h"
#include "find/FindFaces.h"
#include "find/FindResults.h"
#include "install/InstallList.h"
#include "shell/SimpleCombo.h"
#include "summary/Summary.h"
#include "support/AccessibilityAudit.h"
#include "support/ArchiveWriter.h"
#include "support/SfntWriter.h"
#include "support/TestFiles.h"
#include "support/ViewerFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

QByteArray font(const QString& family, const QString& style = QStringLiteral("Regular"))
{
    return test::SfntWriter::minimalFont(test::SfntWriter::names(family, style, family + u' ' + style));
}

/// Answers the message boxes the program shows while it is set, pressing the button named `press` (or
/// the default one), and keeps their texts.
class Answers {
public:
    Answers()
    {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->property("answered").toBool()) return;
            box->setProperty("answered", true);
            texts << box->text();
            for (QAbstractButton* button : box->buttons())
                if (button->text() == press) return button->click();
            if (box->defaultButton())
                box->defaultButton()->click();
            else
                box->close();
        });
        poll_.start();
    }
    QString press;
    QStringList texts;

private:
    QTimer poll_;
};

class InstallWindowsTest : public test::ViewerFixture {
protected:
    QTemporaryDir data;
    QTemporaryDir download;
    QByteArray saved[2] = {qgetenv("XDG_DATA_HOME"), qgetenv("FONTCONFIG_FILE")};
    Answers answers;

    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        test::writeFile(data.filePath("fonts.conf"),
                        QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig><dir>%1</dir><dir>%2</dir>"
                                       "<cachedir>%3</cachedir></fontconfig>\n")
                            .arg(QString::fromLocal8Bit(qgetenv("QUILLON_TEST_FONTS")), fontFolder(),
                                 data.filePath("cache"))
                            .toUtf8());
        qputenv("FONTCONFIG_FILE", data.filePath("fonts.conf").toUtf8());
        ASSERT_TRUE(FcInitReinitialize());
        ViewerFixture::SetUp();
    }
    void TearDown() override
    {
        viewer.reset();
        machine.reset();
        qputenv("XDG_DATA_HOME", saved[0]);
        qputenv("FONTCONFIG_FILE", saved[1]);
        FcInitReinitialize();
    }
    QString fontFolder() const { return data.filePath("fonts"); }
    QString put(const QString& name, const QByteArray& bytes)
    {
        const QString path = download.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(test::SfntWriter::writeFile(path, bytes));
        return path;
    }
    FaceInformation* info() const { return viewer->findChild<FaceInformation*>("faceInformation"); }
    bool listed(const QString& face) const
    {
        for (int i = 0; i < viewer->fontList->count(); ++i)
            if (viewer->fontList->itemText(i) == face) return true;
        return false;
    }
    /// What another program's fontconfig lists.
    QString fcList() const
    {
        QProcess list;
        list.start(QStringLiteral("fc-list"), {QStringLiteral(":"), QStringLiteral("file")});
        list.waitForFinished(20000);
        return QString::fromLocal8Bit(list.readAllStandardOutput());
    }
};

} // namespace

TEST_F(InstallWindowsTest, ADownloadedFileIsShownInstalledSelectedAndRemoved)
{
    const QString path = put("Fresh/QuillonFresh-Regular.otf", font("Quillon Fresh"));
    buildViewer();
    QString message;
    viewer->showMessage = [&](const QString& text, const QString&) { message = text; };
    module.commandLineFile = path;
    load(path.toLower());
    EXPECT_EQ(message, kNotRegisteredMessage); // as before: the message, the first face
    const QString first = viewer->fontList->text();
    EXPECT_EQ(viewer->fontList->listIndex(), 0);

    // Then the file itself, drawn in its face, with Install.
    ASSERT_TRUE(QTest::qWaitFor([&] { return info() && info()->isVisible(); }, 3000));
    EXPECT_EQ(info()->info().face, "Quillon Fresh");
    EXPECT_TRUE(info()->faceSample->drawn());
    EXPECT_TRUE(info()->installButton->isVisible());
    EXPECT_TRUE(info()->originLabel->text().startsWith("Not installed"));
    viewer->sizeList->setListIndex(3);
    const QString size = viewer->sizeList->text();

    info()->installButton->click();
    EXPECT_TRUE(answers.texts.isEmpty()) << answers.texts.join('|').toStdString(); // nothing to ask or tell
    const QString installed = fontFolder() + "/QuillonFresh-Regular.otf";
    EXPECT_EQ(test::contents(installed), test::contents(path));
    EXPECT_TRUE(viewer->fontList->text().startsWith("Quillon Fresh"))
        << viewer->fontList->text().toStdString();
    EXPECT_EQ(viewer->sizeList->text(), size);
    EXPECT_TRUE(fcList().contains(installed));
    info()->info();
    EXPECT_FALSE(info()->installButton->isVisible()); // the window follows the installed face now

    // Once more: already installed, nothing copied.
    info()->setFile(path);
    info()->info();
    info()->installButton->click();
    ASSERT_EQ(answers.texts.size(), 1);
    EXPECT_TRUE(answers.texts[0].startsWith("QuillonFresh-Regular.otf is already installed"));
    EXPECT_EQ(QDir(fontFolder()).entryList(QDir::Files).size(), 1);

    // Remove… asks, naming the file and its faces; the file goes to the trash and the face from the list.
    const QString face = viewer->fontList->text();
    select(face);
    info()->info();
    EXPECT_TRUE(info()->removeButton->isVisible());
    EXPECT_TRUE(info()->originLabel->text().startsWith("Installed for you"));
    answers.press = "Move to Trash";
    info()->removeButton->click();
    ASSERT_EQ(answers.texts.size(), 2);
    EXPECT_TRUE(answers.texts[1].contains(installed));
    EXPECT_TRUE(answers.texts[1].contains("Quillon Fresh Regular"));
    EXPECT_FALSE(QFile::exists(installed));
    EXPECT_TRUE(QFile::exists(data.filePath("Trash/files/QuillonFresh-Regular.otf")));
    EXPECT_FALSE(listed(face));
    EXPECT_EQ(viewer->fontList->text(), first);

    // A system font's file is not offered for removal, and the window says where it comes from.
    select("DejaVu Sans");
    info()->info();
    EXPECT_FALSE(info()->removeButton->isVisible());
    EXPECT_TRUE(info()->originLabel->text().contains("not removed here"));
    EXPECT_EQ(info()->faceSample->sampleText(), "The quick brown fox jumps over the lazy dog 0123456789");
}

TEST_F(InstallWindowsTest, FilesDroppedOnTheMainWindowOpenAnInstallList)
{
    put("Family/Dropped-Regular.ttf", font("Quillon Dropped"));
    put("Family/Dropped-Bold.ttf", font("Quillon Dropped", "Bold"));
    put("Family/Broken.ttf", "no font");
    put("Family/Other.ttf", font("DejaVu Sans", "Book"));
    buildViewer();
    load();
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer.get()));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(download.filePath("Family"))});
    // As a drag from a file manager arrives: it enters over the sample text box, then drops.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewer->displayText, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewer->displayText, &drop);
    auto* list = viewer->findChild<install::InstallList*>("installList");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    ASSERT_EQ(list->itemsTable->topLevelItemCount(), 4);
    EXPECT_EQ(list->summaryLabel->text(),
              "2 new faces, 1 face installed from another file, 1 file that is not a font.");
    const auto row = [&](const char* file) {
        return list->itemsTable->findItems(QLatin1String(file), Qt::MatchExactly, 3).value(0);
    };
    // The face installed from another file names that file, and is left for the user to tick.
    ASSERT_NE(row("Other.ttf"), nullptr);
    EXPECT_TRUE(row("Other.ttf")->text(4).startsWith("same face from another file: "));
    EXPECT_TRUE(row("Other.ttf")->text(4).endsWith("/DejaVuSans.ttf"));
    EXPECT_EQ(row("Other.ttf")->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(test::accessibilityProblems(*list).isEmpty())
        << test::accessibilityProblems(*list).join('\n').toStdString();

    list->installButton->click();
    EXPECT_EQ(QDir(fontFolder()).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(viewer->fontList->text().startsWith("Quillon Dropped"))
        << viewer->fontList->text().toStdString();
    // Each row says where its file went; the face installed from another file can still be ticked.
    EXPECT_EQ(list->summaryLabel->text(), "2 files installed.");
    ASSERT_TRUE(row("Dropped-Bold.ttf") && row("Other.ttf"));
    EXPECT_EQ(row("Dropped-Bold.ttf")->text(4), "installed as Dropped-Bold.ttf");
    EXPECT_FALSE(row("Dropped-Bold.ttf")->data(0, Qt::CheckStateRole).isValid());
    EXPECT_EQ(row("Other.ttf")->checkState(0), Qt::Unchecked);
    EXPECT_FALSE(QFile::exists(fontFolder() + "/Other.ttf"));
}

TEST_F(InstallWindowsTest, AZipDroppedOnTheFaceInformationIsListedWithoutItsMacForks)
{
    const QString zip = download.filePath("Zipped.zip");
    ASSERT_TRUE(test::writeArchive(zip, test::ArchiveKind::Zip,
                                   {{"Zipped/Zipped-Regular.otf", font("Quillon Zipped")},
                                    {"__MACOSX/Zipped/._Zipped-Regular.otf", "fork"}}));
    buildViewer();
    load();
    QTest::keyClick(viewer->fontList, Qt::Key_I, Qt::ControlModifier);
    ASSERT_NE(info(), nullptr);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(zip)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(info(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(info(), &drop);
    auto* list = viewer->findChild<install::InstallList*>("installList");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->itemsTable->topLevelItemCount(), 1);
    EXPECT_EQ(list->itemsTable->topLevelItem(0)->text(0), "Quillon Zipped");
    EXPECT_EQ(list->itemsTable->topLevelItem(0)->toolTip(3), "Zipped.zip: Zipped/Zipped-Regular.otf");
    list->installButton->click();
    EXPECT_EQ(test::contents(fontFolder() + "/Zipped-Regular.otf"), font("Quillon Zipped"));
}

TEST_F(InstallWindowsTest, FontsCopiedInOrRemovedFromOutsideAreListedWithoutARestart)
{
    buildViewer();
    load();
    select("Liberation Sans");
    viewer->effect[0]->setChecked(true);
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer.get()));
    viewer->summaryButton_Click();
    auto* summary = viewer->findChild<Summary*>("Summary");
    ASSERT_NE(summary, nullptr);
    QTest::keyClick(viewer->fontList, Qt::Key_F, Qt::ControlModifier);
    auto* find = viewer->findChild<find::FindFaces*>("findFaces");
    ASSERT_NE(find, nullptr);
    QTest::keyClicks(find->nameField, "quillon outside");
    const auto everywhere = [&](bool wanted) {
        bool inList = false;
        for (int i = 0; i < viewer->fontList->count(); ++i)
            inList = inList || viewer->fontList->itemText(i).startsWith("Quillon Outside");
        const bool inSummary = !summary->faces().filter("Quillon Outside").isEmpty();
        const bool found = find->results()->rowCount() > 0;
        return inList == wanted && inSummary == wanted && found == wanted;
    };

    QDir().mkpath(fontFolder()); // made by the user while the program runs
    ASSERT_TRUE(test::SfntWriter::writeFile(fontFolder() + "/Outside.ttf", font("Quillon Outside")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return everywhere(true); }, 5000));
    EXPECT_EQ(viewer->fontList->text(), "Liberation Sans"); // the selection and effects stay
    EXPECT_TRUE(viewer->effect[0]->isChecked());

    QFile::remove(fontFolder() + "/Outside.ttf");
    EXPECT_TRUE(QTest::qWaitFor([&] { return everywhere(false); }, 5000));
}

TEST_F(InstallWindowsTest, TheFacesOfACollectionCanBePicked)
{
    buildViewer();
    load();
    QTest::keyClick(viewer->fontList, Qt::Key_I, Qt::ControlModifier);
    ASSERT_NE(info(), nullptr);
    info()->setFile(test::testFont("wqy-microhei.ttc"));
    const QString firstFace = info()->info().face;
    ASSERT_TRUE(info()->faceChoice->isVisible());
    ASSERT_EQ(info()->faceChoice->count(), 2);
    EXPECT_TRUE(info()->faceChoice->itemText(1).startsWith("Face 2 of 2: WenQuanYi Micro Hei Mono"));
    info()->faceChoice->setCurrentIndex(1);
    emit info()->faceChoice->activated(1);
    EXPECT_NE(info()->info().face, firstFace);
    EXPECT_TRUE(info()->faceSample->drawn());
}
