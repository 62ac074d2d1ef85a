// quillon-inspect font and details, as scripts read them: the properties in their order, one line each,
// with line breaks, tabs and backslashes inside a value escaped.
#include "support/SfntWriter.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using quillon::test::SfntName;
using quillon::test::SfntWriter;

namespace {

QString inspect(const QStringList& args, int* exitCode = nullptr)
{
    const QString program = qEnvironmentVariable("QUILLON_BINARY_DIR") + QStringLiteral("/quillon-inspect");
    if (!QFileInfo(program).isExecutable()) return QStringLiteral("<no quillon-inspect>");
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    if (exitCode) *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(InspectFont, EveryPropertyInOrderWithEscapes)
{
    if (!QFileInfo(qEnvironmentVariable("QUILLON_BINARY_DIR") + "/quillon-inspect").isExecutable())
        GTEST_SKIP() << "quillon-inspect is not built";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("escape.ttf"));
    auto names = SfntWriter::names(QStringLiteral("Inspect Probe"), QStringLiteral("Bold"),
                                   QStringLiteral("Inspect Probe Bold"), QStringLiteral("2.0"));
    names.push_back(
        SfntName{3, 1, 0x0409, 0, SfntWriter::utf16(QStringLiteral("Line one\nTab\there\\back\r"))});
    quillon::test::Os2Fields os2;
    os2.fsSelection = 0x20;
    ASSERT_TRUE(SfntWriter::writeFile(path, SfntWriter::minimalFont(names, os2)));

    int exitCode = -1;
    const QString expected = QStringLiteral("Broadcast\tFalse\n"
                                            "FontFile\t%1\n"
                                            "Bold\tTrue\n"
                                            "Copyright\tLine one\\nTab\\there\\\\back\\r\n"
                                            "FaceName\tInspect Probe\n"
                                            "FamilyName\tInspect Probe\n"
                                            "FullName\tInspect Probe Bold\n"
                                            "Installed\tFalse\n"
                                            "Italic\tFalse\n"
                                            "StrikeOut\tFalse\n"
                                            "SubFamilyName\tBold\n"
                                            "PostscriptName\t\n"
                                            "Trademark\t\n"
                                            "Underlined\tFalse\n"
                                            "UniqueIdentifier\tInspect Probe Bold;unique\n"
                                            "ValidTrueTypeFile\tTrue\n"
                                            "VersionString\t2.0\n")
                                 .arg(path);
    EXPECT_EQ(inspect({QStringLiteral("font"), path}, &exitCode), expected);
    EXPECT_EQ(exitCode, 0);

    inspect({QStringLiteral("font"), dir.filePath(QStringLiteral("missing.ttf"))}, &exitCode);
    EXPECT_NE(exitCode, 0);
}

TEST(InspectFont, DetailsEndWithTheCopyrightLabel)
{
    if (!QFileInfo(qEnvironmentVariable("QUILLON_BINARY_DIR") + "/quillon-inspect").isExecutable())
        GTEST_SKIP() << "quillon-inspect is not built";
    const QStringList lines = inspect({QStringLiteral("details"), QStringLiteral("DejaVu Sans Mono")})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("Is a TrueType font"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Installed: True")));
    EXPECT_EQ(lines.last(), QStringLiteral("Copyright\tCopyright (c) 2003 by Bitstream, Inc"));
}

} // namespace
