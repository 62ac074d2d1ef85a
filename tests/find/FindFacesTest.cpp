// The Find Faces window on the tests' fonts, driven from the keyboard as a user drives it: a name typed,
// filters chosen, a face chosen with Enter, Escape; what it keeps for the next time; every control reached
// by Tab and named for a screen reader; sample pictures drawn off the window's thread.
#include "find/FindFaces.h"
#include "catalogue/FontListLoader.h"
#include "catalogue/MemoryFaceList.h"
#include "find/FaceFinder.h"
#include "find/FindIndex.h"
#include "find/FindResults.h"
#include "platform/linux/LinuxPlatform.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "support/QtPrint.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::find;

namespace {

class FindFacesTest : public ::testing::Test {
protected:
    QTemporaryDir config;
    std::unique_ptr<platform::LinuxPlatform> machine;
    FontCatalogue catalogue;
    std::unique_ptr<FindIndex> index;
    QStringList chosen;

    void SetUp() override
    {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8()); // the filters kept are this test's own
        machine = std::make_unique<platform::LinuxPlatform>();
        MemoryFaceList names;
        FontListLoader(machine->platform().registry, machine->platform().systemInfo, catalogue)
            .LoadFontList(names);
        index = std::make_unique<FindIndex>(machine->platform().faceSurvey, catalogue);
    }

    std::unique_ptr<FindFaces> open()
    {
        FindFaces::Owner owner;
        owner.selectFace = [this](const QString& face) { chosen << face; };
        owner.sampleText = [] { return QStringLiteral("Ж€"); };
        auto window = std::make_unique<FindFaces>(*index, machine->platform(), owner);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return index->finder() && index->finder()->layoutKnown(); }, 20000));
        QCoreApplication::processEvents();
        return window;
    }

    static QStringList shown(const FindFaces& window)
    {
        QStringList out;
        for (int r = 0; r < window.results()->rowCount(); ++r)
            out << window.results()->index(r).data().toString();
        return out;
    }
};

} // namespace

TEST_F(FindFacesTest, NarrowsWithEachFilterAndChoosesWithEnter)
{
    auto window = open();
    EXPECT_EQ(shown(*window), catalogue.fontNames);
    QTest::keyClicks(window->nameField, QStringLiteral("dejavu sans"));
    EXPECT_EQ(shown(*window), (QStringList{"DejaVu Sans", "DejaVu Sans Mono"}));
    EXPECT_EQ(window->counts[0]->text(), "2");
    QTest::keyClick(window->monospacedBox, Qt::Key_Space);
    EXPECT_EQ(shown(*window), QStringList{"DejaVu Sans Mono"});
    EXPECT_EQ(window->counts[0]->text(), "2"); // the name's count stays, the spacing's is one
    EXPECT_EQ(window->counts[6]->text(), "1");

    // Down from the name field reaches the faces; Enter chooses one.
    QTest::keyClick(window->nameField, Qt::Key_Down);
    EXPECT_TRUE(window->resultsList->hasFocus());
    QTest::keyClick(window->resultsList, Qt::Key_Return);
    EXPECT_EQ(chosen, QStringList{"DejaVu Sans Mono"});

    QTest::keyClick(window->clearButton, Qt::Key_Space);
    QTest::keyClick(window->sampleTextButton, Qt::Key_Space);
    EXPECT_EQ(window->textField->text(), "Ж€");
    const FaceFinder& finder = *index->finder();
    EXPECT_FALSE(shown(*window).isEmpty());
    EXPECT_LT(shown(*window).size(), catalogue.fontNames.size()); // the bitmap faces have no Ж
    for (int r = 0; r < window->results()->rowCount(); ++r)
        EXPECT_TRUE(finder.hasCharacters(window->results()->index(r).data(FindResultsModel::FaceRole).toInt(),
                                         {U'Ж', U'€'}));
    window->textField->clear();
    window->featureList->setEditText(QStringLiteral("liga"));
    EXPECT_FALSE(shown(*window).isEmpty());
    EXPECT_FALSE(shown(*window).contains("Liberation Mono")); // it has no ligatures
    for (int r = 0; r < window->results()->rowCount(); ++r)
        EXPECT_TRUE(finder.features(window->results()->index(r).data(FindResultsModel::FaceRole).toInt())
                        .contains("liga"));
    window->featureList->setEditText(QString());
    window->formatList->setCurrentIndex(3); // collections: a Windows .fon of several sizes is none
    EXPECT_EQ(shown(*window), QStringList{"WenQuanYi Micro Hei"});
    QTest::keyClick(window->resultsList, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FindFacesTest, OffersLanguagesByScriptAndKeepsTheFiltersForNextTime)
{
    {
        auto window = open();
        int georgian = -1;
        for (int r = 0; r < window->writingSystemList->count(); ++r)
            if (window->writingSystemList->itemData(r, Qt::UserRole + 1).toString() == "lang:ka")
                georgian = r;
        ASSERT_GT(georgian, 0);
        window->writingSystemList->setCurrentIndex(georgian);
        EXPECT_EQ(shown(*window), (QStringList{"DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif"}));
        EXPECT_TRUE(window->writingSystemList->currentText().contains("Georgian"));
        // The samples are drawn in Georgian letters, off the window's thread.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->rows()->pictures() >= 3; }, 10000));
        const QString sample = window->results()->index(0).data(FindResultsModel::SampleRole).toString();
        EXPECT_EQ(QChar::script(sample.toUcs4().front()), QChar::Script_Georgian) << sample.toStdString();
        window->nameField->setText(QStringLiteral("serif"));
        window->close();
    }
    auto again = open();
    EXPECT_EQ(again->nameField->text(), "serif");
    EXPECT_EQ(again->query().language, "ka");
    EXPECT_EQ(shown(*again), QStringList{"DejaVu Serif"});
}

TEST_F(FindFacesTest, ReachesEveryControlByTabAndNamesIt)
{
    auto window = open();
    QWidget* first = window->nameField;
    first->setFocus();
    QSet<QWidget*> reached;
    for (int i = 0; i < 20; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // An editable list's own field stands for the list.
        QWidget* control = qobject_cast<QComboBox*>(focus->parentWidget()) ? focus->parentWidget() : focus;
        reached.insert(control);
        EXPECT_FALSE(control->accessibleName().isEmpty())
            << control->metaObject()->className() << " " << control->objectName().toStdString();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (QWidget* control : QList<QWidget*>{
             window->nameField, window->writingSystemList, window->textField, window->sampleTextButton,
             window->featureList, window->variationList, window->colourBox, window->monospacedBox,
             window->formatList, window->originList, window->clearButton, window->resultsList})
        EXPECT_TRUE(reached.contains(control)) << control->objectName().toStdString();
}
