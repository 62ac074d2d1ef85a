// Installing and removing font files on Linux, in a data folder of the test's own: what is refused (and
// why) before anything is copied, copies that never replace a file and leave nothing behind when they
// fail, the trash that takes only the user's own fonts, and the watch that sees files come and go in a
// font folder and brings fontconfig up to date once for a burst of them.
#include "platform/FontChanges.h"
#include "platform/linux/FontFolderWatch.h"
#include "platform/linux/fonts/LinuxFontInstall.h"
#include "platform/linux/fonts/LinuxFontSystem.h"
#include "platform/linux/registry/InstalledFontFiles.h"

#include "support/FullDisk.h"
#include "support/SfntWriter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <unistd.h>

namespace quillon::platform {
namespace {

using test::SfntWriter;

class NoChanges final : public FontChanges {
public:
    void setListener(std::function<void(const QString&)>) override {}
    void watch() override {}
    bool checkNow(const QString& why) override
    {
        reasons << why;
        return false;
    }
    QStringList reasons;
};

QByteArray freshFont(const QString& family, const QString& style = QStringLiteral("Regular"))
{
    return SfntWriter::minimalFont(SfntWriter::names(family, style, family + u' ' + style));
}

class FontInstallTest : public ::testing::Test {
protected:
    QTemporaryDir data;     // the user's data folder: fonts/ and Trash/ go here
    QTemporaryDir download; // files from elsewhere
    QByteArray savedData = qgetenv("XDG_DATA_HOME");
    NoChanges changes;
    std::unique_ptr<LinuxFontInstall> fonts;

    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        fonts = std::make_unique<LinuxFontInstall>(changes);
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", savedData); }

    QString downloaded(const QString& name, const QByteArray& bytes)
    {
        const QString path = download.filePath(name);
        EXPECT_TRUE(SfntWriter::writeFile(path, bytes));
        return path;
    }
    QStringList fontFolder() const
    {
        return QDir(data.filePath("fonts")).entryList(QDir::Files | QDir::Hidden);
    }
};

TEST_F(FontInstallTest, WhatIsNoFontOrNotWholeIsRefusedWithTheReason)
{
    const QByteArray dejavu = test::contents(test::testFont("DejaVuSans.ttf"));
    ASSERT_FALSE(dejavu.isEmpty());
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"empty.ttf", QByteArray(), "it is empty"},
        {"text.otf", QByteArray("Not a font at all, just a page of text.\n").repeated(40),
         "it is not a font file"},
        {"web.ttf", QByteArray("wOFF") + QByteArray(600, '\0'),
         "it is a web font (WOFF), which desktop programs do not use"},
        {"cut.ttf", dejavu.left(dejavu.size() / 2), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ExaminedFile examined = fonts->examine(downloaded(c.name, c.bytes));
        EXPECT_FALSE(examined.problem.isEmpty());
        if (c.reason) EXPECT_EQ(examined.problem, c.reason);
        EXPECT_TRUE(examined.faces.empty());
    }
    EXPECT_TRUE(fontFolder().isEmpty());
}

TEST_F(FontInstallTest, AFileIsComparedWithTheInstalledOnes)
{
    // The very bytes of an installed file; a face of an installed family and style from other bytes; a new
    // face; the faces of a collection.
    const ExaminedFile same =
        fonts->examine(downloaded("DejaVuSans.ttf", test::contents(test::testFont("DejaVuSans.ttf"))));
    EXPECT_TRUE(same.problem.isEmpty());
    EXPECT_TRUE(same.identical.endsWith("/DejaVuSans.ttf")) << same.identical.toStdString();

    const ExaminedFile other = fonts->examine(downloaded("other.ttf", freshFont("DejaVu Sans", "Book")));
    ASSERT_EQ(other.faces.size(), 1u);
    EXPECT_TRUE(other.identical.isEmpty());
    ASSERT_FALSE(other.faces[0].sameFace.isEmpty());
    EXPECT_TRUE(other.faces[0].sameFace.front().endsWith("/DejaVuSans.ttf"));

    const ExaminedFile fresh = fonts->examine(downloaded("Fresh.ttf", freshFont("Quillon Fresh Sans")));
    ASSERT_EQ(fresh.faces.size(), 1u);
    EXPECT_EQ(fresh.faces[0].family, "Quillon Fresh Sans");
    EXPECT_EQ(fresh.faces[0].style, "Regular");
    EXPECT_TRUE(fresh.faces[0].sameFace.isEmpty());

    const ExaminedFile collection = fonts->examine(test::testFont("wqy-microhei.ttc"));
    EXPECT_EQ(collection.faces.size(), 2u);
}

TEST_F(FontInstallTest, CopiesNeverReplaceAFileAndAreNamedCleanly)
{
    const QString first = downloaded("Fresh.ttf", freshFont("Quillon Fresh Sans"));
    const QString second = downloaded("second.ttf", freshFont("Quillon Fresh Sans", "Bold"));
    QString problem;
    const QString a = fonts->copyIn(first, "Fresh.ttf", &problem); // the font folder is made
    const QString b = fonts->copyIn(second, "Fresh.ttf", &problem);
    const QString c = fonts->copyIn(second, "../.\x01Hidden.ttf", &problem);
    EXPECT_EQ(a, data.filePath("fonts/Fresh.ttf"));
    EXPECT_EQ(b, data.filePath("fonts/Fresh-2.ttf"));
    EXPECT_EQ(c, data.filePath("fonts/_Hidden.ttf"));
    EXPECT_EQ(test::contents(a), test::contents(first));
    EXPECT_EQ(test::contents(b), test::contents(second));
    EXPECT_EQ(fontFolder().size(), 3); // no temporary file stays
    EXPECT_EQ(LinuxFontInstall::numberedName("6x13.pcf.gz", 3), "6x13-3.pcf.gz");
}

TEST_F(FontInstallTest, ACopyThatFailsLeavesNoFileAndSaysWhy)
{
    const QString font =
        downloaded("Fresh.ttf", freshFont("Quillon Fresh Sans") + QByteArray(64 * 1024, '\0'));
    QDir().mkpath(data.filePath("fonts"));
    test::FullDisk disk(data.filePath("fonts"));
    disk.fill();
    QString problem;
    EXPECT_TRUE(fonts->copyIn(font, "Fresh.ttf", &problem).isEmpty());
    EXPECT_FALSE(problem.isEmpty());
    disk.release();
    for (const QString& name : fontFolder()) EXPECT_FALSE(name.contains("Fresh") || name.contains("quillon"));

    // No permission to write: the same.
    QFile::setPermissions(data.filePath("fonts"), QFile::ReadOwner | QFile::ExeOwner);
    if (::geteuid() != 0) {
        problem.clear();
        EXPECT_TRUE(fonts->copyIn(font, "Fresh.ttf", &problem).isEmpty());
        EXPECT_FALSE(problem.isEmpty());
    }
    QFile::setPermissions(data.filePath("fonts"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(FontInstallTest, OnlyTheUsersOwnFontsGoToTheTrash)
{
    const QString outside = downloaded("Fresh.ttf", freshFont("Quillon Fresh Sans"));
    QString problem;
    EXPECT_FALSE(fonts->moveToTrash(outside, &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_FALSE(fonts->moveToTrash(test::testFont("DejaVuSans.ttf"), &problem));
    EXPECT_TRUE(QFile::exists(test::testFont("DejaVuSans.ttf")));
    // A way out of the font folder through ".." is no way in.
    QDir().mkpath(data.filePath("fonts"));
    EXPECT_FALSE(fonts->moveToTrash(
        data.filePath("fonts/../../") + QFileInfo(download.path()).fileName() + "/Fresh.ttf", &problem));
    EXPECT_TRUE(QFile::exists(outside));

    const QString installed = fonts->copyIn(outside, "Fresh.ttf", &problem);
    ASSERT_FALSE(installed.isEmpty());
    ASSERT_TRUE(fonts->moveToTrash(installed, &problem)) << problem.toStdString();
    EXPECT_FALSE(QFile::exists(installed));
    EXPECT_EQ(test::contents(data.filePath("Trash/files/Fresh.ttf")), test::contents(outside));
    const QByteArray info = test::contents(data.filePath("Trash/info/Fresh.ttf.trashinfo"));
    EXPECT_TRUE(info.startsWith("[Trash Info]\nPath=")) << info.constData();
    EXPECT_TRUE(info.contains("DeletionDate="));
}

/// A private fontconfig configuration that reads one folder the test writes in.
class FontFolderWatchTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QByteArray savedConfig = qgetenv("FONTCONFIG_FILE");
    std::unique_ptr<LinuxFontSystem> system;
    std::unique_ptr<InstalledFontFiles> installed;
    std::unique_ptr<FontFolderWatch> watch;
    QStringList heard;

    void SetUp() override
    {
        QDir().mkpath(folder.filePath("fonts"));
        test::writeFile(
            folder.filePath("fonts.conf"),
            QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig><dir>%1</dir><cachedir>%2</cachedir>"
                           "</fontconfig>\n")
                .arg(folder.filePath("fonts"), folder.filePath("cache"))
                .toUtf8());
        qputenv("FONTCONFIG_FILE", folder.filePath("fonts.conf").toUtf8());
        ASSERT_TRUE(FcInitReinitialize());
        system = std::make_unique<LinuxFontSystem>();
        installed = std::make_unique<InstalledFontFiles>();
        watch = std::make_unique<FontFolderWatch>(*system, *installed);
        watch->setListener([this](const QString& why) { heard << why; });
        watch->watch();
    }
    void TearDown() override
    {
        watch.reset();
        qputenv("FONTCONFIG_FILE", savedConfig);
        FcInitReinitialize();
    }
    int families()
    {
        FcFontSet* set = FcConfigGetFonts(nullptr, FcSetSystem);
        return set ? set->nfont : 0;
    }
};

TEST_F(FontFolderWatchTest, FilesCopiedInOrRemovedAreTakenInOnceTheyHaveSettled)
{
    EXPECT_EQ(families(), 0);
    // Three files in a row, as a package brings them: one reload.
    for (const char* family : {"Quillon Watch A", "Quillon Watch B", "Quillon Watch C"})
        ASSERT_TRUE(SfntWriter::writeFile(folder.filePath("fonts/") + QLatin1String(family) + ".ttf",
                                          freshFont(QLatin1String(family))));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !heard.isEmpty(); }, 5000));
    QTest::qWait(FontFolderWatch::kMostWaitMs);
    EXPECT_EQ(heard.size(), 1) << heard.join(" | ").toStdString();
    EXPECT_TRUE(heard.value(0).contains(folder.filePath("fonts"))) << heard.value(0).toStdString();
    EXPECT_EQ(families(), 3);

    // A file that is no font changes no face: nothing is heard.
    test::writeFile(folder.filePath("fonts/readme.txt"), "hello");
    QTest::qWait(FontFolderWatch::kSettleMs * 3);
    EXPECT_EQ(heard.size(), 1);

    QFile::remove(folder.filePath("fonts/Quillon Watch B.ttf"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return heard.size() == 2; }, 5000));
    EXPECT_EQ(families(), 2);
}

} // namespace
} // namespace quillon::platform
