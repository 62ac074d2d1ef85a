// Every caption of every window shows whole in its box, in the face the program picks for its captions; run
// by ctest at scale 1 and again with QT_SCALE_FACTOR=2.
#include "controls/Captions.h"
#include "base/FontModule.h"
#include "display/TextMeasurer.h"
#include "platform/FaceRasterizer.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxPlatform.h"
#include "shell/Logo.h"
#include "shell/Viewer.h"
#include "support/ViewerFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// A caption whose box is narrower than its text, measured without the rule under test: a label's text
// against its contents, a check box's whole natural width against its own, a push button's text against the
// button less its frame.
QString cutCaption(const QWidget& control)
{
    const QFontMetricsF metrics(control.font());
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        if (label->text().isEmpty() || label->objectName() == "Copyright")
            return {}; // the font's notice, not a caption
        if (label->wordWrap()) {
            const QRectF needed =
                metrics.boundingRect(QRectF(0, 0, label->width(), 10000), Qt::TextWordWrap, label->text());
            return needed.height() <= label->height() ? QString() : label->text();
        }
        return metrics.horizontalAdvance(label->text()) <= label->contentsRect().width() ? QString()
                                                                                         : label->text();
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(&control))
        return box->sizeHint().width() <= box->width() ? QString() : box->text();
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        QString shown = button->text();
        shown.remove(QLatin1Char('&'));
        const int frame = button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return metrics.horizontalAdvance(shown) <= button->width() - 2 * frame ? QString() : button->text();
    }
    return {};
}

QStringList cutCaptions(const QWidget& window)
{
    QStringList cut;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window)) continue;
        const QString caption = cutCaption(*control);
        if (!caption.isEmpty()) cut << window.objectName() + "." + control->objectName() + ": " + caption;
        EXPECT_TRUE(captions::fits(*control)) << control->objectName().toStdString();
        EXPECT_GE(control->font().pointSizeF(), captions::kSmallestPoints);
    }
    return cut;
}

class Captions : public test::ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        captions::useStandIn(machine->platform().fontSystem,
                             machine->platform().faceRasterizer); // as the program's start does
        buildViewer();
        viewer->showMessage = [](const QString&, const QString&) {};
        load();
    }
};

TEST_F(Captions, AreSetInTheNarrowestInstalledStandIn)
{
    // The tests' fonts hold DejaVu Sans (what the font mapper substitutes), Liberation Sans and Cantarell;
    // the stand-in sets a line of captions no wider than any of them.
    const QString family =
        captions::standInFamily(machine->platform().fontSystem, machine->platform().faceRasterizer);
    EXPECT_EQ(QApplication::font().family(), family);
    const auto width = [](const QString& face) {
        QFont font(face, 8);
        return QFontMetricsF(font).horizontalAdvance("Strikethru Underline Copyright: StartUp?");
    };
    for (const char* other : {"DejaVu Sans", "Liberation Sans", "Cantarell"})
        EXPECT_LE(width(family), width(other)) << other;
    EXPECT_NE(family, "DejaVu Sans");
    EXPECT_EQ(viewer->Label1->font().family(), family);
    EXPECT_DOUBLE_EQ(viewer->exitButton->font().pointSizeF(), 8.25); // fits as it is: not made smaller
}

TEST_F(Captions, NearTiesAndUnreadableFacesAreSetByQtToDecide)
{
    // The files' advances only narrow the field: when they cannot tell the faces apart, or cannot be read,
    // the width Qt sets decides, and the choice is the one Qt's widths make.
    struct Flat : platform::FaceRasterizer {
        std::optional<double> width;
        std::optional<platform::RasterLine> rasterize(const QString&, int, double, const QString&) override
        {
            return std::nullopt;
        }
        std::optional<double> advance(const QString&, int, double, const QString&) override { return width; }
    };
    auto& fonts = machine->platform().fontSystem;
    const QString chosen = captions::standInFamily(fonts, machine->platform().faceRasterizer);
    Flat tied;
    tied.width = 500;
    EXPECT_EQ(captions::standInFamily(fonts, tied), chosen);
    Flat unreadable;
    EXPECT_EQ(captions::standInFamily(fonts, unreadable), chosen);
}

TEST_F(Captions, FitTheirBoxesInEveryWindow)
{
    QStringList cut = cutCaptions(*viewer);

    viewer->optionsButton_Click();
    viewer->HelpButton_Click();
    for (const char* name : {"Options", "frmAbout"}) {
        const QWidget* window = viewer->findChild<QWidget*>(name);
        ASSERT_TRUE(window) << name;
        cut << cutCaptions(*window);
    }

    bool printerChecked = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == "PrinterSetup" && window->isVisible()) {
                cut << cutCaptions(*window);
                printerChecked = true;
                static_cast<QDialog*>(window)->reject();
            }
    });
    viewer->printButton_Click();
    EXPECT_TRUE(printerChecked);

    Logo logo(QIcon(), nullptr, std::chrono::milliseconds(0));
    logo.Form_Load();
    cut << cutCaptions(logo);

    EXPECT_TRUE(cut.isEmpty()) << cut.join("\n").toStdString();
}

} // namespace
