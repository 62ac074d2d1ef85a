// Writes the seed inputs that are made in code into FOLDER/<target>/: the fonts the tests build (names in
// several encodings, kerning, CFF, collections, broken layouts) and the files the program writes itself
// (its desktop entries, association lists and settings files as it leaves them, the parts of a font book as
// Qt's PDF writer makes them).
//
//   fuzz_seeds FOLDER
#include "platform/HandOffRecord.h"
#include "platform/NativeText.h"
#include "platform/linux/xdg/DesktopEntryText.h"
#include "support/SfntWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include <cstdio>
#include <vector>

using quillon::test::Os2Fields;
using quillon::test::SfntName;
using quillon::test::SfntWriter;
namespace desktop = quillon::platform::desktop;

namespace {

QString folder;

void put(const char* target, const QString& name, const QByteArray& bytes)
{
    const QString dir = folder + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(dir);
    SfntWriter::writeFile(dir + QLatin1Char('/') + name, bytes);
}

void putFont(const QString& name, const QByteArray& bytes)
{
    for (const char* target : {"reader", "sfnt_full_name", "face_traits", "layout_tables"})
        put(target, name, bytes);
}

SfntName mac(std::uint16_t id, const QByteArray& text) { return SfntName{1, 0, 0, id, text}; }

void fonts()
{
    const auto names = SfntWriter::names(QStringLiteral("Seed Sans"), QStringLiteral("Bold Italic"),
                                         QStringLiteral("Seed Sans Bold Italic"));
    putFont(QStringLiteral("minimal.ttf"), SfntWriter::minimalFont(names));
    Os2Fields os2;
    os2.panose = {3, 11, 0, 9, 0, 0, 0, 0, 0, 0};
    os2.codePageRange1 = (1u << 6) | (1u << 17);
    os2.fsSelection = 0x21;
    putFont(QStringLiteral("kern-cff-mono.ttf"), SfntWriter::minimalFont(names, os2, 3, true, 600, true));

    std::vector<SfntName> mixed = names;
    mixed.push_back(mac(1, "Seed Mac"));
    mixed.push_back(mac(4, "Soci\x8E\x74\xE9 Full"));
    mixed.push_back(SfntName{0, 3, 0, 6, SfntWriter::utf16(QStringLiteral("Seed-PS"))});
    mixed.push_back(
        SfntName{3, 1, 0x040C, 4, SfntWriter::utf16(QString::fromUtf8("Graisse \xE2\x80\x93 \xCE\xB1"))});
    mixed.push_back(SfntName{3, 1, 0x0409, 7, QByteArray("\xD8\x00\x00\x41", 4)}); // a lone surrogate
    SfntWriter w;
    w.add("head", SfntWriter::head(0x5F0F3CF5, 0x0003))
        .add("OS/2", SfntWriter::os2(os2))
        .add("name", SfntWriter::name(mixed))
        .add("kern", SfntWriter::kern(2));
    putFont(QStringLiteral("tables.ttf"), w.build());

    // A name table listed twice, a table past the end, a wrong magic number.
    SfntWriter twice;
    twice.add("name", SfntWriter::name(names)).add("name", SfntWriter::name(mixed)).addAt("OS/2", 0x7FFFFFF0);
    twice.add("head", SfntWriter::head(0x12345678));
    putFont(QStringLiteral("broken.ttf"), twice.build());

    SfntWriter first, second;
    first.add("head", SfntWriter::head()).add("name", SfntWriter::name(names));
    second.version(0x4F54544F).add("name", SfntWriter::name(mixed)).add("OS/2", SfntWriter::os2(os2));
    putFont(QStringLiteral("collection.ttc"), SfntWriter::collection({first, second}));

    // Layout tables and axes, as the finder reads them.
    SfntWriter layout = SfntWriter::minimalFontTables(names);
    layout.add("GSUB", SfntWriter::layout({"latn"}, {"liga", "smcp", "ss01"}))
        .add("GPOS", SfntWriter::layout({"latn"}, {"kern", "mark"}))
        .add("fvar", SfntWriter::fvar({{258, 700, 0}}));
    putFont(QStringLiteral("layout.ttf"), layout.build());
}

// The face survey's cache as a survey writes it.
void surveyCache()
{
    put("survey_cache", QStringLiteral("faces.cache"),
        "quillon face survey 1\nkey 0123456789abcdef0123456789abcdef01234567\ntag liga\ntag smcp\ntag wght\n"
        "file 0 1000 1700000000000000000 0,1 2 /usr/share/fonts/a b.ttf\n"
        "file 2 5000 -5 ? - /fonts/odd\\\\name\\nwith a line break.ttc\n"
        "draw 0 0\ndraw 1 65538\ndraw -1 0\nend 2 3\n");
}

void keyFiles()
{
    const QString command = QStringLiteral("\"/opt/my fonts/quillon\" %1");
    const QByteArray open = desktop::openEntry(command);
    const QByteArray print = desktop::printEntry(QStringLiteral("/usr/bin/quillon /p %1"),
                                                 {QStringLiteral("font/ttf=viewer.desktop")});
    const QByteArray list = "# the user's own words\n"
                            "[Default Applications]\n"
                            "font/ttf=org.quillon.Quillon.desktop;viewer.desktop;\n"
                            "font/otf = viewer.desktop\n"
                            "\n"
                            "[Added Associations]\n"
                            "font/ttf=org.quillon.Quillon.Print.desktop;\r\n"
                            "application/x-font-ttf=a.desktop;b\\sc.desktop\n"
                            "[Removed Associations]\n"
                            "font/collection=viewer.desktop;\n"
                            "[Default Applications]\n"
                            "font/ttf=late.desktop";
    const QByteArray cache =
        "[MIME Cache]\nfont/ttf=viewer.desktop;other.desktop;\nfont/otf=viewer.desktop;\n";
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Viewer\nName[de]=Betrachter\n"
                             "Exec=\"/opt/a b/viewer\" --x=%% %F %i %c\nTryExec=viewer\nHidden=false\n";
    const QByteArray settings =
        "; written by hand\n[General]\nx=1\n[Settings]\nCommandLine=\"/p c:\\\\a b.ttf\"\n"
        "ShowSplash=0\nDefaultViewer=@Invalid()\nList=a, \"b,c\" ,d ; comment\n"
        "Escapes=\\x41\\101\\n\\t\n[Other%20Section]\nk%U00E9y=v\n";
    for (const char* target : {"keyfile", "desktop_entry"}) {
        put(target, QStringLiteral("open.desktop"), open);
        put(target, QStringLiteral("print.desktop"), print);
        put(target, QStringLiteral("mimeapps.list"), list);
        put(target, QStringLiteral("mimeinfo.cache"), cache);
        put(target, QStringLiteral("viewer.desktop"), entry);
    }
    put("desktop_entry", QStringLiteral("command"),
        "\"/opt/my fonts/quillon\" /p %1\nfont/ttf=viewer.desktop\n");
    put("keyfile", QStringLiteral("settings.conf"), settings);
    put("settings", QStringLiteral("settings.conf"), settings);
    put("settings", QStringLiteral("with-value.conf"), settings + QByteArray("\0/p bad\xff\xfe.ttf", 15));
    put("settings", QStringLiteral("empty.conf"), QByteArray());

    // Hand-offs as a later start sends them: with a file whose name is not UTF-8, a field the reader does not
    // know, and the one-line request of earlier builds.
    quillon::platform::HandOffRecord handOff;
    handOff.windowTitle = QStringLiteral(" Quillon");
    handOff.file = quillon::platform::fromNativeBytes("/home/u/fonts/Bad\xff\xfe.ttf");
    handOff.commandLine = QStringLiteral("/p ") + handOff.file.toLower();
    handOff.fields["activation-token"] = "abc";
    put("handoff", QStringLiteral("print.record"), handOff.encode());
    put("handoff", QStringLiteral("earlier.request"), "ACTIVATE  Quillon\n");
}

// Parts of a book as Qt writes them: text in two fonts on one page and on two (fonts embedded, streams with
// their lengths in objects of their own), and a page with nothing on it.
void bookParts()
{
    const QString dir = folder + QStringLiteral("/pdf_join");
    QDir().mkpath(dir);
    const QList<QStringList> parts = {
        {QStringLiteral("Ab")}, {QStringLiteral("x"), QStringLiteral("\u00e9y")}, {QString()}};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QPdfWriter writer(dir + QStringLiteral("/part-%1.pdf").arg(i + 1));
        writer.setTitle(QStringLiteral("Font book"));
        QPainter painter(&writer);
        for (qsizetype page = 0; page < parts[i].size(); ++page) {
            if (page > 0) writer.newPage();
            painter.setFont(
                QFont(page == 0 ? QStringLiteral("DejaVu Sans") : QStringLiteral("Liberation Serif"), 20));
            painter.drawText(300, 600, parts[i][page]);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    folder = QString::fromLocal8Bit(argv[1]);
    fonts();
    keyFiles();
    surveyCache();
    // The PDF writer needs the font system, which needs an application; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    bookParts();
    return 0;
}
