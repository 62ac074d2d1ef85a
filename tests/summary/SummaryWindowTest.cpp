// The summary window driven as a user drives it: keys on the window, the page it draws, closing.
#include "summary/PictureBox.h"
#include "summary/Summary.h"
#include "summary/SummaryPainter.h"
#include "support/FakeFontSystem.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <numeric>

using quillon::Summary;
using quillon::SummaryPainter;

namespace {

// Faces from the tests' own fonts, repeated under distinct names so counts can be any size.
QStringList faces(int count)
{
    const QStringList real = {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Serif"),
                              QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Sans")};
    QStringList names;
    for (int i = 0; i < count; ++i) names << real.at(i % real.size());
    // Distinct names sort predictably: face i becomes "<real> NN"; unknown names fall back like any other.
    for (int i = 0; i < count; ++i)
        names[i] = QStringLiteral("%1 %2").arg(names[i]).arg(i, 3, 10, QLatin1Char('0'));
    return names;
}

std::vector<int> range(int from, int to)
{
    std::vector<int> v(static_cast<std::size_t>(to - from));
    std::iota(v.begin(), v.end(), from);
    return v;
}

// Whether any pixel in the rows [top, bottom) of the picture differs from the background.
bool inked(const QImage& picture, int top, int bottom, QColor background, int left = 0, int right = -1)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (right < 0) right = image.width();
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y)
        for (int x = left; x < std::min(right, image.width()); ++x)
            if (image.pixelColor(x, y) != background) return true;
    return false;
}

struct Window {
    QPointer<Summary> summary;
    int ended = 0;
    explicit Window(const QStringList& names, QRect owner = QRect(100, 100, 600, 500))
    {
        summary = new Summary(names, owner, [this] { ++ended; });
    }
    ~Window() { delete summary.data(); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(summary.data(), key, modifiers);
    }
};

} // namespace

TEST(SummaryWindow, LoadSortsTheNamesIgnoringCaseAndSetsTheRange)
{
    Window w({QStringLiteral("beta"), QStringLiteral("Alpha"), QStringLiteral("gamma"),
              QStringLiteral("ALPHA"), QStringLiteral("Beta")});
    Summary& s = *w.summary;
    EXPECT_EQ(s.windowTitle(), QStringLiteral(" Font Summary"));
    ASSERT_EQ(s.fontList->count(), 5);
    QStringList order;
    for (int i = 0; i < s.fontList->count(); ++i) order << s.fontList->itemText(i);
    EXPECT_EQ(order, (QStringList{"Alpha", "ALPHA", "beta", "Beta", "gamma"}));
    EXPECT_FALSE(s.fontList->isVisibleTo(&s));
    EXPECT_EQ(s.faceCount(), 5);
    EXPECT_EQ(s.topIndex(), 0);
    EXPECT_EQ(s.VScroll->minimum(), 0);
    EXPECT_EQ(s.VScroll->maximum(), 0);
    EXPECT_EQ(s.VScroll->pageStep(), 16);
    EXPECT_EQ(s.VScroll->singleStep(), 1);
    EXPECT_EQ(s.labelFace(), s.FontPicture->font().family());
    EXPECT_EQ(s.size(), QSize(376, 293));
    EXPECT_EQ(s.FontPicture->geometry(), QRect(16, 16, 327, 257));
}

TEST(SummaryWindow, PlacesItselfOverTheOwner)
{
    // Owner 3000..12000 x 1500..10500 twips; window 5640 x 4395 twips inside, 5730 x 4770 with its frame.
    Window w(faces(3), QRect(200, 100, 600, 600));
    const double left = (9000 - 5730) / 2.0 + 3000 + 15;
    const double top = (9000 - 4770) / 2.0 + 1500 + 150;
    EXPECT_EQ(w.summary->pos(), QPoint(qRound(left / 15), qRound(top / 15)));
}

TEST(SummaryWindow, KeysPageThroughFortyFacesAndRedrawOnlyOnChange)
{
    Window w(faces(40));
    Summary& s = *w.summary;
    s.DrawSummary();
    EXPECT_EQ(s.VScroll->maximum(), 24);
    EXPECT_EQ(s.drawnRows(), range(0, 16));

    int draws = s.drawCount();
    w.key(Qt::Key_PageUp); // at the top: no change, no redraw
    EXPECT_EQ(s.drawCount(), draws);
    w.key(Qt::Key_Up);
    EXPECT_EQ(s.drawCount(), draws);

    w.key(Qt::Key_PageDown);
    EXPECT_EQ(s.topIndex(), 16);
    EXPECT_EQ(s.drawCount(), ++draws);
    EXPECT_EQ(s.drawnRows(), range(16, 32));
    w.key(Qt::Key_PageDown);
    EXPECT_EQ(s.topIndex(), 24);
    EXPECT_EQ(s.drawnRows(), range(24, 40)); // the last page shows the last sixteen faces
    draws = s.drawCount();
    w.key(Qt::Key_Down);
    w.key(Qt::Key_PageDown);
    EXPECT_EQ(s.topIndex(), 24);
    EXPECT_EQ(s.drawCount(), draws);
    w.key(Qt::Key_Up);
    EXPECT_EQ(s.topIndex(), 23);
    w.key(Qt::Key_PageUp);
    EXPECT_EQ(s.topIndex(), 7);
    w.key(Qt::Key_PageUp);
    EXPECT_EQ(s.topIndex(), 0);
    EXPECT_EQ(s.VScroll->value(), s.topIndex());

    // The scroll bar moved by the mouse redraws the same way.
    s.VScroll->setValue(10);
    EXPECT_EQ(s.topIndex(), 10);
    EXPECT_EQ(s.drawnRows(), range(10, 26));
}

TEST(SummaryWindow, TheWindowSeesEachKeyOnceAndAFocusedScrollBarStepsByItselfToo)
{
    Window w(faces(40));
    Summary& s = *w.summary;
    s.show();
    QApplication::setActiveWindow(&s);
    ASSERT_EQ(QApplication::focusWidget(), s.FontPicture);
    QTest::keyClick(s.FontPicture, Qt::Key_Down);
    EXPECT_EQ(s.topIndex(), 1);

    QTest::keyClick(s.FontPicture, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), s.VScroll);
    QTest::keyClick(s.VScroll, Qt::Key_Down);
    EXPECT_EQ(s.topIndex(), 3);
    QTest::keyClick(s.VScroll, Qt::Key_Up);
    EXPECT_EQ(s.topIndex(), 1);
    EXPECT_EQ(s.VScroll->value(), 1);
    QTest::keyClick(s.VScroll, Qt::Key_Escape);
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(w.ended, 0);
}

TEST(SummaryWindow, ExactlyOnePageOrLessDrawsEveryFaceAndNothingBelow)
{
    for (int count : {16, 5, 0}) {
        SCOPED_TRACE(count);
        Window w(faces(count));
        Summary& s = *w.summary;
        s.DrawSummary();
        const int draws = s.drawCount();
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_PageUp}) w.key(key);
        EXPECT_EQ(s.topIndex(), 0);
        EXPECT_EQ(s.drawCount(), draws);
        EXPECT_EQ(s.drawnRows(), range(0, count));

        const QImage& picture = s.picture();
        const QColor background = s.FontPicture->backColor();
        for (int row = 0; row < count; ++row) {
            EXPECT_TRUE(inked(picture, row * 16, row * 16 + 16, background, 0, 120))
                << "label of row " << row;
            EXPECT_TRUE(inked(picture, row * 16, row * 16 + 16, background, 120)) << "sample of row " << row;
        }
        // Every row below the last face stays as cleared.
        EXPECT_FALSE(inked(picture, count * 16 + 2, picture.height(), background));
    }
}

TEST(SummaryWindow, TheSampleCoversTheEndOfALongName)
{
    const QString longName = QStringLiteral("DejaVu Sans ") + QString(40, QLatin1Char('W'));
    Window w({longName});
    Summary& s = *w.summary;
    s.DrawSummary();
    const QImage picture = s.picture().convertToFormat(QImage::Format_ARGB32);
    const QColor background = s.FontPicture->backColor();
    // The name runs on past the sample: ink far to the right of where the sample ends, but the sample's own
    // cell (from x 120) shows the sample on a clean background, not the name's letters through it.
    QImage sampleOnly(picture.size(), QImage::Format_ARGB32);
    sampleOnly.fill(background);
    {
        Window shortName({QStringLiteral("DejaVu Sans 000")});
        shortName.summary->DrawSummary();
        sampleOnly = shortName.summary->picture().convertToFormat(QImage::Format_ARGB32);
    }
    // Compare the sample's first glyphs (x 120..160): the same pixels whatever the name beneath.
    for (int y = 0; y < 16; ++y)
        for (int x = 121; x < 160; ++x)
            ASSERT_EQ(picture.pixelColor(x, y), sampleOnly.pixelColor(x, y)) << x << "," << y;
}

TEST(SummaryWindow, EscapeClosesAndWithAModifierAlsoEndsTheProgram)
{
    {
        Window w(faces(3));
        w.summary->show();
        w.key(Qt::Key_Escape);
        EXPECT_FALSE(w.summary && w.summary->isVisible());
        EXPECT_EQ(w.ended, 0);
    }
    for (Qt::KeyboardModifier modifier : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        Window w(faces(3));
        w.summary->show();
        w.key(Qt::Key_Escape, modifier);
        EXPECT_FALSE(w.summary && w.summary->isVisible());
        EXPECT_EQ(w.ended, 1) << modifier;
    }
    // Closing deletes the window, so the next opening starts afresh.
    QPointer<Summary> closed = new Summary(faces(2), QRect(), {});
    closed->show();
    closed->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
}

TEST(SummaryWindow, ShowingDrawsTheFirstPageAndActivationRedraws)
{
    Window w(faces(20));
    w.summary->show();
    EXPECT_GE(w.summary->drawCount(), 1);
    EXPECT_EQ(w.summary->drawnRows(), range(0, 16));
    const int draws = w.summary->drawCount();
    w.summary->Form_Activate();
    EXPECT_EQ(w.summary->drawCount(), draws + 1);
}

TEST(SummaryWindow, PrintAllFacesIsOfferedOnlyWhenItCanPrintAndHandsOverTheFacesInOrder)
{
    Window w({"beta", "Alpha", "gamma"});
    EXPECT_EQ(w.summary->makeContextMenu(), nullptr);
    QStringList printed;
    w.summary->setPrintAllFaces([&](const QStringList& faces) { printed = faces; });
    std::unique_ptr<QMenu> menu(w.summary->makeContextMenu());
    ASSERT_NE(menu, nullptr);
    auto* action = menu->findChild<QAction*>("printAllFacesAction");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QString::fromUtf8("Print All Faces\u2026"));
    action->trigger();
    QCoreApplication::processEvents(); // the menu hands it on once it has closed
    EXPECT_EQ(printed, QStringList({"Alpha", "beta", "gamma"}));

    // From the keyboard: Shift+F10 at the focused control opens the same menu.
    w.summary->show();
    QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : w.summary.data();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F10, Qt::ShiftModifier);
    QApplication::sendEvent(focused, &press);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_NE(popup->findChild<QAction*>("printAllFacesAction"), nullptr);
    popup->close();
}

TEST(SummaryPainter, FacesAreAskedForAtEightPointsWithoutBorrowedGlyphs)
{
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    SummaryPainter painter(QStringLiteral("DejaVu Sans"), &device);
    const QFont font = painter.faceFont(QStringLiteral("Liberation Serif, DejaVu Sans"));
    EXPECT_EQ(font.families(),
              QStringList{QStringLiteral("Liberation Serif, DejaVu Sans")}); // one name, unsplit
    EXPECT_EQ(font.pointSize(), 8);
    EXPECT_FALSE(font.bold() || font.italic() || font.underline() || font.strikeOut());
    EXPECT_TRUE(font.styleStrategy() & QFont::NoFontMerging);

    // A name the font system knows is asked of Qt by the family and style it resolves to.
    quillon::test::FakeFontSystem fonts;
    fonts.faces.insert(
        QStringLiteral("my bold face"),
        {{QStringLiteral("/x.ttf"), 0, QStringLiteral("DejaVu Serif"), QStringLiteral("Bold"), QString()},
         0,
         0});
    painter.useFontSystem(&fonts, nullptr);
    const QFont mapped = painter.faceFont(QStringLiteral("My Bold Face"));
    EXPECT_EQ(mapped.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(mapped.styleName(), QStringLiteral("Bold"));
    EXPECT_EQ(mapped.pointSize(), 8);
    EXPECT_TRUE(mapped.styleStrategy() & QFont::NoFontMerging);
}

TEST(SummaryPainter, KeepsTheLayoutsOfAFewPagesOnly)
{
    QImage device(400, 400, QImage::Format_ARGB32_Premultiplied);
    SummaryPainter painter(QStringLiteral("DejaVu Sans"), &device);
    QPainter p(&device);
    for (int i = 0; i < 10 * 16; ++i)
        painter.drawRow(p, i % 16, QStringLiteral("Face %1").arg(i), Qt::black, Qt::white);
    // A label and a sample for each face kept.
    EXPECT_EQ(painter.cachedTexts(), 2 * SummaryPainter::kCachedFaces);
}
