// The numeric entry box as a user meets it: typed into through its real text box, focus moved in and
// out, clipboard keys pressed, and its property store read and written.
#include "controls/Tallyfield.h"
#include "RecordingPropertyBag.h"
#include "controls/VariantPropertyBag.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

using namespace quillon;
using quillon::test::RecordingPropertyBag;

namespace {

struct TallyfieldTest : ::testing::Test {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    Tallyfield* field = new Tallyfield(window.get());
    QLineEdit* other = new QLineEdit(window.get());
    QLineEdit* txt = nullptr;
    int beeps = 0;
    int changes = 0;

    void SetUp() override
    {
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(field);
        layout->addWidget(other);
        field->setObjectName("Tallyfield1");
        field->setBeep([this] { ++beeps; });
        QObject::connect(field, &Tallyfield::Change, [this] { ++changes; });
        txt = field->findChild<QLineEdit*>("txtNumber");
        ASSERT_NE(txt, nullptr);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other->setFocus();
        QCoreApplication::processEvents();
    }

    void enter()
    {
        txt->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    void leave()
    {
        other->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    void type(const QString& text) { QTest::keyClicks(txt, text); }
    void ctrl(Qt::Key key) { QTest::keyClick(txt, key, Qt::ControlModifier); }
};

} // namespace

TEST_F(TallyfieldTest, DefaultFormatTakesTenCharactersUnlessAllIsSelected)
{
    enter();
    type("12345678901");
    EXPECT_EQ(txt->text(), "1234567890");
    EXPECT_EQ(beeps, 1);
    txt->selectAll();
    type("7");
    EXPECT_EQ(txt->text(), "7");
    // Letters, blanks and commas are refused without a beep.
    type("a ,(");
    EXPECT_EQ(txt->text(), "7");
    EXPECT_EQ(beeps, 1);
}

TEST_F(TallyfieldTest, CopiesFieldRefusesSignPointAndThirdDigit)
{
    field->setFormat("#0");
    field->setPositiveOnly(true);
    field->setValue(0);
    EXPECT_EQ(txt->text(), "0");
    enter();
    EXPECT_TRUE(txt->selectedText() == "0");
    type("-");
    type(".");
    EXPECT_EQ(txt->text(), "0"); // both refused: the selection was not typed over
    EXPECT_EQ(beeps, 0);
    type("12");
    EXPECT_EQ(txt->text(), "12");
    type("3");
    EXPECT_EQ(txt->text(), "12");
    EXPECT_EQ(beeps, 1);
    QTest::keyClick(txt, Qt::Key_Backspace);
    EXPECT_EQ(txt->text(), "1");
    // Delete is a key, not a character the filter could refuse (X11 attaches the character 127 to it).
    txt->setCursorPosition(0);
    QTest::keyClick(txt, Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(txt->text(), "");
    type("34");
    txt->setCursorPosition(0);
    QKeyEvent x11Delete(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
    QApplication::sendEvent(txt, &x11Delete);
    EXPECT_EQ(txt->text(), "4");
    EXPECT_EQ(beeps, 1);
}

TEST_F(TallyfieldTest, MinusOnlyAtTheStartAndPointOnlyOnce)
{
    enter();
    type("5-");
    EXPECT_EQ(txt->text(), "5");
    txt->setCursorPosition(0);
    type("-");
    txt->setCursorPosition(0);
    type("-");
    EXPECT_EQ(txt->text(), "--5");
    txt->end(false);
    type(".2.");
    EXPECT_EQ(txt->text(), "--5.2");
    leave();
    EXPECT_EQ(txt->text(), "(5.20)");
    // A format without a point refuses one.
    field->setFormat("#0");
    enter();
    txt->clear();
    type("4.");
    EXPECT_EQ(txt->text(), "4");
}

TEST_F(TallyfieldTest, FocusShowsTheBareNumberAndLeavingMasksIt)
{
    enter();
    EXPECT_TRUE(field->GotFocus());
    type("1234.5");
    leave();
    EXPECT_FALSE(field->GotFocus());
    EXPECT_EQ(txt->text(), "1,234.50");
    EXPECT_TRUE(txt->alignment() & Qt::AlignRight);
    enter();
    EXPECT_EQ(txt->text(), "1234.50");
    EXPECT_EQ(txt->selectedText(), "1234.50");
    EXPECT_TRUE(txt->alignment() & Qt::AlignLeft);
    // Typing over the selection starts a new number.
    type("8");
    leave();
    EXPECT_EQ(txt->text(), "8.00");

    // Losing the window is not leaving the field: nothing is masked, but a closed window's field no
    // longer counts as focused, so opening the window again enters it anew.
    enter();
    type("9");
    window->hide();
    EXPECT_EQ(txt->text(), "9");
    EXPECT_FALSE(field->GotFocus());
}

TEST_F(TallyfieldTest, LockedFieldKeepsItsMaskAndTakesNoTyping)
{
    field->setValue(1234.5);
    field->setLocked(true);
    enter();
    EXPECT_EQ(txt->text(), "1,234.50");
    EXPECT_TRUE(txt->alignment() & Qt::AlignRight);
    txt->selectAll();
    type("9");
    QTest::keyClick(txt, Qt::Key_Backspace);
    EXPECT_EQ(txt->text(), "1,234.50");
    EXPECT_EQ(beeps, 0);
    leave();
    EXPECT_EQ(txt->text(), "1,234.50");
}

TEST_F(TallyfieldTest, ValueReadsAnIntegerZeroOrADouble)
{
    txt->clear();
    QVariant empty = field->Value();
    EXPECT_EQ(empty.typeId(), QMetaType::Short);
    EXPECT_EQ(empty.toInt(), 0);
    field->setValue(1234.5);
    EXPECT_EQ(txt->text(), "1,234.50");
    QVariant value = field->Value();
    EXPECT_EQ(value.typeId(), QMetaType::Double);
    EXPECT_EQ(value.toDouble(), 1234.5);
    // Digits the mask cannot hold are gone from the value too.
    field->setValue(1234567.891);
    EXPECT_EQ(field->Value().toDouble(), 234567.89);
    // A negative number under a format without a negative section or sign gets a minus.
    field->setFormat("#,##0.00");
    field->setValue(-1234.5);
    EXPECT_EQ(txt->text(), "-1,234.50");
    EXPECT_EQ(field->Value().toDouble(), -1234.5);
}

TEST_F(TallyfieldTest, AssigningValueAlwaysRaisesChange)
{
    field->setFormat("#0");
    field->setValue(5);
    EXPECT_EQ(changes, 1);
    field->setValue(5);
    EXPECT_EQ(changes, 2);
    field->setValue(QString("5"));
    EXPECT_EQ(changes, 3);
    // Under the default format a masked 1,234.50 reads as another number than 1234.50, so the change
    // handling adds one of its own.
    field->setFormat(Tallyfield::kDefaultFormat);
    changes = 0;
    field->setValue(1234.5);
    EXPECT_EQ(changes, 2);
    changes = 0;
    field->Highlight();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(txt->selectedText(), "1234.50");
}

TEST_F(TallyfieldTest, TypingRaisesChangeOnlyWhenTheValueChanges)
{
    enter();
    type("5");
    EXPECT_EQ(changes, 1);
    type(".");
    type("0");
    EXPECT_EQ(changes, 1); // 5, 5. and 5.0 are one value
    type("1");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(field->lastText().toString(), "5.01");
    // Masking on the way out changes no value here, so no event.
    leave();
    EXPECT_EQ(changes, 2);
}

TEST_F(TallyfieldTest, ClipboardKeysActOnTheWholeText)
{
    QClipboard* clipboard = QApplication::clipboard();
    enter();
    type("1234");
    txt->setSelection(1, 2);
    ctrl(Qt::Key_C);
    EXPECT_EQ(clipboard->text(), "1234");
    EXPECT_EQ(txt->text(), "1234");

    clipboard->setText("abc");
    ctrl(Qt::Key_V);
    EXPECT_EQ(txt->text(), "0.00");
    EXPECT_EQ(txt->selectedText(), "0.00");

    clipboard->setText("(1,5)");
    ctrl(Qt::Key_V);
    EXPECT_EQ(txt->text(), "(15.00)");

    txt->setSelection(0, 1);
    ctrl(Qt::Key_X);
    EXPECT_EQ(clipboard->text(), "(15.00)");
    EXPECT_EQ(txt->text(), "");

    // The keys act on a locked field too, and the text box's own clipboard handling never runs.
    field->setLocked(true);
    clipboard->setText("42");
    ctrl(Qt::Key_V);
    EXPECT_EQ(txt->text(), "42.00");
    ctrl(Qt::Key_Z);
    EXPECT_EQ(txt->text(), "42.00");
}

TEST_F(TallyfieldTest, KeyAndMouseEventsCarryWindowsCodesAndTwips)
{
    QList<short> pressed;
    QList<QPair<short, short>> released;
    QList<QPointF> downs;
    QObject::connect(field, &Tallyfield::KeyPress, [&](short& code) { pressed << code; });
    QObject::connect(field, &Tallyfield::KeyUp,
                     [&](short& code, short& shift) { released << qMakePair(code, shift); });
    QObject::connect(field, &Tallyfield::MouseDown, [&](short button, short, float x, float y) {
        EXPECT_EQ(button, 1);
        downs << QPointF(x, y);
    });
    enter();
    QTest::keyClick(txt, Qt::Key_A);
    QTest::keyClick(txt, Qt::Key_Up);
    QTest::keyClick(txt, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(txt, Qt::Key_Return);
    // The Shift key is a key-down of its own (16).
    EXPECT_EQ(pressed, (QList<short>{65, 38, 16, 40, 13}));
    EXPECT_TRUE(released.contains(qMakePair(short(38), short(0))));
    EXPECT_TRUE(released.contains(qMakePair(short(40), short(1))));
    EXPECT_EQ(released.last(), qMakePair(short(13), short(0)));
    QTest::mouseClick(txt, Qt::LeftButton, {}, QPoint(4, 6));
    ASSERT_EQ(downs.size(), 1);
    EXPECT_EQ(downs[0], QPointF(60, 90));
}

TEST_F(TallyfieldTest, WindowKeysReachTheHostingDialog)
{
    QDialog dialog;
    auto* inDialog = new Tallyfield(&dialog);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* box = inDialog->findChild<QLineEdit*>("txtNumber");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(TallyfieldTest, NeverLowerThanTheMinimumAndTheBoxFillsIt)
{
    auto* loose = new Tallyfield;
    std::unique_ptr<Tallyfield> owner(loose);
    EXPECT_EQ(loose->size(), QSize(81, 20)); // 1215 x 300 twips when placed
    loose->show();
    loose->resize(120, 5);
    EXPECT_EQ(loose->height(), 19); // 285 twips
    EXPECT_EQ(loose->findChild<QLineEdit*>("txtNumber")->geometry(), QRect(0, 0, 120, 19));
    loose->resize(100, 40);
    EXPECT_EQ(loose->findChild<QLineEdit*>("txtNumber")->geometry(), QRect(0, 0, 100, 40));
}

TEST_F(TallyfieldTest, ColourTextsAreKeptAndShownWhenTheyAreNumbers)
{
    field->setBackColor("&H000000FF&");
    EXPECT_EQ(field->BackColor(), "&H000000FF&");
    EXPECT_EQ(txt->palette().color(QPalette::Base), QColor(255, 0, 0));
    field->setForeColor("65280");
    EXPECT_EQ(txt->palette().color(QPalette::Text), QColor(0, 255, 0));
    field->setForeColor("green");
    EXPECT_EQ(field->ForeColor(), "green");
    EXPECT_EQ(txt->palette().color(QPalette::Text), QColor(0, 255, 0));
    field->setBackColor(Tallyfield::kDefaultBackColor);
    EXPECT_EQ(txt->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
}

TEST(TallyfieldStore, ReadsAndWritesInItsOrderWithItsDefaults)
{
    Tallyfield field;
    RecordingPropertyBag fresh;
    field.WriteProperties(fresh);
    EXPECT_EQ(fresh.writes, (QStringList{"Value", "Format", "Enabled", "PositiveOnly", "BackColor",
                                         "ForeColor", "Locked"}));
    EXPECT_EQ(fresh.written, fresh.writeDefaults); // a newly placed control holds every default
    EXPECT_EQ(fresh.writeDefaults.value("Format").toString(), "###,##0.00;(##,###.00)");
    EXPECT_EQ(fresh.writeDefaults.value("BackColor").toString(), "&H80000005&");
    EXPECT_EQ(fresh.writeDefaults.value("ForeColor").toString(), "&H80000008&");
    EXPECT_EQ(fresh.writeDefaults.value("Value").toString(), "");
    EXPECT_EQ(field.maxLength(), 10);

    RecordingPropertyBag stored({{"Format", "#0"}, {"PositiveOnly", true}, {"Value", 123}, {"Locked", true}});
    field.ReadProperties(stored);
    EXPECT_EQ(stored.reads, (QStringList{"Format", "Enabled", "PositiveOnly", "BackColor", "ForeColor",
                                         "Value", "Locked"}));
    EXPECT_EQ(stored.readDefaults, fresh.writeDefaults);
    EXPECT_EQ(field.maxLength(), 2);
    EXPECT_TRUE(field.Locked());
    EXPECT_EQ(field.findChild<QLineEdit*>("txtNumber")->text(), "23"); // opens masked
    EXPECT_TRUE(field.findChild<QLineEdit*>("txtNumber")->isReadOnly());
}

TEST(TallyfieldStore, SavesTheAssignedValueNotTheShownText)
{
    Tallyfield field;
    field.setFormat("#0");
    QStringList marked;
    QObject::connect(&field, &Tallyfield::propertyChanged, [&](const QString& name) { marked << name; });
    field.setValue(QString("(7)"));
    field.findChild<QLineEdit*>("txtNumber")->setText("9");
    EXPECT_EQ(marked, QStringList{"Value"});

    VariantPropertyBag bag;
    field.WriteProperties(bag);
    EXPECT_EQ(bag.contents().value("Value").toString(), "(7)");
    EXPECT_EQ(bag.contents().value("Format").toString(), "#0");
    EXPECT_FALSE(bag.contents().contains("Enabled")); // defaults are left out

    Tallyfield copy;
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.findChild<QLineEdit*>("txtNumber")->text(), "-7");
    EXPECT_EQ(copy.storedValue().toString(), "(7)");
}
