#include "platform/ScratchFolder.h"

#include "platform/Log.h"
#include "platform/NativeText.h"
#include "platform/ReplacingFile.h"

#include <QDir>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <ctime>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::platform {

namespace {

// Who made the folder: the process id, so a later run can tell a folder in use from one left behind.
const char kOwnerFile[] = "owner";

/// The files directly in a folder; nullopt when it holds anything else (a folder, a link): not ours.
std::optional<QStringList> filesIn(const QByteArray& folder)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return std::nullopt;
    QStringList files;
    bool onlyFiles = true;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::lstat((folder + '/' + name).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
            onlyFiles = false;
            break;
        }
        files << fromNativeBytes(name);
    }
    ::closedir(dir);
    if (!onlyFiles) return std::nullopt;
    return files;
}

bool removeFolder(const QString& path)
{
    const QByteArray native = nativeBytes(path);
    const auto files = filesIn(native);
    if (!files) return false;
    for (const QString& file : *files) ::unlink((native + '/' + nativeBytes(file)).constData());
    return ::rmdir(native.constData()) == 0;
}

/// Whether the run that made the folder is over.
bool isAbandoned(const QByteArray& folder, const struct stat& st)
{
    if (std::time(nullptr) - st.st_mtime > ScratchFolder::kAbandonedAfterHours * 3600) return true;
    QFile owner(fromNativeBytes(folder + '/' + kOwnerFile));
    if (!owner.open(QIODevice::ReadOnly)) return false; // being made right now, or not ours: wait
    bool ok = false;
    const qint64 pid = owner.read(32).trimmed().toLongLong(&ok);
    if (!ok || pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

ScratchFolder::ScratchFolder(const QString& parent, const QString& prefix)
{
    QByteArray pattern = nativeBytes(parent + QLatin1Char('/') + prefix) + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        problem_ = ReplacingFile::reasonFor(errno, parent);
        return;
    }
    path_ = fromNativeBytes(pattern);
    if (!ReplacingFile::replace(filePath(QString::fromLatin1(kOwnerFile)), QByteArray::number(::getpid()),
                                &problem_)) {
        removeFolder(path_);
        path_.clear();
    }
}

ScratchFolder::~ScratchFolder()
{
    if (!path_.isEmpty() && !removeFolder(path_))
        qCDebug(log::printing) << "the folder" << path_ << "of a book's parts could not be removed";
}

QString ScratchFolder::filePath(const QString& name) const { return path_ + QLatin1Char('/') + name; }

int ScratchFolder::removeAbandoned(const QString& parent, const QString& prefix)
{
    const QRegularExpression made(
        QStringLiteral("^%1-[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(prefix)));
    int removed = 0;
    const QStringList names =
        QDir(parent).entryList({prefix + QStringLiteral("-*")}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        if (!made.match(name).hasMatch()) continue;
        const QByteArray folder = nativeBytes(parent + QLatin1Char('/') + name);
        struct stat st {};
        if (::lstat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
            continue;
        if (!isAbandoned(folder, st)) continue;
        if (removeFolder(fromNativeBytes(folder))) {
            ++removed;
            qCDebug(log::printing) << "removed the parts of a book an earlier run did not finish:" << name;
        }
    }
    return removed;
}

} // namespace quillon::platform
