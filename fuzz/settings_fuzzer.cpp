// Feeds bytes to the settings file reader and, when a file is accepted, stores a value in it as a save
// does, then checks that the saved file is still one the reader accepts (a save that left a file the next
// start refuses would lose every setting), that the value reads back as stored, and that every other
// setting and line is as it was.
//
// Input: the file's bytes; after a NUL (which no accepted file holds), the bytes of the value to store,
// taken as a file name's bytes are (so that bytes which are not UTF-8 are stored too). Without a NUL, a
// value from a small set of awkward ones is stored.
#include "FuzzCheck.h"

#include "platform/NativeText.h"
#include "platform/linux/settings/IniSettingsStore.h"
#include "platform/linux/settings/IniValue.h"
#include "platform/linux/settings/KeyFileLines.h"

#include <cstdint>
#include <map>
#include <utility>

using quillon::fuzz::check;
using quillon::fuzz::linesOf;
using quillon::platform::IniSettingsStore;
using quillon::platform::KeyFileLines;

namespace {

const QString kSection = QStringLiteral("Settings");

const QString kAwkwardValues[] = {QString(),
                                  QStringLiteral("1"),
                                  QStringLiteral(" spaced "),
                                  QStringLiteral("a,b"),
                                  QStringLiteral("x;y"),
                                  QStringLiteral("@at"),
                                  QStringLiteral("\"quoted\""),
                                  QStringLiteral("back\\slash\\"),
                                  QStringLiteral("\t\n\r"),
                                  QStringLiteral("/p c:\\fonts\\a b.ttf"),
                                  QString(QChar(0)) + QStringLiteral("1f"),
                                  QString::fromUtf8("\xC3\xA9\xF0\x9F\x98\x80"),
                                  QString(QChar(0xDCFF)) + QStringLiteral("ab"),
                                  QStringLiteral("=")};

// Every setting the file holds: (section, key) -> the text read for it.
std::map<std::pair<QString, QString>, std::optional<QString>> settingsOf(const KeyFileLines& file,
                                                                         const QStringList& sections)
{
    std::map<std::pair<QString, QString>, std::optional<QString>> all;
    for (const QString& section : sections)
        for (const KeyFileLines::Entry& entry : file.entries(section))
            all[{section, entry.key}] = IniSettingsStore::valueIn(file, section, entry.key);
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype nul = input.indexOf('\0');
    const QByteArray text = nul < 0 ? input : input.left(nul);
    const QString value = nul < 0 ? kAwkwardValues[size % std::size(kAwkwardValues)]
                                  : quillon::platform::fromNativeBytes(input.mid(nul + 1));

    // A value on its own: what is written reads back as the same text.
    const auto written = quillon::platform::ini::readValue(quillon::platform::ini::writeValue(value));
    // (A leading "@" is doubled: QSettings keeps "@" for its own typed values.)
    const QString plain = value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value;
    check(written && !written->isList && written->text == plain, "a written value reads back otherwise",
          value);

    const auto file = KeyFileLines::parse(text, KeyFileLines::Syntax::QtIni);
    if (!file) return 0;

    // The sections the file has (QSettings' "General" is the section named "").
    QStringList sections{QString(), kSection};
    for (const QByteArray& line : linesOf(text)) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('[') && trimmed.endsWith(']'))
            if (const auto name =
                    quillon::platform::ini::readKey(QString::fromUtf8(trimmed.mid(1, trimmed.size() - 2))))
                if (!sections.contains(*name) &&
                    name->compare(QLatin1String("General"), Qt::CaseInsensitive) != 0)
                    sections.append(*name);
    }
    const auto before = settingsOf(*file, sections);

    // The key stored: one the file has, or the one every start stores.
    QString key = QStringLiteral("CommandLine");
    QString section = kSection;
    if (!before.empty() && size % 3 == 0) {
        auto it = before.begin();
        std::advance(it, static_cast<std::ptrdiff_t>(size / 3 % before.size()));
        section = it->first.first;
        key = it->first.second;
    }

    KeyFileLines edited = *file;
    const bool changed = IniSettingsStore::storeIn(edited, section, key, value);
    const QByteArray saved = edited.text();
    if (!changed) check(saved == text, "an unchanged setting changed the file");
    const auto reread = KeyFileLines::parse(saved, KeyFileLines::Syntax::QtIni);
    check(reread.has_value(), "a save left a settings file the reader refuses", QString::fromUtf8(saved));
    check(IniSettingsStore::valueIn(*reread, section, key) == value, "a stored value reads back otherwise",
          value + QStringLiteral(" -> ") +
              IniSettingsStore::valueIn(*reread, section, key).value_or("<none>"));
    auto after = settingsOf(*reread, sections);
    after.erase({section, key});
    auto expected = before;
    expected.erase({section, key});
    check(after == expected, "a save changed another setting");
    const qsizetype kept = linesOf(text).size();
    check(linesOf(saved).size() - kept <= 2 && linesOf(saved).size() >= kept, "a save lost lines");
    return 0;
}
