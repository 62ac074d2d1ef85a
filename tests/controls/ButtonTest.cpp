// The round button: its drawing checked on a recording surface and on real pixels, its events driven
// with the mouse and keyboard, its property store read and written.
#include "controls/Button.h"
#include "RecordingPropertyBag.h"
#include "controls/ButtonPainter.h"
#include "controls/ButtonSurface.h"
#include "controls/QtButtonSurface.h"
#include "controls/VariantPropertyBag.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace quillon;
using quillon::test::RecordingPropertyBag;

namespace {

struct Op {
    QString kind; // "clear", "ellipse", "arc", "text"
    QPointF at{}; // centre, or the text's top left
    double radius = 0;
    double aspect = 0;
    double start = 0;
    double end = 0;
    std::uint32_t colour = 0; // fill, arc or text colour
    std::uint32_t outline = 0;
    QString text{};
    bool bold = false;
};

class RecordingSurface : public ButtonSurface {
public:
    QSizeF captionSize{300, 195};
    std::vector<Op> ops;

    void clear() override { ops.push_back({"clear"}); }
    void ellipse(QPointF c, double r, double a, std::uint32_t fill, std::uint32_t outline) override
    {
        ops.push_back({"ellipse", c, r, a, 0, 0, fill, outline});
    }
    void arc(QPointF c, double r, double a, double s, double e, std::uint32_t colour) override
    {
        ops.push_back({"arc", c, r, a, s, e, colour});
    }
    QSizeF textSize(const QString&) override { return captionSize; }
    void text(QPointF p, const QString& t, std::uint32_t colour, bool bold) override
    {
        Op op{"text", p};
        op.colour = colour;
        op.text = t;
        op.bold = bold;
        ops.push_back(op);
    }
    std::vector<Op> arcs() const
    {
        std::vector<Op> out;
        for (const Op& op : ops)
            if (op.kind == "arc") out.push_back(op);
        return out;
    }
    const Op& textOp() const { return ops.back(); }
};

constexpr std::uint32_t kMagenta = 0x00FF00FF;

ButtonLook look(int width, int height, bool pressed = false)
{
    ButtonLook l;
    l.width = width;
    l.height = height;
    l.caption = "?";
    l.backColor = kMagenta;
    l.foreColor = 0x80000012;
    l.pressed = pressed;
    return l;
}

} // namespace

TEST(ButtonPaint, SquareButtonRingsAndColoursInOrder)
{
    const ButtonGeometry g = ButtonPainter::geometry(255, 255);
    EXPECT_EQ(g.drawWidth, 245);
    EXPECT_EQ(g.radius, 122); // 122.5 rounds to even
    EXPECT_EQ(g.centre, QPointF(122.5, 122.5));
    EXPECT_EQ(g.aspect, 1.0);

    for (bool pressed : {false, true}) {
        RecordingSurface surface;
        ButtonPainter::paint(surface, look(255, 255, pressed));
        ASSERT_EQ(surface.ops.size(), 9u);
        EXPECT_EQ(surface.ops[0].kind, "clear");
        const Op& fill = surface.ops[1];
        EXPECT_EQ(fill.kind, "ellipse");
        EXPECT_EQ(fill.at, QPointF(122.5, 122.5));
        EXPECT_EQ(fill.radius, 122);
        EXPECT_EQ(fill.colour, kMagenta);
        EXPECT_EQ(fill.outline, 0x8000000Fu);

        const std::vector<Op> arcs = surface.arcs();
        ASSERT_EQ(arcs.size(), 6u);
        const double radii[] = {122, 107, 92, 122, 107, 92};
        const std::uint32_t normal[] = {0x000000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x80000016, 0x80000016};
        const std::uint32_t down[] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000, 0x000000};
        for (int i = 0; i < 6; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(arcs[i].radius, radii[i]);
            EXPECT_EQ(arcs[i].aspect, 1.0);
            EXPECT_EQ(arcs[i].at, QPointF(122.5, 122.5));
            EXPECT_EQ(arcs[i].start, i < 3 ? 3.927 : 0.785);
            EXPECT_EQ(arcs[i].end, i < 3 ? 0.785 : 3.927);
            EXPECT_EQ(arcs[i].colour, pressed ? down[i] : normal[i]);
        }
    }
}

TEST(ButtonPaint, CaptionCentredByRegularWidthAndKeptOffTheEdge)
{
    RecordingSurface surface;
    ButtonPainter::paint(surface, look(3225, 1545));
    EXPECT_EQ(surface.textOp().at, QPointF((3225 - 300) / 2.0, (1545 - 195) / 2.0));
    EXPECT_TRUE(surface.textOp().bold);
    EXPECT_EQ(surface.textOp().colour, 0x80000012u);

    // Pressing does not move it.
    RecordingSurface pressed;
    ButtonPainter::paint(pressed, look(3225, 1545, true));
    EXPECT_EQ(pressed.textOp().at, surface.textOp().at);

    RecordingSurface wide;
    wide.captionSize = QSizeF(5000, 400);
    ButtonLook disabled = look(255, 255);
    disabled.windowEnabled = false;
    ButtonPainter::paint(wide, disabled);
    EXPECT_EQ(wide.textOp().at, QPointF(5, 5));
    EXPECT_EQ(wide.textOp().colour, 0x808080u);
}

TEST(ButtonPaint, WideButtonIsAHorizontalEllipseAndTinyOnesDrawOnlyTheCaption)
{
    const ButtonGeometry g = ButtonPainter::geometry(3225, 1545);
    EXPECT_EQ(g.radius, 1608); // 3215 / 2 = 1607.5, to even
    EXPECT_DOUBLE_EQ(g.aspect, 1535.0 / 3215.0);

    RecordingSurface tiny;
    ButtonPainter::paint(tiny, look(10, 40));
    ASSERT_EQ(tiny.ops.size(), 2u);
    EXPECT_EQ(tiny.ops[1].kind, "text");
    RecordingSurface small;
    ButtonPainter::paint(small, look(40, 40)); // radius 15: the two inner rings have none
    EXPECT_EQ(small.arcs().size(), 2u);
}

namespace {

// The button drawn on pixels: the first pixel, scanning a row from either side, that is not the face.
struct Rendered {
    QImage image;
    QColor face;
    QColor outermost(int row, bool fromLeft) const
    {
        for (int i = 0; i < image.width(); ++i) {
            const int x = fromLeft ? i : image.width() - 1 - i;
            const QColor c = image.pixelColor(x, row);
            if (c != face) return c;
        }
        return face;
    }
};

Rendered render(Button& button)
{
    Rendered r{QImage(button.size(), QImage::Format_RGB32),
               button.palette().color(QPalette::Active, QPalette::Button)};
    QPainter painter(&r.image);
    QtButtonSurface surface(painter, button.rect(), button.palette(), button.font());
    button.paint(surface);
    return r;
}

} // namespace

TEST(ButtonPaint, PixelsShowShadowLowerRightAndLightUpperLeftSwappedWhenPressed)
{
    Button button;
    button.resize(215, 103); // 3225 x 1545 twips
    button.setCaption("");
    button.setBackColor(kMagenta);
    Rendered normal = render(button);
    EXPECT_EQ(normal.image.pixelColor(107, 51), QColor(255, 0, 255));
    EXPECT_EQ(normal.image.pixelColor(0, 0), normal.face);
    EXPECT_EQ(normal.image.pixelColor(214, 102), normal.face);
    // Rows clear of the centre line, where the rings 1 pixel apart would run into each other.
    EXPECT_EQ(normal.outermost(70, false), QColor(Qt::black)); // lower right: the shadow
    EXPECT_EQ(normal.outermost(30, true), QColor(Qt::white));  // upper left: the light
    // The ellipse reaches the box's left and top edges and ends within 10 twips of the right one.
    EXPECT_NE(normal.image.pixelColor(0, 51), normal.face);
    EXPECT_NE(normal.image.pixelColor(107, 0), normal.face);
    EXPECT_NE(normal.image.pixelColor(213, 51), normal.face);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(107, 51));
    Rendered pressed = render(button);
    if (qEnvironmentVariableIsSet("QUILLON_SAVE_IMAGES")) {
        normal.image.save("/tmp/button-normal.png");
        pressed.image.save("/tmp/button-pressed.png");
    }
    EXPECT_EQ(pressed.outermost(70, false), QColor(Qt::white));
    EXPECT_EQ(pressed.outermost(30, true), QColor(Qt::black));
}

namespace {

struct ButtonEvents : ::testing::Test {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    Button* HelpButton = new Button(window.get());
    QStringList seen;
    int paints = 0;

    void SetUp() override
    {
        HelpButton->setObjectName("HelpButton");
        HelpButton->setGeometry(1, 378, 17, 17); // 15, 5670, 255, 255 twips
        VariantPropertyBag bag({{"Caption", "?"}, {"BackColor", kMagenta}});
        HelpButton->ReadProperties(bag);
        QObject::connect(HelpButton, &Button::Click, [this] { seen << "Click"; });
        QObject::connect(HelpButton, &Button::MouseDown, [this](short b, short, float x, float y) {
            seen << QString("MouseDown %1 %2 %3 %4").arg(b).arg(x).arg(y).arg(HelpButton->isPressed());
            EXPECT_GT(paints, 0); // the pressed look is painted first
        });
        QObject::connect(HelpButton, &Button::MouseUp, [this](short b, short, float, float) {
            seen << QString("MouseUp %1 %2").arg(b).arg(HelpButton->isPressed());
        });
        QObject::connect(HelpButton, &Button::MouseMove,
                         [this](short, short, float, float) { seen << "MouseMove"; });
        window->resize(200, 420);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QCoreApplication::processEvents();
        HelpButton->installEventFilter(&counter);
        counter.paints = &paints;
    }

    struct PaintCounter : QObject {
        int* paints = nullptr;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint) ++*paints;
            return false;
        }
    } counter;
};

} // namespace

TEST_F(ButtonEvents, PressAndReleaseInsideClicks)
{
    QTest::mousePress(HelpButton, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(HelpButton->isPressed());
    QTest::mouseRelease(HelpButton, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_FALSE(HelpButton->isPressed());
    EXPECT_EQ(seen, (QStringList{"MouseDown 1 120 120 1", "MouseUp 1 0", "Click"}));
}

TEST_F(ButtonEvents, ReleaseOutsideEndsThePressedLookWithoutAClick)
{
    QTest::mousePress(HelpButton, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseRelease(HelpButton, Qt::LeftButton, {}, QPoint(60, 8));
    EXPECT_FALSE(HelpButton->isPressed());
    EXPECT_EQ(seen, (QStringList{"MouseDown 1 120 120 1", "MouseUp 1 0"}));
}

TEST_F(ButtonEvents, DisabledAtRunTimeIgnoresTheMouseButNotEnter)
{
    HelpButton->setEnabled(false);
    EXPECT_TRUE(HelpButton->isEnabled()); // the window stays enabled
    QTest::mousePress(HelpButton, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_FALSE(HelpButton->isPressed());
    QTest::mouseRelease(HelpButton, Qt::LeftButton, {}, QPoint(8, 8));
    // Sent directly: QTest::mouseMove moves the real pointer on a display, which arrives late.
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), HelpButton->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(HelpButton, &move);
    EXPECT_EQ(seen, QStringList{"MouseMove"});

    HelpButton->setFocus();
    QCoreApplication::processEvents();
    QTest::keyClick(HelpButton, Qt::Key_Space);
    EXPECT_EQ(seen, QStringList{"MouseMove"});
    QTest::keyClick(HelpButton, Qt::Key_Return);
    EXPECT_EQ(seen, (QStringList{"MouseMove", "Click"}));

    // The caption keeps its colour: only a stored Enabled off greys it.
    RecordingSurface surface;
    HelpButton->paint(surface);
    EXPECT_EQ(surface.textOp().colour, Button::kDefaultForeColor);
}

// The focus mark is the one change the focus makes: a keyboard user sees where the focus is.
TEST_F(ButtonEvents, FocusChangesRedrawTheFocusMarkAndEnterNeedsTheFocus)
{
    auto* other = new QWidget(window.get());
    other->setFocusPolicy(Qt::StrongFocus);
    other->show();
    other->setFocus();
    QCoreApplication::processEvents();
    QTest::keyClick(HelpButton, Qt::Key_Return);
    EXPECT_TRUE(seen.isEmpty());
    const int before = paints;
    HelpButton->setFocus();
    QCoreApplication::processEvents();
    EXPECT_GT(paints, before);
    const int focused = paints;
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_GT(paints, focused);
}

TEST_F(ButtonEvents, StoredDisabledButtonTakesNoFocusNorClicksAndIsGrey)
{
    VariantPropertyBag bag({{"Caption", "?"}, {"Enabled", false}});
    HelpButton->ReadProperties(bag);
    EXPECT_FALSE(HelpButton->isEnabled());
    HelpButton->setFocus();
    QCoreApplication::processEvents();
    EXPECT_FALSE(HelpButton->hasFocus());
    QTest::mouseClick(HelpButton, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(seen.isEmpty());
    RecordingSurface surface;
    HelpButton->paint(surface);
    EXPECT_EQ(surface.textOp().colour, 0x808080u);
}

TEST(ButtonStore, ReadsAndWritesCaptionEnabledBackColorForeColorWithDefaults)
{
    Button button;
    RecordingPropertyBag fresh;
    button.WriteProperties(fresh);
    const QStringList order{"Caption", "Enabled", "BackColor", "ForeColor"};
    EXPECT_EQ(fresh.writes, order);
    EXPECT_EQ(fresh.written, fresh.writeDefaults);
    EXPECT_EQ(fresh.writeDefaults.value("Caption").toString(), "Button");
    EXPECT_EQ(fresh.writeDefaults.value("Enabled").toBool(), true);
    EXPECT_EQ(fresh.writeDefaults.value("BackColor").toLongLong(), 0x8000000FLL);
    EXPECT_EQ(fresh.writeDefaults.value("ForeColor").toLongLong(), 0x80000012LL);

    // Colours as a text store keeps them, or as the signed numbers older definitions hold.
    RecordingPropertyBag stored(
        {{"Caption", "?"}, {"BackColor", "&H00FF00FF&"}, {"ForeColor", -2147483648LL + 5}});
    button.ReadProperties(stored);
    EXPECT_EQ(stored.reads, order);
    EXPECT_EQ(stored.readDefaults, fresh.writeDefaults);
    EXPECT_EQ(button.Caption(), "?");
    EXPECT_EQ(button.BackColor(), kMagenta);
    EXPECT_EQ(button.ForeColor(), 0x80000005u);

    VariantPropertyBag saved;
    button.WriteProperties(saved);
    EXPECT_EQ(saved.contents().keys(),
              (QStringList{"BackColor", "Caption", "ForeColor"})); // Enabled is default

    // A colour no number can be made of leaves the one held.
    RecordingPropertyBag broken({{"BackColor", "magenta"}});
    button.ReadProperties(broken);
    EXPECT_EQ(button.BackColor(), kMagenta);
}
