// The start-up of the first copy, on the tests' own fonts.
#include "shell/Main.h"
#include "platform/FontSystem.h"
#include "platform/InstanceChannel.h"
#include "platform/SettingsStore.h"
#include "platform/linux/LinuxPlatform.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FirstCopy final : public quillon::platform::InstanceChannel {
public:
    Claim claim() override { return Claim::First; }
    bool handOff(const quillon::platform::HandOffRecord&) override { return false; }
    QString problem() const override { return {}; }
    void setHandOffHandler(std::function<bool(const quillon::platform::HandOffRecord&)>) override {}
};

TEST(Main, TheApplicationFontNamesAnInstalledFamily)
{
    // A generic name such as "Sans Serif" would have Qt sort every installed family for its substitute the
    // first time a line edit lays out its text.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    quillon::platform::LinuxPlatform machine;
    machine.platform().settings.SaveSetting("Quillon", "Settings", "ShowSplash", "0");
    FirstCopy channel;
    const QFont before = QApplication::font();
    quillon::Main start(machine.platform(), channel);
    EXPECT_EQ(start.start({}, QStringLiteral("/usr/bin/quillon")), -1);
    // Qt lists the generic names as families of their own, so the test is that the font system knows the
    // name as a family of one of its faces, not as a name it substitutes.
    const QString family = QApplication::font().family();
    const auto face = machine.platform().fontSystem.resolveFace(family);
    ASSERT_TRUE(face);
    EXPECT_EQ(face->family, family);
    EXPECT_EQ(QApplication::font().pointSizeF(), before.pointSizeF());
    QApplication::setFont(before);
}

TEST(Main, TheFontFileKeepsItsSpellingAndFolder)
{
    // The command line is lower-cased for the catalogue; the file is found by its own name.
    EXPECT_EQ(quillon::commandLineFileFrom({"/p", "Fonts/My Face.TTF"}, "/home/u"),
              "/home/u/Fonts/My Face.TTF");
    EXPECT_EQ(quillon::commandLineFileFrom({"/srv/A.otf"}, "/home/u"), "/srv/A.otf");
    EXPECT_EQ(quillon::commandLineFileFrom({"/p"}, "/home/u"), "");
    EXPECT_EQ(quillon::commandLineFileFrom({}, "/home/u"), "");
}

} // namespace
