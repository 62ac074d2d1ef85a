#include "options/FileAssociations.h"

#include "base/FontModule.h"
#include "platform/Log.h"
#include "platform/SettingsStore.h"
#include "platform/ShellCommand.h"

#include <optional>
#include <utility>

namespace quillon {

using namespace platform;

namespace {

struct VerbPlaces {
    QString shellVerb; // the shell verb's key name
    QString priorKey;  // the setting that remembers the prior command
};

std::optional<VerbPlaces> placesFor(const QString& verb)
{
    if (verb == QStringLiteral("V")) return VerbPlaces{QStringLiteral("open"), settings_keys::kPriorView};
    if (verb == QStringLiteral("P")) return VerbPlaces{QStringLiteral("print"), settings_keys::kPriorPrint};
    return std::nullopt;
}

bool hasProgram(const QString& command) { return !commandProgram(command).isEmpty(); }

QString classKeyFor(const QString& extension, const QString& shellVerb)
{
    return extension + QStringLiteral("file\\shell\\") + shellVerb + QStringLiteral("\\command");
}

} // namespace

FileAssociations::FileAssociations(RegistryModule& registry, SettingsStore& settings,
                                   const FontModule& module)
    : registry_(registry), settings_(settings), module_(module)
{
}

QString FileAssociations::fonCommandKey(const QString& verb)
{
    const auto places = placesFor(verb);
    return places ? QStringLiteral("fonfile\\shell\\") + places->shellVerb + QStringLiteral("\\command")
                  : QString();
}

void FileAssociations::SaveAssociation(const QString& verb)
{
    const auto places = placesFor(verb);
    if (!places) return;
    // Compared exactly as read: another program's command carries its stored terminator, the program's
    // own does not, so only the program's own command equals it.
    const RegValue read = registry_.GetRegValue(HKEY_CLASSES_ROOT, fonCommandKey(verb), QString());
    if (isError(read)) return;
    const QString current = regValueText(read);
    const QString own = verb == QStringLiteral("V") ? module_.viewCommand : module_.printCommand;
    // Nor is the program's command for the other verb a prior one: where a kind has no print command of its
    // own, the shell prints with its opener, which may be this program's view command.
    const QString other = verb == QStringLiteral("V") ? module_.printCommand : module_.viewCommand;
    if (current.isEmpty() || current == own || current == other || !hasProgram(current)) return;
    settings_.SaveSetting(settings_keys::kTitle, settings_keys::kSection, places->priorKey, current);
}

bool FileAssociations::SetAssociation(const QString& verb)
{
    const auto places = placesFor(verb);
    if (!places) return true;
    return writeAll(places->shellVerb,
                    verb == QStringLiteral("V") ? module_.viewCommand : module_.printCommand);
}

bool FileAssociations::RestoreAssociation(const QString& verb)
{
    const auto places = placesFor(verb);
    if (!places) return true;
    const QString prior =
        settings_.GetSetting(settings_keys::kTitle, settings_keys::kSection, places->priorKey, QString());
    // Without a command to put back, the program still takes its own out: leaving it in place would keep
    // the program the shell's command while the option says it is not.
    const QString own = verb == QStringLiteral("V") ? module_.viewCommand : module_.printCommand;
    const bool ok =
        hasProgram(prior) ? writeAll(places->shellVerb, prior) : removeOwn(places->shellVerb, own);
    if (ok && !prior.isEmpty())
        settings_.SaveSetting(settings_keys::kTitle, settings_keys::kSection, places->priorKey, QString());
    return ok;
}

bool FileAssociations::writeAll(const QString& shellVerb, const QString& command)
{
    if (!hasProgram(command)) {
        qCDebug(log::associations) << "the" << shellVerb << "command" << command
                                   << "names no program: not written";
        return false;
    }
    bool ok = true;
    for (const QString& extension : module_.fontExtensions) {
        if (extension.isEmpty()) continue;
        const QString classKey = classKeyFor(extension, shellVerb);
        const QString machineKey = QStringLiteral("software\\classes\\") + classKey;
        // A key that could not be made shows as the write into it failing, so only the write is read.
        registry_.CreateRegKey(HKEY_CLASSES_ROOT, classKey);
        if (!succeeded(registry_.SetRegValue(HKEY_CLASSES_ROOT, classKey, QString(), 2, command))) {
            qCDebug(log::associations)
                << "the" << shellVerb << "command for" << extension << "files was not written";
            ok = false;
        }
        // The machine-wide copy is a courtesy to other users: the store may refuse this user, harmlessly.
        registry_.CreateRegKey(HKEY_LOCAL_MACHINE, machineKey);
        registry_.SetRegValue(HKEY_LOCAL_MACHINE, machineKey, QString(), 2, command);
    }
    return ok;
}

bool FileAssociations::removeOwn(const QString& shellVerb, const QString& ownCommand)
{
    bool ok = true;
    for (const QString& extension : module_.fontExtensions) {
        if (extension.isEmpty()) continue;
        const QString classKey = classKeyFor(extension, shellVerb);
        const QString machineKey = QStringLiteral("software\\classes\\") + classKey;
        for (const auto& [root, key] :
             {std::pair{HKEY_CLASSES_ROOT, classKey}, std::pair{HKEY_LOCAL_MACHINE, machineKey}}) {
            // Only the program's own command, read exactly as written: another program's stays.
            if (regValueText(registry_.GetRegValue(root, key, QString())) != ownCommand) continue;
            if (succeeded(registry_.DeleteRegValue(root, key, QString())) || root != HKEY_CLASSES_ROOT)
                continue;
            qCDebug(log::associations) << "the program's" << shellVerb << "command for" << extension
                                       << "files could not be taken out";
            ok = false;
        }
    }
    return ok;
}

} // namespace quillon
