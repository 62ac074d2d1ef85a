// Feeds bytes to the key file reader as a desktop file (mimeapps.list, mimeinfo.cache, desktop entries)
// and as a settings file, and checks what the association edits rely on when a file is accepted:
// - its text comes back byte for byte;
// - the program's desktop ID put first or last into a list value, as claiming a type does, leaves a file
//   the reader still accepts, every other line as it was, and taking the ID out again gives the value back
//   exactly (the user's own choice applies again);
// - a line appended to a group is the one the desktop then reads; removing a line leaves a readable file.
#include "FuzzCheck.h"

#include "platform/linux/settings/KeyFileLines.h"
#include "platform/linux/xdg/DesktopEntryText.h"
#include "platform/linux/xdg/MimeAppsEditor.h"

#include <cstdint>

using quillon::fuzz::check;
using quillon::fuzz::linesOf;
using quillon::platform::KeyFileLines;
using quillon::platform::MimeAppsEditor;

namespace {

// An edit of one line changed only that line: the others are there, in order, byte for byte.
void checkOnlyLineChanged(const QByteArray& before, const QByteArray& after, int line)
{
    const QList<QByteArray> a = linesOf(before);
    const QList<QByteArray> b = linesOf(after);
    check(a.size() == b.size(), "an edit changed the number of lines");
    for (qsizetype i = 0; i < a.size(); ++i)
        if (i != line) check(a.at(i) == b.at(i), "an edit changed another line", QString::fromUtf8(b.at(i)));
}

KeyFileLines reread(const QByteArray& text)
{
    auto file = KeyFileLines::parse(text);
    check(file.has_value(), "an edit left a file the reader refuses", QString::fromUtf8(text));
    return *file;
}

void editLists(const KeyFileLines& file, const QByteArray& text)
{
    const QString id = quillon::platform::desktop::kDesktopId;
    int edits = 0;
    for (const QString& group :
         {QStringLiteral("Default Applications"), QStringLiteral("Added Associations")}) {
        for (const KeyFileLines::Entry& entry : file.entries(group)) {
            if (++edits > 16) return; // every line is alike to the edits: a few show what they do
            if (KeyFileLines::listItems(entry.value).contains(id)) {
                const QString without = MimeAppsEditor::withoutItem(entry.value, id);
                check(!KeyFileLines::listItems(without).contains(id), "the ID is still in the list", without);
                continue;
            }
            const QString first = MimeAppsEditor::withItemFirst(entry.value, id);
            check(KeyFileLines::listItems(first).value(0) == id, "the ID is not first", first);
            check(MimeAppsEditor::withoutItem(first, id) == entry.value,
                  "taking the first ID out changed the value", entry.value + QStringLiteral(" -> ") + first);
            const QString last = MimeAppsEditor::withItemLast(entry.value, id);
            check(KeyFileLines::listItems(last).value(KeyFileLines::listItems(last).size() - 1) == id,
                  "the ID is not last", last);
            check(MimeAppsEditor::withoutItem(last, id) == entry.value,
                  "taking the last ID out changed the value", entry.value + QStringLiteral(" -> ") + last);

            KeyFileLines edited = file;
            edited.setValue(entry.line, first);
            const QByteArray editedText = edited.text();
            checkOnlyLineChanged(text, editedText, entry.line);
            const KeyFileLines again = reread(editedText);
            bool found = false;
            for (const KeyFileLines::Entry& e : again.entries(group))
                if (e.line == entry.line) found = e.key == entry.key && e.value == first;
            check(found, "the edited line does not read back", first);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    if (const auto ini = KeyFileLines::parse(text, KeyFileLines::Syntax::QtIni))
        check(ini->text() == text, "a settings file does not come back byte for byte");

    const auto file = KeyFileLines::parse(text);
    if (!file) return 0;
    check(file->text() == text, "a desktop file does not come back byte for byte");
    for (const auto& group : {QStringLiteral("Desktop Entry"), QStringLiteral("MIME Cache")})
        for (const KeyFileLines::Entry& entry : file->entries(group))
            (void)KeyFileLines::listItems(entry.value);
    editLists(*file, text);

    // A new line for a type goes after the group's last entry and is the value the desktop reads.
    KeyFileLines appended = *file;
    const QString type = QStringLiteral("font/ttf");
    const QString value = quillon::platform::desktop::kDesktopId + QLatin1Char(';');
    appended.append(QStringLiteral("Added Associations"), type, value);
    const KeyFileLines again = reread(appended.text());
    check(again.value(QStringLiteral("Added Associations"), type) == value,
          "an appended line is not the one read");

    // Taking out the first entry of a group (and its header, when it served only that entry).
    const auto entries = file->entries(QStringLiteral("Default Applications"));
    if (!entries.empty()) {
        KeyFileLines removed = *file;
        removed.removeEntry(entries.front().line);
        reread(removed.text());
    }
    return 0;
}
