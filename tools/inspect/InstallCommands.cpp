// install and uninstall: font files put into the user's font folder or taken to the trash, as the windows
// do it.
#include "tools/inspect/Commands.h"

#include "install/InstallPlan.h"
#include "platform/FontInstall.h"
#include "platform/NativeText.h"

#include <QFileInfo>

#include <cstdio>

namespace quillon::inspect {

namespace {

void printLine(const QString& line)
{
    const QByteArray bytes = platform::nativeBytes(line);
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

void complain(const char* command, const QString& text)
{
    std::fprintf(stderr, "quillon-inspect %s: %s\n", command, platform::nativeBytes(text).constData());
}

} // namespace

int install(platform::Platform& platform, const QStringList& args)
{
    QStringList paths;
    bool dryRun = false;
    bool beside = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--dry-run"))
            dryRun = true;
        else if (arg == QLatin1String("--beside"))
            beside = true;
        else
            paths << arg;
    }
    if (paths.isEmpty()) {
        complain("install", QStringLiteral("usage: install PATH... [--dry-run] [--beside]"));
        return 2;
    }
    install::InstallPlan plan(platform.fontInstall);
    plan.add(paths);
    for (const install::FoundFace& row : plan.faces()) {
        const install::FoundFile& file = plan.files()[static_cast<std::size_t>(row.file)];
        const platform::ExaminedFace face =
            file.faces.empty() ? platform::ExaminedFace{} : file.faces[static_cast<std::size_t>(row.face)];
        printLine(QStringList{install::InstallPlan::stateWords(row.state), face.family, face.style,
                              face.format, file.shown, row.detail}
                      .join(QLatin1Char('\t')));
    }
    for (const QString& note : plan.notes()) printLine(QStringLiteral("Note\t") + note);
    bool failed = !plan.notes().isEmpty() || plan.count(install::FaceState::NotFont) > 0;
    if (!dryRun) {
        plan.install([&](int file) { return plan.installable(file, beside); });
        for (const install::FoundFile& file : plan.files()) {
            if (!file.installedAs.isEmpty()) printLine(QStringLiteral("Installed\t") + file.installedAs);
            if (!file.failure.isEmpty()) {
                printLine(QStringLiteral("Failed\t%1\t%2").arg(file.shown, file.failure));
                failed = true;
            }
        }
    }
    return failed ? 1 : 0;
}

int uninstall(platform::Platform& platform, const QStringList& args)
{
    if (args.isEmpty()) {
        complain("uninstall", QStringLiteral("usage: uninstall PATH..."));
        return 2;
    }
    bool failed = false;
    QStringList folders;
    for (const QString& path : args) {
        QString problem;
        if (!platform.fontInstall.moveToTrash(path, &problem)) {
            complain("uninstall", QStringLiteral("%1: %2").arg(path, problem));
            failed = true;
            continue;
        }
        printLine(QStringLiteral("Trashed\t") + path);
        const QString folder = QFileInfo(path).absolutePath();
        if (!folders.contains(folder)) folders << folder;
    }
    for (const QString& folder : folders) platform.fontInstall.announce(folder);
    return failed ? 1 : 0;
}

} // namespace quillon::inspect
