// Installing files as the install list and the face information's buttons do, over the Linux font
// install in a data folder of the test's own: each rule of what is copied, what is refused and what the
// user is asked, with the messages in the user's words.
#include "install/InstallDialogs.h"
#include "install/InstallPlan.h"
#include "platform/FontChanges.h"
#include "platform/linux/fonts/LinuxFontInstall.h"

#include "support/ArchiveWriter.h"
#include "support/SfntWriter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quillon::install {
namespace {

using test::SfntWriter;

class CountingChanges final : public platform::FontChanges {
public:
    void setListener(std::function<void(const QString&)>) override {}
    void watch() override {}
    bool checkNow(const QString&) override
    {
        ++checks;
        return false;
    }
    int checks = 0;
};

/// Says what it is told and answers every question as set.
class Recorder final : public Conversation {
public:
    void tell(QWidget*, const QString& text) override { said << text; }
    bool ask(QWidget*, const QString& text, const QString&) override
    {
        asked << text;
        return answer;
    }
    QStringList said;
    QStringList asked;
    bool answer = false;
};

QByteArray font(const QString& family, const QString& style = QStringLiteral("Regular"))
{
    return SfntWriter::minimalFont(SfntWriter::names(family, style, family + u' ' + style));
}

class InstallTest : public ::testing::Test {
protected:
    QTemporaryDir data;
    QTemporaryDir download;
    QByteArray savedData = qgetenv("XDG_DATA_HOME");
    QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    CountingChanges changes;
    std::unique_ptr<platform::LinuxFontInstall> fonts;
    Recorder talk;

    void SetUp() override
    {
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        qputenv("XDG_CACHE_HOME", data.filePath("cache").toUtf8());
        fonts = std::make_unique<platform::LinuxFontInstall>(changes);
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", savedData);
        qputenv("XDG_CACHE_HOME", savedCache);
    }
    QString put(const QString& name, const QByteArray& bytes)
    {
        const QString path = download.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(SfntWriter::writeFile(path, bytes));
        return path;
    }
    QStringList installed() const
    {
        return QDir(data.filePath("fonts")).entryList(QDir::Files | QDir::Hidden);
    }
};

TEST_F(InstallTest, AFolderAndAnArchiveAreListedFaceByFaceAndOnlyTheNewAreCopied)
{
    // A downloaded family unpacked in a folder (with a copy of an installed file, a face of an installed
    // family from other bytes, a damaged file, a licence), and the same family's .zip made on a Mac.
    put("Family/Fresh-Regular.otf", font("Quillon Fresh"));
    put("Family/static/Fresh-Bold.ttf", font("Quillon Fresh", "Bold"));
    put("Family/DejaVuSans.ttf", test::contents(test::testFont("DejaVuSans.ttf")));
    put("Family/Other.ttf", font("DejaVu Sans", "Book"));
    put("Family/Broken.ttf", "no font");
    put("Family/OFL.txt", "licence");
    put("Family/.hidden/Hidden.ttf", font("Quillon Hidden"));

    const QString zip = download.filePath("Family.zip");
    ASSERT_TRUE(test::writeArchive(zip, test::ArchiveKind::Zip,
                                   {{"Zipped/Zipped-Regular.ttf", font("Quillon Zipped")},
                                    {"__MACOSX/Zipped/._Zipped-Regular.ttf", "fork"}}));

    InstallPlan plan(*fonts);
    plan.add({download.filePath("Family"), zip, download.filePath("missing.otf")});
    EXPECT_EQ(plan.count(FaceState::New), 3);
    EXPECT_EQ(plan.count(FaceState::Installed), 1);
    EXPECT_EQ(plan.count(FaceState::SameFace), 1);
    EXPECT_EQ(plan.count(FaceState::NotFont), 1);
    EXPECT_EQ(plan.summary(), "3 new faces, 1 already installed, 1 face installed from another file, 1 file "
                              "that is not a font.");
    ASSERT_EQ(plan.notes().size(), 1);
    EXPECT_TRUE(plan.notes().front().contains("missing.otf cannot be found"));
    for (const FoundFace& row : plan.faces()) {
        if (row.state == FaceState::SameFace) {
            EXPECT_TRUE(row.detail.endsWith("/DejaVuSans.ttf"));
        }
    }
    EXPECT_TRUE(installed().isEmpty()); // listing copies nothing (what --dry-run shows)

    const QStringList copied = plan.install();
    EXPECT_EQ(copied.size(), 3);
    EXPECT_EQ(changes.checks, 1); // the font system is told once
    QStringList names = installed();
    names.sort();
    EXPECT_EQ(names, QStringList({"Fresh-Bold.ttf", "Fresh-Regular.otf", "Zipped-Regular.ttf"}));
    EXPECT_EQ(test::contents(data.filePath("fonts/Zipped-Regular.ttf")), font("Quillon Zipped"));

    // The same files again: their bytes are installed now.
    InstallPlan again(*fonts);
    again.add({download.filePath("Family/Fresh-Regular.otf")});
    ASSERT_EQ(again.faces().size(), 1u);
    EXPECT_EQ(again.faces().front().state, FaceState::Installed);
    EXPECT_TRUE(again.install().isEmpty());
}

TEST_F(InstallTest, TheSameFaceTwiceInOneListIsOfferedOnce)
{
    put("Pack/Fresh.otf", font("Quillon Fresh"));
    put("Pack/Fresh.ttf", font("Quillon Fresh") + QByteArray(4, '\0'));
    InstallPlan plan(*fonts);
    plan.add({download.filePath("Pack")});
    EXPECT_EQ(plan.count(FaceState::New), 1);
    EXPECT_EQ(plan.count(FaceState::SameFace), 1);
    EXPECT_EQ(plan.install().size(), 1);
}

TEST_F(InstallTest, InstallingOneFileTellsWhyNotOrAsksBeforeInstallingBesideAnotherFace)
{
    EXPECT_TRUE(installFile(*fonts, put("Broken.otf", "no font"), talk, nullptr).isEmpty());
    EXPECT_EQ(talk.said.value(0), "Broken.otf was not installed: it is not a font file.");

    EXPECT_TRUE(installFile(*fonts, put("DejaVuSans.ttf", test::contents(test::testFont("DejaVuSans.ttf"))),
                            talk, nullptr)
                    .isEmpty());
    EXPECT_TRUE(talk.said.value(1).startsWith("DejaVuSans.ttf is already installed ("))
        << talk.said.value(1).toStdString();

    // A face installed from another file: the user decides.
    const QString other = put("Other.ttf", font("DejaVu Sans", "Book"));
    EXPECT_TRUE(installFile(*fonts, other, talk, nullptr).isEmpty());
    ASSERT_EQ(talk.asked.size(), 1);
    EXPECT_TRUE(
        talk.asked[0].startsWith("Other.ttf holds DejaVu Sans Book, which is already installed from "));
    EXPECT_TRUE(installed().isEmpty());
    talk.answer = true;
    EXPECT_EQ(installFile(*fonts, other, talk, nullptr), QStringList{data.filePath("fonts/Other.ttf")});

    // A file of the same name with other bytes gets a free name; then the first is already installed.
    const QString fresh = put("Other/Other.ttf", font("Quillon Fresh"));
    EXPECT_EQ(installFile(*fonts, fresh, talk, nullptr), QStringList{data.filePath("fonts/Other-2.ttf")});
    EXPECT_EQ(test::contents(data.filePath("fonts/Other.ttf")), font("DejaVu Sans", "Book"));
    talk.said.clear();
    EXPECT_TRUE(installFile(*fonts, fresh, talk, nullptr).isEmpty());
    EXPECT_TRUE(talk.said.value(0).startsWith("Other.ttf is already installed"))
        << talk.said.value(0).toStdString();
}

TEST_F(InstallTest, RemovingAsksNamingTheFileAndItsFacesAndMovesItToTheTrash)
{
    const QString path = installFile(*fonts, put("Fresh.ttf", font("Quillon Fresh")), talk, nullptr).value(0);
    ASSERT_FALSE(path.isEmpty());
    talk.answer = false;
    EXPECT_FALSE(removeFile(*fonts, path, talk, nullptr));
    ASSERT_EQ(talk.asked.size(), 1);
    EXPECT_TRUE(talk.asked[0].contains(path));
    EXPECT_TRUE(talk.asked[0].contains("It holds Quillon Fresh Regular."));
    EXPECT_TRUE(QFile::exists(path));
    talk.answer = true;
    EXPECT_TRUE(removeFile(*fonts, path, talk, nullptr));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QFile::exists(data.filePath("Trash/files/Fresh.ttf")));

    // A system font: refused with the reason, left as it is.
    talk.said.clear();
    EXPECT_FALSE(removeFile(*fonts, test::testFont("DejaVuSans.ttf"), talk, nullptr));
    EXPECT_TRUE(talk.said.value(0).contains("not in your own font folders"));
    EXPECT_TRUE(QFile::exists(test::testFont("DejaVuSans.ttf")));
}

} // namespace
} // namespace quillon::install
