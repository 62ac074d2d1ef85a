#include "options/OptionsChange.h"

#include "options/FileAssociations.h"
#include "platform/Log.h"
#include "platform/SettingsStore.h"
#include "registry/RegistryModule.h"

namespace quillon {

const std::array<QString, 3> OptionsChange::kSettings = {
    QStringLiteral("DefaultViewer"), QStringLiteral("DefaultPrinter"), QStringLiteral("ShowSplash")};
const QString OptionsChange::kUnderWay = QStringLiteral("OptionsBeingSaved");

namespace {

QString codeOf(const OptionsChange::Boxes& boxes)
{
    QString code;
    for (const bool box : boxes) code += box ? QLatin1Char('1') : QLatin1Char('0');
    return code;
}

} // namespace

OptionsChange::OptionsChange(FileAssociations& associations, RegistryModule& registry,
                             platform::SettingsStore& settings)
    : settings_(settings), associations_(associations), registry_(registry)
{
}

OptionsChange::Outcome OptionsChange::save(const Boxes& boxes)
{
    Outcome outcome;
    const auto store = [&](const QString& key, const QString& value) {
        settings_.SaveSetting(settings_keys::kTitle, settings_keys::kSection, key, value);
        if (const QString problem = settings_.saveProblem(); !problem.isEmpty()) {
            outcome.settingsSaved = false;
            outcome.reason = problem;
        }
    };
    store(kUnderWay, codeOf(boxes));
    if (!outcome.settingsSaved) return outcome; // the desktop is not touched either

    const QString verbs[2] = {QStringLiteral("V"), QStringLiteral("P")};
    bool made[3] = {true, true, true};
    for (int i = 0; i < 2; ++i) {
        if (boxes[i]) {
            associations_.SaveAssociation(verbs[i]);
            made[i] = associations_.SetAssociation(verbs[i]);
        } else {
            made[i] = associations_.RestoreAssociation(verbs[i]);
        }
    }
    const QString desktopProblem = registry_.writeProblem();
    for (int i = 0; i < 3; ++i)
        if (made[i]) store(kSettings[i], boxes[i] ? QStringLiteral("1") : QStringLiteral("0"));
    if (!made[0] || !made[1]) {
        outcome.associationsMade = false;
        if (outcome.reason.isEmpty()) outcome.reason = desktopProblem;
    }
    // Settled either way: what the desktop took is stored, what it refused keeps its earlier setting.
    store(kUnderWay, QString());
    return outcome;
}

bool OptionsChange::finishInterrupted()
{
    const QString code = settings_.GetSetting(settings_keys::kTitle, settings_keys::kSection, kUnderWay);
    if (code.isEmpty()) return false;
    Boxes boxes{};
    if (code.size() != 3) {
        // Not one of ours: nothing can be finished from it, and it must not be tried at every start.
        settings_.SaveSetting(settings_keys::kTitle, settings_keys::kSection, kUnderWay, QString());
        return false;
    }
    for (int i = 0; i < 3; ++i) boxes[i] = code.at(i) == QLatin1Char('1');
    qCDebug(log::settings) << "an options save was cut short; finishing it:" << code;
    const Outcome outcome = save(boxes);
    if (!outcome.done())
        qCDebug(log::settings) << "the options save could not be finished:" << outcome.reason;
    return true;
}

} // namespace quillon
