#include "find/FindQuery.h"

#include "find/WritingSystems.h"
#include "platform/SettingsStore.h"

#include <array>
#include <utility>

namespace quillon::find {

namespace {

const QString kApp = QStringLiteral("Quillon");
const QString kSection = QStringLiteral("Find");

constexpr std::array<std::pair<FormatFilter, const char*>, 5> kFormats = {{
    {FormatFilter::TrueType, "truetype"},
    {FormatFilter::OpenTypeCff, "cff"},
    {FormatFilter::Collection, "collection"},
    {FormatFilter::Type1, "type1"},
    {FormatFilter::Bitmap, "bitmap"},
}};

QString formatWord(FormatFilter format)
{
    for (const auto& [value, word] : kFormats)
        if (value == format) return QString::fromLatin1(word);
    return {};
}

std::optional<FormatFilter> formatNamed(const QString& word)
{
    if (word.isEmpty()) return FormatFilter::Any;
    for (const auto& [value, name] : kFormats)
        if (word.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return value;
    return std::nullopt;
}

QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

std::optional<QByteArray> tagFrom(const QString& text)
{
    if (text.isEmpty() || text.size() > 4) return std::nullopt;
    QByteArray tag;
    for (QChar c : text) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7e) return std::nullopt;
        tag += static_cast<char>(c.unicode());
    }
    return tag.leftJustified(4, ' ');
}

std::optional<FindQuery> FindQuery::fromArguments(const QStringList& args, bool* count, QString* problem)
{
    FindQuery query;
    bool counting = false;
    const auto fail = [&](const QString& why) -> std::optional<FindQuery> {
        if (problem) *problem = why;
        return std::nullopt;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        if (option == QLatin1String("--count")) {
            counting = true;
        } else if (option == QLatin1String("--variable")) {
            query.variable = true;
        } else if (option == QLatin1String("--colour") || option == QLatin1String("--color")) {
            query.colour = true;
        } else if (option == QLatin1String("--monospaced")) {
            query.monospaced = true;
        } else if (option == QLatin1String("--user") || option == QLatin1String("--system")) {
            if (query.origin != OriginFilter::Anyone)
                return fail(QStringLiteral("--user and --system exclude each other"));
            query.origin = option == QLatin1String("--user") ? OriginFilter::User : OriginFilter::System;
        } else if (option == QLatin1String("--name") || option == QLatin1String("--language") ||
                   option == QLatin1String("--script") || option == QLatin1String("--text") ||
                   option == QLatin1String("--feature") || option == QLatin1String("--axis") ||
                   option == QLatin1String("--format")) {
            const std::optional<QString> v = value();
            if (!v) return fail(option + QStringLiteral(" needs a value"));
            if (option == QLatin1String("--name")) {
                query.name = *v;
            } else if (option == QLatin1String("--language")) {
                query.language = v->trimmed().toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
            } else if (option == QLatin1String("--script")) {
                const std::optional<QString> script = scriptNamed(*v);
                if (!script) return fail(QStringLiteral("no script is named %1").arg(*v));
                query.script = *script;
            } else if (option == QLatin1String("--text")) {
                query.text = *v;
            } else if (option == QLatin1String("--format")) {
                const std::optional<FormatFilter> format = formatNamed(*v);
                if (!format || *format == FormatFilter::Any)
                    return fail(QStringLiteral("no format is named %1").arg(*v));
                query.format = *format;
            } else {
                const std::optional<QByteArray> tag = tagFrom(*v);
                if (!tag) return fail(QStringLiteral("%1 is no tag of one to four characters").arg(*v));
                (option == QLatin1String("--feature") ? query.feature : query.axis) = *tag;
            }
        } else {
            return fail(QStringLiteral("unknown option %1").arg(option));
        }
    }
    if (!query.language.isEmpty() && !query.script.isEmpty())
        return fail(QStringLiteral("--language and --script exclude each other"));
    if (query.variable && !query.axis.isEmpty())
        return fail(QStringLiteral("--axis and --variable exclude each other"));
    if (count) *count = counting;
    return query;
}

FindQuery FindQuery::load(platform::SettingsStore& settings)
{
    const auto get = [&](const char* key) { return settings.GetSetting(kApp, kSection, QLatin1String(key)); };
    FindQuery query;
    query.name = get("Name");
    query.language = get("Language");
    query.script = scriptNamed(get("Script")).value_or(QString());
    query.text = get("Text");
    query.feature = tagFrom(get("Feature")).value_or(QByteArray());
    query.variable = get("Variable") == QLatin1String("1");
    query.axis = tagFrom(get("Axis")).value_or(QByteArray());
    query.colour = get("Colour") == QLatin1String("1");
    query.monospaced = get("Monospaced") == QLatin1String("1");
    query.format = formatNamed(get("Format")).value_or(FormatFilter::Any);
    const QString origin = get("Origin");
    query.origin = origin == QLatin1String("user")     ? OriginFilter::User
                   : origin == QLatin1String("system") ? OriginFilter::System
                                                       : OriginFilter::Anyone;
    return query;
}

void FindQuery::save(platform::SettingsStore& settings, const FindQuery& before) const
{
    const auto put = [&](const char* key, const QString& value, const QString& old) {
        if (value != old) settings.SaveSetting(kApp, kSection, QLatin1String(key), value);
    };
    const auto origin = [](OriginFilter o) {
        return o == OriginFilter::User     ? QStringLiteral("user")
               : o == OriginFilter::System ? QStringLiteral("system")
                                           : QString();
    };
    put("Name", name, before.name);
    put("Language", language, before.language);
    put("Script", script, before.script);
    put("Text", text, before.text);
    put("Feature", QString::fromLatin1(feature).trimmed(), QString::fromLatin1(before.feature).trimmed());
    put("Variable", flag(variable), flag(before.variable));
    put("Axis", QString::fromLatin1(axis).trimmed(), QString::fromLatin1(before.axis).trimmed());
    put("Colour", flag(colour), flag(before.colour));
    put("Monospaced", flag(monospaced), flag(before.monospaced));
    put("Format", formatWord(format), formatWord(before.format));
    put("Origin", origin(this->origin), origin(before.origin));
}

} // namespace quillon::find
