#include "options/FileAssociations.h"

#include "platform/SettingsStore.h"
#include "platform/ShellCommand.h"
#include "shell/FontModule.h"

#include <optional>

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

} // namespace

FileAssociations::FileAssociations(RegistryModule& registry, SettingsStore& settings, const FontModule& module)
    : registry_(registry), settings_(settings), module_(module)
{
}

QString FileAssociations::fonCommandKey(const QString& verb)
{
    const auto places = placesFor(verb);
    return places ? QStringLiteral("fonfile\\shell\\") + places->shellVerb + QStringLiteral("\\command") : QString();
}

void FileAssociations::SaveAssociation(const QString& verb)
{
    const auto places = placesFor(verb);
    if (!places) return;
    // Compared exactly as read: another program's command carries its stored terminator, the program's
    // own does not, so only the program's own command equals it.
    const QString current = regValueText(registry_.GetRegValue(HKEY_CLASSES_ROOT, fonCommandKey(verb), QString()));
    const QString own = verb == QStringLiteral("V") ? module_.viewCommand : module_.printCommand;
    if (current == kRegError || current.isEmpty() || current == own || !hasProgram(current)) return;
    settings_.SaveSetting(settings_keys::kTitle, settings_keys::kSection, places->priorKey, current);
}

void FileAssociations::SetAssociation(const QString& verb)
{
    const auto places = placesFor(verb);
    if (!places) return;
    writeAll(places->shellVerb, verb == QStringLiteral("V") ? module_.viewCommand : module_.printCommand);
}

void FileAssociations::RestoreAssociation(const QString& verb)
{
    const auto places = placesFor(verb);
    if (!places) return;
    const QString prior =
        settings_.GetSetting(settings_keys::kTitle, settings_keys::kSection, places->priorKey, QString());
    if (prior.isEmpty()) return;
    writeAll(places->shellVerb, prior);
    settings_.SaveSetting(settings_keys::kTitle, settings_keys::kSection, places->priorKey, QString());
}

void FileAssociations::writeAll(const QString& shellVerb, const QString& command)
{
    if (!hasProgram(command)) return;
    for (const QString& extension : module_.fontExtensions) {
        if (extension.isEmpty()) continue;
        const QString classKey = extension + QStringLiteral("file\\shell\\") + shellVerb + QStringLiteral("\\command");
        const QString machineKey = QStringLiteral("software\\classes\\") + classKey;
        registry_.CreateRegKey(HKEY_CLASSES_ROOT, classKey);
        registry_.SetRegValue(HKEY_CLASSES_ROOT, classKey, QString(), 2, command);
        registry_.CreateRegKey(HKEY_LOCAL_MACHINE, machineKey);
        registry_.SetRegValue(HKEY_LOCAL_MACHINE, machineKey, QString(), 2, command);
    }
}

} // namespace quillon
