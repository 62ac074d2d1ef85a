#pragma once
// Whole files read and written in one call, for tests that check what a writer left on disk, and the
// tests' own fonts.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace quillon::test {

/// The path of one of the tests' fonts (tests/testfonts.cmake), by file name.
inline QString testFont(const char* name)
{
    return QString::fromLocal8Bit(qgetenv("QUILLON_TEST_FONTS")) + u'/' + QLatin1String(name);
}

/// The file's bytes; empty when it cannot be read.
inline QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Replaces the file with `bytes`; a file that cannot be written fails the test.
inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace quillon::test
