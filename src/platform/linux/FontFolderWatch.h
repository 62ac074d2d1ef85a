#pragma once
// Keeps the program's fonts in step with the machine's: fontconfig's font folders, configured folders and
// configuration files are watched (inotify, through QFileSystemWatcher; a configured folder that does not
// exist yet is watched through the nearest folder above it), never polled. A change is looked at once it
// has settled (kSettleMs after the last event, at most kMostWaitMs after the first), so a package that
// installs a hundred files gives one rebuild. fontconfig is asked whether its configuration is still
// current; since it tells by whole seconds of the folders' times, a change in the second it last looked
// would pass unseen, so the folders' own times (to the nanosecond) are compared as well.
//
// When something changed, fontconfig's configuration is read again and the face index, Qt's font database
// and the fonts key follow before the listener hears of it, and only when the fonts themselves changed (a
// stray non-font file in a font folder rebuilds nothing further).

#include "platform/FontChanges.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace quillon::platform {

class InstalledFontFiles;
class LinuxFontSystem;

class FontFolderWatch final : public QObject, public FontChanges {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 400;
    static constexpr int kMostWaitMs = 2000;
    /// Folders and files watched at most; beyond it only the configured folders are.
    static constexpr int kMostWatched = 8192;

    /// Both must outlive the watch.
    FontFolderWatch(LinuxFontSystem& fonts, InstalledFontFiles& installed);

    void setListener(std::function<void(const QString& why)> changed) override
    {
        listener_ = std::move(changed);
    }
    void watch() override;
    bool checkNow(const QString& why) override;

    /// The paths watched now (folders and files).
    QStringList watched() const { return watcher_.files() + watcher_.directories(); }

private:
    struct Seen {
        qint64 mtime = -1; // nanoseconds; -1 when missing
        quint64 inode = 0;
        bool operator==(const Seen&) const = default;
    };
    using Snapshot = QHash<QString, Seen>;

    void noticed(const QString& path);
    void settled();
    /// What changed since the last look, in words; empty when nothing did.
    QString differences(const Snapshot& now) const;
    bool reload(const QString& why);
    /// fontconfig's folders and files as its current configuration names them.
    QStringList paths() const;
    static Snapshot snapshotOf(const QStringList& paths);
    /// A hash of every face fontconfig lists (file, face number, family, style).
    static QByteArray fingerprint();
    void rewatch();

    LinuxFontSystem& fonts_;
    InstalledFontFiles& installed_;
    std::function<void(const QString&)> listener_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    QTimer deadline_;
    bool watching_ = false;
    QStringList paths_;
    Snapshot seen_;
    QString firstNoticed_;
};

} // namespace quillon::platform
