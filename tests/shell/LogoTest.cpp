// The splash card: its shape, its texts, whether it is wanted, and the hold of its activation.
#include "shell/Logo.h"
#include "platform/SettingsStore.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMap>
#include <QTimer>

#include <gtest/gtest.h>

using quillon::Logo;
using namespace std::chrono_literals;

namespace {

class Settings final : public quillon::platform::SettingsStore {
public:
    void SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override
    {
        values[app + '/' + section + '/' + key] = value;
    }
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue) override
    {
        return values.value(app + '/' + section + '/' + key, defaultValue);
    }
    QMap<QString, QString> values;
};

} // namespace

TEST(LogoShape, TopRowAndLeftColumnLieOutsideAndCornersAreRounded)
{
    const QRegion r = Logo::roundRegion(265, 197);
    EXPECT_EQ(r.boundingRect(), QRect(1, 1, 264, 196)); // right and bottom edges excluded
    for (int x = 0; x < 265; ++x) EXPECT_FALSE(r.contains(QPoint(x, 0))) << x;
    for (int y = 0; y < 197; ++y) EXPECT_FALSE(r.contains(QPoint(0, y))) << y;
    EXPECT_TRUE(r.contains(QPoint(1, 98)));
    EXPECT_TRUE(r.contains(QPoint(264, 98)));
    EXPECT_TRUE(r.contains(QPoint(132, 1)));
    EXPECT_TRUE(r.contains(QPoint(132, 196)));
    EXPECT_FALSE(r.contains(QPoint(265, 98)));
    // Each corner is cut by a quarter of a 40-pixel ellipse, the same at all four.
    for (QPoint corner : {QPoint(1, 1), QPoint(264, 1), QPoint(1, 196), QPoint(264, 196), QPoint(5, 5)})
        EXPECT_FALSE(r.contains(corner)) << corner.x() << "," << corner.y();
    EXPECT_TRUE(r.contains(QPoint(8, 8)));                               // inside the arc
    EXPECT_TRUE(r.contains(QPoint(1, 21)) && r.contains(QPoint(21, 1))); // where the arc meets the edges
    EXPECT_FALSE(r.contains(QPoint(1, 15)) || r.contains(QPoint(15, 1)));
    for (int d = 0; d < 40; ++d) {
        EXPECT_EQ(r.contains(QPoint(1 + d, 6)), r.contains(QPoint(264 - d, 6))) << d;
        EXPECT_EQ(r.contains(QPoint(1 + d, 6)), r.contains(QPoint(1 + d, 197 - 6))) << d;
    }
    EXPECT_TRUE(Logo::roundRegion(1, 1).isEmpty());
    EXPECT_FALSE(Logo::roundRegion(10, 10).isEmpty()); // smaller than the corners: still a shape
}

TEST(LogoCard, ShowsItsTextsInTheirFontsAndColoursShapedByTheRegion)
{
    Logo logo(QIcon(), nullptr, 0ms);
    logo.Form_Load();
    EXPECT_EQ(logo.size(), QSize(265, 197));
    EXPECT_EQ(logo.Label[0]->text(), QStringLiteral("Quillon"));
    EXPECT_EQ(logo.Label[0]->font().pointSizeF(), 24);
    EXPECT_TRUE(logo.Label[0]->font().italic());
    EXPECT_EQ(logo.Label[0]->font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(logo.Label[2]->text(), QStringLiteral("Version 1.3"));
    EXPECT_TRUE(logo.Label[3]->text().startsWith(QLatin1String("Copyright")));
    EXPECT_TRUE(logo.Label[3]->text().endsWith(QChar(0x00AE)));
    EXPECT_EQ(logo.Label[3]->font().pointSizeF(), 9.75);
    EXPECT_EQ(logo.Message->text(), QStringLiteral("PLEASE WAIT... Setting up display data"));
    EXPECT_TRUE(logo.Message->font().bold());
    EXPECT_EQ(logo.Message->palette().color(QPalette::WindowText), QColor(255, 255, 128));
    EXPECT_TRUE(logo.Message->alignment() & Qt::AlignLeft);
    EXPECT_TRUE(logo.Label[2]->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(logo.Message->geometry(), QRect(9, 176, 249, 19));
    EXPECT_FALSE(logo.Image2->pixmap().isNull());
    EXPECT_FALSE(logo.Image1->pixmap().isNull());
    EXPECT_TRUE(logo.Image3->pixmap().isNull());
    EXPECT_EQ(logo.mask(), Logo::roundRegion(265, 197));

    // On screen, the card is magenta where the shape is.
    const QImage shot = logo.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(3, 100)), QColor(255, 0, 255));
}

TEST(LogoCard, IsWantedOnlyWhenTheSettingReadsAsOne)
{
    Settings settings;
    EXPECT_TRUE(Logo::wanted(settings)); // absent: shown
    const QMap<QString, bool> cases{{"1", true},  {"0", false}, {" 1 ", true},  {"1.0", true}, {"1abc", true},
                                    {"2", false}, {"", false},  {"yes", false}, {"-1", false}, {"&H1", true}};
    for (auto it = cases.begin(); it != cases.end(); ++it) {
        settings.SaveSetting("Quillon", "Settings", "ShowSplash", it.key());
        EXPECT_EQ(Logo::wanted(settings), it.value()) << it.key().toStdString();
    }
    settings.values.clear();
    settings.SaveSetting("Other", "Settings", "ShowSplash", "0"); // another program's setting does not count
    EXPECT_TRUE(Logo::wanted(settings));
}

TEST(LogoCard, ShowingReturnsAfterHoldingOneSecond)
{
    Logo logo;
    bool timerRan = false;
    QTimer::singleShot(100, [&] { timerRan = true; });
    QElapsedTimer clock;
    clock.start();
    logo.showSplash();
    const qint64 held = clock.elapsed();
    EXPECT_GE(held, 1000);
    EXPECT_LT(held, 10000);
    EXPECT_TRUE(logo.isVisible()); // the caller closes it
    EXPECT_TRUE(timerRan);         // the wait is an event loop, not a frozen program
    EXPECT_EQ(logo.Label[3]->text(), Logo::kCopyright);
}
