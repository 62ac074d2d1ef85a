#include "platform/linux/FontFolderWatch.h"

#include "platform/Log.h"
#include "platform/NativeText.h"
#include "platform/linux/fonts/LinuxFontSystem.h"
#include "platform/linux/registry/InstalledFontFiles.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSet>

#include <fontconfig/fontconfig.h>

#include <sys/stat.h>

namespace quillon::platform {

namespace {

void addAll(FcStrList* list, QStringList& out, QSet<QString>& seen)
{
    if (!list) return;
    while (FcChar8* item = FcStrListNext(list)) {
        const QString path = fromNativeBytes(reinterpret_cast<const char*>(item));
        if (!seen.contains(path)) {
            seen.insert(path);
            out << path;
        }
    }
    FcStrListDone(list);
}

} // namespace

FontFolderWatch::FontFolderWatch(LinuxFontSystem& fonts, InstalledFontFiles& installed)
    : fonts_(fonts), installed_(installed)
{
    settle_.setSingleShot(true);
    deadline_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &FontFolderWatch::settled);
    connect(&deadline_, &QTimer::timeout, this, &FontFolderWatch::settled);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &FontFolderWatch::noticed);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &FontFolderWatch::noticed);
}

QStringList FontFolderWatch::paths() const
{
    QStringList out;
    QSet<QString> seen;
    FcConfig* config = FcConfigReference(nullptr);
    if (!config) return out;
    // The configuration's files (and the conf.d folders among them), the folders it names, and every font
    // folder it scanned, subfolders included: a package adds its fonts in a subfolder of its own.
    addAll(FcConfigGetConfigFiles(config), out, seen);
    addAll(FcConfigGetConfigDirs(config), out, seen);
    addAll(FcConfigGetFontDirs(config), out, seen);
    FcConfigDestroy(config);
    return out;
}

FontFolderWatch::Snapshot FontFolderWatch::snapshotOf(const QStringList& paths)
{
    Snapshot out;
    out.reserve(paths.size());
    for (const QString& path : paths) {
        struct stat st {};
        Seen seen;
        if (::stat(nativeBytes(path).constData(), &st) == 0) {
            seen.mtime = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
            seen.inode = st.st_ino;
        }
        out.insert(path, seen);
    }
    return out;
}

QByteArray FontFolderWatch::fingerprint()
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    FcConfig* config = FcConfigReference(nullptr);
    FcFontSet* set = config ? FcConfigGetFonts(config, FcSetSystem) : nullptr;
    for (int i = 0; set && i < set->nfont; ++i) {
        for (const char* object : {FC_FILE, FC_FAMILY, FC_STYLE}) {
            FcChar8* value = nullptr;
            if (FcPatternGetString(set->fonts[i], object, 0, &value) == FcResultMatch && value)
                hash.addData(QByteArrayView(reinterpret_cast<const char*>(value)));
            hash.addData(QByteArrayView("\n", 1));
        }
        int index = 0;
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
        hash.addData(QByteArray::number(index));
    }
    if (config) FcConfigDestroy(config);
    return hash.result();
}

void FontFolderWatch::rewatch()
{
    const QStringList old = watched();
    if (!old.isEmpty()) watcher_.removePaths(old);
    QStringList wanted;
    QSet<QString> added;
    for (const QString& path : std::as_const(paths_)) {
        if (wanted.size() >= kMostWatched) break;
        // A configured folder that does not exist yet (the user's font folder before the first install) is
        // seen coming through the folder above it.
        QString existing = path;
        while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
            const QString parent = QFileInfo(existing).absolutePath();
            existing = parent == existing ? QString() : parent;
        }
        if (!existing.isEmpty() && !added.contains(existing)) {
            added.insert(existing);
            wanted << existing;
        }
    }
    if (!wanted.isEmpty()) watcher_.addPaths(wanted);
}

void FontFolderWatch::watch()
{
    if (watching_) return;
    watching_ = true;
    paths_ = paths();
    seen_ = snapshotOf(paths_);
    rewatch();
    qCDebug(log::fonts) << "watching" << watched().size() << "font folders and configuration files";
}

void FontFolderWatch::noticed(const QString& path)
{
    if (firstNoticed_.isEmpty()) {
        firstNoticed_ = path;
        deadline_.start(kMostWaitMs);
    }
    settle_.start(kSettleMs);
}

QString FontFolderWatch::differences(const Snapshot& now) const
{
    QStringList changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (seen_.value(it.key()) != it.value()) changed << it.key();
    if (changed.isEmpty()) return {};
    const QString first = changed.front();
    const QString what = QFileInfo(first).isDir() || now.value(first).mtime < 0
                             ? QStringLiteral("files came or went in %1").arg(first)
                             : QStringLiteral("%1 changed").arg(first);
    return changed.size() == 1 ? what : QStringLiteral("%1 and %2 more").arg(what).arg(changed.size() - 1);
}

void FontFolderWatch::settled()
{
    settle_.stop();
    deadline_.stop();
    const QString noticedFirst = firstNoticed_;
    firstNoticed_.clear();
    const Snapshot now = snapshotOf(paths_);
    QString why = differences(now);
    if (why.isEmpty()) {
        if (FcConfigUptoDate(nullptr)) {
            seen_ = now;
            // A file watched was replaced (its watch goes with the old file): watched again.
            if (watched().size() < std::min<qsizetype>(paths_.size(), kMostWatched) / 2) rewatch();
            return;
        }
        why = QStringLiteral("fontconfig's configuration changed");
    }
    reload(why);
}

bool FontFolderWatch::checkNow(const QString& why)
{
    settle_.stop();
    deadline_.stop();
    firstNoticed_.clear();
    return reload(why);
}

bool FontFolderWatch::reload(const QString& why)
{
    QElapsedTimer timer;
    timer.start();
    const QByteArray before = fingerprint();
    if (!FcInitReinitialize()) {
        qCDebug(log::fonts) << "fontconfig's configuration could not be read again (" << why
                            << "): the fonts stay as they were";
        return false;
    }
    const bool changed = fingerprint() != before;
    fonts_.fontsChanged(changed);
    if (changed) installed_.reload();
    if (watching_) {
        paths_ = paths();
        rewatch();
    }
    seen_ = snapshotOf(paths_);
    qCDebug(log::fonts).noquote() << QStringLiteral("fontconfig read again in %1 ms: %2%3")
                                         .arg(timer.elapsed())
                                         .arg(why, changed ? QString()
                                                           : QStringLiteral("; the fonts are as they were"));
    if (changed && listener_) listener_(why);
    return changed;
}

} // namespace quillon::platform
