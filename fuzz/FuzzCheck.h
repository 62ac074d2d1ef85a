#pragma once
// What the fuzz targets share: a failed expectation is a finding, reported on stderr and ended with abort()
// so that libFuzzer keeps the input and the replay of kept findings fails.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace quillon::fuzz {

[[noreturn]] inline void fail(const char* what, const QString& detail = QString())
{
    std::fprintf(stderr, "fuzz finding: %s %s\n", what, detail.toUtf8().constData());
    std::abort();
}

inline void check(bool ok, const char* what, const QString& detail = QString())
{
    if (!ok) fail(what, detail);
}

/// The lines of a text split at "\n", as a key file holds them (the last one only when it is not empty).
inline QList<QByteArray> linesOf(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
    return lines;
}

} // namespace quillon::fuzz
