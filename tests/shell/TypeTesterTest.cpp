// The type tester opened from the main window as a user opens it, offscreen: it follows the selection,
// every control is reached and named, features change from the keyboard, the PDF is written whole or not
// at all.
#include "tester/TypeTester.h"

#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"
#include "support/FullDisk.h"
#include "support/SfntWriter.h"
#include "support/TestFiles.h"
#include "support/ViewerFixture.h"
#include "tester/AxisPanel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class TypeTesterTest : public test::ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        buildViewer();
        load();
    }

    TypeTester* open()
    {
        QTest::keyClick(viewer->fontList, Qt::Key_T, Qt::ControlModifier);
        return viewer->findChild<TypeTester*>("typeTester");
    }

    /// Selects the feature with `tag` in the list and gives the list the focus.
    static void selectFeature(TypeTester& tester, const char* tag)
    {
        QAbstractItemModel* model = tester.featureView->model();
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 0).data().toString() == QLatin1String(tag))
                tester.featureView->setCurrentIndex(model->index(row, 0));
        tester.featureView->setFocus();
    }
};

} // namespace

TEST_F(TypeTesterTest, CtrlTOpensItOnTheSampleFollowsTheSelectionAndEscapeClosesIt)
{
    select("DejaVu Sans");
    EXPECT_EQ(viewer->findChild<TypeTester*>("typeTester"), nullptr); // nothing is built while it is closed
    TypeTester* tester = open();
    ASSERT_NE(tester, nullptr);
    ASSERT_NE(tester->typesetter(), nullptr);
    EXPECT_EQ(tester->textBox->toPlainText(), viewer->displayText->toPlainText());
    EXPECT_FALSE(tester->typesetter()->tables().features.empty());
    EXPECT_TRUE(tester->axesGroup->isHidden()); // not a variable face

    select("Liberation Serif");
    EXPECT_EQ(tester->face(), "Liberation Serif");
    ASSERT_NE(tester->typesetter(), nullptr);

    // The face lacks a character of the text: it is named.
    tester->setText(QStringLiteral("Serif 漢"));
    EXPECT_TRUE(tester->missingLabel->text().contains(QStringLiteral("漢 U+6F22")));

    QPointer<TypeTester> guard(tester);
    QTest::keyClick(tester->featureView, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(guard && guard->isVisible());

    // The face information window opens it too, on the same face.
    QTest::keyClick(viewer->fontList, Qt::Key_I, Qt::ControlModifier);
    auto* button = viewer->findChild<QPushButton*>("typeTesterAction");
    ASSERT_NE(button, nullptr);
    button->click();
    ASSERT_NE(viewer->findChild<TypeTester*>("typeTester"), nullptr);
    EXPECT_EQ(viewer->findChild<TypeTester*>("typeTester")->face(), "Liberation Serif");
}

TEST_F(TypeTesterTest, EveryControlIsNamedAndFeaturesChangeFromTheKeyboard)
{
    select("DejaVu Sans");
    TypeTester* tester = open();
    ASSERT_NE(tester, nullptr);
    ASSERT_NE(tester->typesetter(), nullptr);
    // A screen reader speaks each control that takes the focus: by its own text, its name, or its label.
    QSet<QWidget*> labelled;
    for (QLabel* label : tester->findChildren<QLabel*>())
        if (label->buddy()) labelled.insert(label->buddy());
    for (QWidget* w : tester->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(tester) || w->parent() == nullptr) continue;
        if (w->inherits("QScrollBar") || w->inherits("QHeaderView") ||
            w->parent()->inherits("QAbstractSpinBox"))
            continue; // parts of a control, spoken as the control
        const auto* button = qobject_cast<QAbstractButton*>(w);
        const bool named =
            !w->accessibleName().isEmpty() || labelled.contains(w) || (button && !button->text().isEmpty());
        EXPECT_TRUE(named) << w->metaObject()->className() << " " << w->objectName().toStdString();
    }

    selectFeature(*tester, "liga");
    QTest::keyClick(tester->featureView, Qt::Key_Space);
    EXPECT_EQ(tester->settings().feature("liga"), 1u);
    QTest::keyClick(tester->featureView, Qt::Key_Space);
    EXPECT_EQ(tester->settings().feature("liga"), 0u);
    EXPECT_TRUE(tester->offButton->isChecked());
    EXPECT_TRUE(tester->css().contains(QStringLiteral("font-feature-settings: \"liga\" 0;")));
    QTest::keyClick(tester->featureView, Qt::Key_Space);
    EXPECT_FALSE(tester->settings().feature("liga"));

    // An alternate for a feature that takes one.
    selectFeature(*tester, "salt");
    tester->onButton->click();
    tester->alternateBox->setValue(3);
    EXPECT_EQ(tester->settings().feature("salt"), 3u);
    EXPECT_EQ(tester->typesetter()->settings().feature("salt"), 3u); // what is drawn follows at once
}

TEST_F(TypeTesterTest, APdfIsWrittenWholeOrNotAtAll)
{
    select("DejaVu Sans");
    TypeTester* tester = open();
    ASSERT_NE(tester, nullptr);
    tester->setText(QStringLiteral("Quillon ﬁ"));
    QTemporaryDir dir;
    const QString path = dir.filePath("sample.pdf");
    {
        test::FullDisk disk(dir.path());
        test::writeFile(path, "an earlier file");
        disk.fill();
        EXPECT_TRUE(tester->saveAsPdf(path).startsWith("the file was not written: the disk is full"));
        EXPECT_EQ(test::contents(path), "an earlier file");
        disk.release();
        ASSERT_EQ(tester->saveAsPdf(path), QString());
        const QByteArray pdf = test::contents(path);
        EXPECT_TRUE(pdf.startsWith("%PDF-"));
        EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary file left
    }
}

TEST_F(TypeTesterTest, AFileWithTensOfThousandsOfFeaturesOpens)
{
    QByteArrayList tags;
    for (int i = 0; i < 65535; ++i) tags << QByteArray::number(0x1000 + i, 16).right(4);
    QTemporaryDir dir;
    const QString path = dir.filePath("many.ttf");
    ASSERT_TRUE(test::SfntWriter::writeFile(
        path,
        test::SfntWriter::minimalFontTables(test::SfntWriter::names("Many Test", "Regular", "Many Test"))
            .add("GSUB", test::SfntWriter::layout({"latn"}, tags.mid(0, 30000)))
            .add("GPOS", test::SfntWriter::layout({}, tags))
            .build()));
    select("DejaVu Sans");
    TypeTester* tester = open();
    ASSERT_NE(tester, nullptr);
    tester->setFile(path);
    ASSERT_NE(tester->typesetter(), nullptr);
    EXPECT_EQ(tester->featureView->model()->rowCount(), 65535);
    tester->featureView->setFocus();
    QTest::keyClick(tester->featureView, Qt::Key_End);
    QTest::keyClick(tester->featureView, Qt::Key_Space);
    EXPECT_EQ(tester->settings().feature("ffff"), 1u); // the last of them, by tag
}

TEST_F(TypeTesterTest, TheAxesFollowTheirSlidersFieldsAndInstances)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vary.ttf");
    std::vector<test::SfntName> names = test::SfntWriter::names("Vary Test", "Regular", "Vary Test");
    names.push_back({3, 1, 0x0409, 258, test::SfntWriter::utf16("Bold")});
    ASSERT_TRUE(test::SfntWriter::writeFile(
        path, test::SfntWriter::minimalVariableFontTables(names, {{258, 700, 0}}).build()));
    select("DejaVu Sans");
    TypeTester* tester = open();
    ASSERT_NE(tester, nullptr);
    tester->setFile(path);
    ASSERT_NE(tester->typesetter(), nullptr);
    EXPECT_FALSE(tester->axesGroup->isHidden());
    QComboBox* instances = tester->axisPanel->instanceList();
    ASSERT_EQ(instances->count(), 2); // "Custom" and Bold
    instances->setCurrentIndex(1);
    emit instances->activated(1);
    EXPECT_EQ(tester->typesetter()->coordinates(), (std::vector<double>{700, 0}));
    EXPECT_EQ(tester->axisPanel->field(0)->value(), 700);

    tester->axisPanel->field(0)->setValue(650);
    EXPECT_EQ(instances->currentIndex(), 0); // no instance lies there
    EXPECT_EQ(tester->typesetter()->coordinates()[0], 650);
    EXPECT_TRUE(tester->css().contains(QStringLiteral("font-variation-settings: \"wght\" 650;")));
    QSlider* slider = tester->axisPanel->slider(1);
    slider->setValue(slider->minimum());
    EXPECT_EQ(tester->typesetter()->coordinates()[1], -10);
    EXPECT_TRUE(tester->axisPanel->slider(0)->accessibleName().startsWith("wght"));
}

TEST_F(TypeTesterTest, ANameNoFaceHasDrawsNothing)
{
    select("DejaVu Sans");
    TypeTester* tester = open();
    ASSERT_NE(tester, nullptr);
    tester->setFace(QStringLiteral("No Such Face"));
    EXPECT_EQ(tester->typesetter(), nullptr); // never a substitute
    EXPECT_EQ(tester->featureView->model()->rowCount(), 0);
}
