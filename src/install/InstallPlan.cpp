#include "install/InstallPlan.h"

#include "platform/Log.h"
#include "platform/ScratchFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace quillon::install {

namespace {

/// Folders are walked no deeper than this: a link loop or a deep tree must not keep the list coming.
constexpr int kMostFolderDepth = 16;

QString faceKey(const platform::ExaminedFace& face)
{
    return face.family.toCaseFolded() + QChar(0) + face.style.toCaseFolded();
}

QString counted(int n, const char* one, const char* many)
{
    return n == 1 ? QStringLiteral("1 %1").arg(QLatin1String(one))
                  : QStringLiteral("%1 %2").arg(n).arg(QLatin1String(many));
}

} // namespace

InstallPlan::InstallPlan(platform::FontInstall& fonts) : fonts_(fonts) {}

InstallPlan::~InstallPlan() = default;

QString InstallPlan::stateWords(FaceState state)
{
    switch (state) {
    case FaceState::New:
        return QStringLiteral("new");
    case FaceState::Installed:
        return QStringLiteral("already installed");
    case FaceState::SameFace:
        return QStringLiteral("same face from another file");
    case FaceState::NotFont:
        return QStringLiteral("not a font");
    }
    return {};
}

void InstallPlan::add(const QStringList& paths)
{
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir())
            addFolder(info.absoluteFilePath());
        else if (!info.exists())
            notes_ << QStringLiteral("%1 cannot be found.").arg(path);
        else if (platform::isArchiveFileName(info.fileName()))
            addArchive(info.absoluteFilePath());
        else
            addFile(info.absoluteFilePath(), info.absoluteFilePath());
    }
}

void InstallPlan::addFolder(const QString& path)
{
    int found = 0;
    int leftOut = 0;
    const int most = platform::ArchiveLimits().entries;
    QDirIterator walk(path, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString file = walk.next();
        const QString relative = QDir(path).relativeFilePath(file);
        if (relative.count(QLatin1Char('/')) >= kMostFolderDepth) continue;
        if (relative.startsWith(QLatin1Char('.')) || relative.contains(QLatin1String("/.")) ||
            relative.startsWith(QLatin1String("__MACOSX/")) || !platform::isFontFileName(file))
            continue;
        if (found == most) {
            ++leftOut;
            continue;
        }
        ++found;
        addFile(file, file);
    }
    if (found == 0) notes_ << QStringLiteral("%1 holds no font files.").arg(path);
    if (leftOut > 0)
        notes_ << QStringLiteral("%1 holds more than %2 font files: %3 more were left out.")
                      .arg(path)
                      .arg(most)
                      .arg(leftOut);
}

void InstallPlan::addArchive(const QString& path)
{
    // Unpacked beside the program's other cached files, on a disk (not in memory), and removed with the plan.
    const QString parent =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Quillon");
    QDir().mkpath(parent);
    platform::ScratchFolder::removeAbandoned(parent, QStringLiteral(".unpacked"));
    auto folder = std::make_unique<platform::ScratchFolder>(parent, QStringLiteral(".unpacked"));
    const QString name = QFileInfo(path).fileName();
    if (!folder->isValid()) {
        notes_ << QStringLiteral("%1 was not opened: %2.").arg(name, folder->problem());
        return;
    }
    const platform::Unpacked unpacked = fonts_.unpack(path, folder->path(), platform::ArchiveLimits());
    if (!unpacked.problem.isEmpty()) {
        notes_ << QStringLiteral("%1 was not opened: %2.").arg(name, unpacked.problem);
        return;
    }
    if (unpacked.fonts.empty()) notes_ << QStringLiteral("%1 holds no font files.").arg(name);
    for (const platform::UnpackedFont& font : unpacked.fonts) {
        addFile(font.path, name + QStringLiteral(": ") + font.entry);
        files_.back().name = font.entry.mid(font.entry.lastIndexOf(QLatin1Char('/')) + 1);
    }
    unpacked_.push_back(std::move(folder));
}

void InstallPlan::addFile(const QString& path, const QString& shown)
{
    FoundFile file;
    file.shown = shown;
    file.source = path;
    file.name = QFileInfo(path).fileName();
    const platform::ExaminedFile examined = fonts_.examine(path);
    file.problem = examined.problem;
    file.identical = examined.identical;
    file.faces = examined.faces;
    files_.push_back(std::move(file));
    classify(static_cast<int>(files_.size()) - 1);
}

void InstallPlan::classify(int index)
{
    const FoundFile& file = files_[static_cast<std::size_t>(index)];
    if (!file.problem.isEmpty()) {
        faces_.push_back({index, 0, FaceState::NotFont, file.problem});
        return;
    }
    // A face earlier in this list counts as installed from that file: a package often carries one face
    // as both .otf and .ttf, and both installed would list it twice.
    QHash<QString, QString> earlier;
    for (const FoundFace& row : faces_) {
        const FoundFile& other = files_[static_cast<std::size_t>(row.file)];
        if (row.file != index && row.state != FaceState::NotFont && row.state != FaceState::Installed)
            earlier.insert(faceKey(other.faces[static_cast<std::size_t>(row.face)]), other.shown);
    }
    for (std::size_t f = 0; f < file.faces.size(); ++f) {
        const platform::ExaminedFace& face = file.faces[f];
        FoundFace row{index, static_cast<int>(f), FaceState::New, {}};
        if (!file.identical.isEmpty()) {
            row.state = FaceState::Installed;
            row.detail = file.identical;
        } else if (!face.sameFace.isEmpty()) {
            row.state = FaceState::SameFace;
            row.detail = face.sameFace.join(QStringLiteral(", "));
        } else if (earlier.contains(faceKey(face))) {
            row.state = FaceState::SameFace;
            row.detail = earlier.value(faceKey(face));
        }
        faces_.push_back(row);
    }
}

int InstallPlan::count(FaceState state) const
{
    int n = 0;
    for (const FoundFace& row : faces_) n += row.state == state ? 1 : 0;
    return n;
}

bool InstallPlan::installable(int index, bool besideSameFace) const
{
    const FoundFile& file = files_[static_cast<std::size_t>(index)];
    if (!file.problem.isEmpty() || !file.identical.isEmpty() || !file.installedAs.isEmpty()) return false;
    if (besideSameFace) return true;
    for (const FoundFace& row : faces_)
        if (row.file == index && row.state == FaceState::SameFace) return false;
    return true;
}

QString InstallPlan::summary() const
{
    QStringList parts;
    if (const int n = count(FaceState::New)) parts << counted(n, "new face", "new faces");
    if (const int n = count(FaceState::Installed)) parts << QStringLiteral("%1 already installed").arg(n);
    if (const int n = count(FaceState::SameFace))
        parts << counted(n, "face installed from another file", "faces installed from other files");
    if (const int n = count(FaceState::NotFont))
        parts << counted(n, "file that is not a font", "files that are not fonts");
    return parts.isEmpty() ? QStringLiteral("No font files.")
                           : parts.join(QStringLiteral(", ")) + QLatin1Char('.');
}

QStringList InstallPlan::install(const std::function<bool(int file)>& wanted)
{
    QStringList copied;
    for (std::size_t i = 0; i < files_.size(); ++i) {
        const int index = static_cast<int>(i);
        if (!installable(index, true) || (wanted ? !wanted(index) : !installable(index, false))) continue;
        FoundFile& file = files_[i];
        QString problem;
        file.installedAs = fonts_.copyIn(file.source, file.name, &problem);
        if (file.installedAs.isEmpty()) {
            file.failure = problem;
            qCDebug(log::catalogue) << "not installed:" << file.shown << "-" << problem;
            continue;
        }
        copied << file.installedAs;
    }
    if (!copied.isEmpty()) fonts_.announce(fonts_.userFontFolder());
    return copied;
}

} // namespace quillon::install
