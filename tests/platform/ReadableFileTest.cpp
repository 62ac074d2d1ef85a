// The one place the program asks what a path names: a name that is not UTF-8 is found, a folder is not a
// file, and a pipe neither hangs the question nor counts as a readable font file.
#include "platform/ReadableFile.h"
#include "platform/NativeText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/stat.h>

using namespace quillon::platform;

TEST(ReadableFile, TellsFilesFoldersAndPipesApartByTheNamesBytes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString odd = dir.filePath(fromNativeBytes("caf\xe9.ttf")); // Latin-1 bytes, not UTF-8
    std::FILE* file = std::fopen(nativeBytes(odd).constData(), "wb"); // by its bytes, as QFile cannot
    ASSERT_NE(file, nullptr);
    std::fwrite("OTTO", 1, 4, file);
    std::fclose(file);
    const QString empty = dir.filePath(QStringLiteral("empty.ttf"));
    ASSERT_TRUE(QFile(empty).open(QIODevice::WriteOnly));
    const QString pipe = dir.filePath(QStringLiteral("pipe.ttf"));
    ASSERT_EQ(::mkfifo(nativeBytes(pipe).constData(), 0600), 0);

    EXPECT_EQ(pathKind(odd), PathKind::File);
    EXPECT_EQ(pathKind(dir.path()), PathKind::Folder);
    EXPECT_EQ(pathKind(pipe), PathKind::Other);
    EXPECT_EQ(pathKind(dir.filePath(QStringLiteral("gone.ttf"))), PathKind::Missing);
    EXPECT_EQ(pathKind(QString()), PathKind::Missing);

    EXPECT_EQ(readableFileSize(odd), 4);
    EXPECT_EQ(readableFileSize(empty), 0);
    EXPECT_EQ(readableFileSize(pipe), std::nullopt); // no writer: a blocking open would never return
    EXPECT_EQ(readableFileSize(dir.path()), std::nullopt);

    EXPECT_EQ(whyNotReadable(odd), QString());
    EXPECT_EQ(whyNotReadable(pipe), QStringLiteral("not a regular file"));
    EXPECT_EQ(whyNotReadable(dir.path()), QStringLiteral("is a folder, not a file"));
}
