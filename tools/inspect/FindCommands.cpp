// find and chars: the listed faces a query finds, as the Find Faces window finds them, and every character
// of a face with its name and glyph, as the character map shows them.
#include "tools/inspect/Commands.h"

#include "faceinfo/CharacterMap.h"
#include "faceinfo/Coverage.h"
#include "find/FindIndex.h"
#include "platform/FontFacts.h"
#include "platform/GlyphFaces.h"
#include "platform/NativeText.h"
#include "platform/ReadableFile.h"
#include "platform/ScreenFace.h"
#include "platform/linux/files/FontFileBytes.h"

#include <cstdio>

namespace quillon::inspect {

namespace {

void printLine(const QString& line)
{
    const QByteArray bytes = platform::nativeBytes(line) + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
}

int problem(const QString& text)
{
    std::fputs(("quillon-inspect: " + text + '\n').toUtf8().constData(), stderr);
    return 2;
}

/// "Currency Symbols", "currency_symbols" and "CURRENCY-SYMBOLS" name one block.
QString blockKey(const QString& name)
{
    QString key = name.toLower();
    key.replace(QLatin1Char('_'), QLatin1Char(' ')).replace(QLatin1Char('-'), QLatin1Char(' '));
    return key.simplified();
}

} // namespace

int find(platform::Platform& platform, const QStringList& args)
{
    bool count = false;
    QString why;
    const std::optional<find::FindQuery> query = find::FindQuery::fromArguments(args, &count, &why);
    if (!query)
        return problem(why + QStringLiteral("\nusage: quillon-inspect ") +
                       QLatin1String(find::FindQuery::kUsage));
    const FontCatalogue catalogue = buildCatalogueAsDrawn(platform);
    const std::unique_ptr<find::FaceFinder> finder =
        find::FindIndex::surveyNow(platform.faceSurvey, catalogue);
    if (!finder) return problem(QStringLiteral("the installed faces could not be surveyed"));
    finder->apply(*query);
    if (count)
        printLine(QString::number(finder->results().size()));
    else
        for (int face : finder->results()) printLine(finder->name(face));
    return std::fflush(stdout) == 0 ? 0 : 2;
}

int chars(platform::Platform& platform, const QStringList& args)
{
    QString target;
    QString block;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--block") && i + 1 < args.size())
            block = args[++i];
        else if (target.isNull())
            target = args[i];
        else
            target.clear(), i = args.size();
    }
    if (target.isEmpty())
        return problem(QStringLiteral("usage: quillon-inspect chars FACE|FILE [--block NAME]"));
    QString path;
    int index = 0;
    if (target.contains(QLatin1Char('/')) &&
        platform::whyNotReadable(platform::absoluteNativePath(target)).isEmpty()) {
        path = platform::absoluteNativePath(target);
    } else {
        const std::optional<platform::ResolvedFace> face = platform::drawnFace(platform.fontSystem, target);
        if (!face || face->substitute) {
            std::fputs(("quillon-inspect: no installed face is named " + target + '\n').toUtf8().constData(),
                       stderr);
            return 1;
        }
        path = face->file;
        index = face->index;
    }
    const std::optional<platform::FaceFacts> facts = platform.fontFacts.faceFacts(path, index);
    if (!facts) return problem(QStringLiteral("%1 cannot be read as a font").arg(target));
    const std::unique_ptr<platform::GlyphFace> glyphs = platform.glyphFaces.open(path, index);
    const faceinfo::CharacterMap map(facts->charset);
    bool blockFound = block.isEmpty();
    for (const faceinfo::BlockGroup& group : faceinfo::CharacterMap::byBlock(map.characters())) {
        if (!block.isEmpty() && blockKey(group.block) != blockKey(block)) continue;
        blockFound = true;
        for (char32_t c : group.characters)
            printLine(faceinfo::codePoint(c) + u'\t' + faceinfo::characterName(c) + u'\t' +
                      QString::number(glyphs ? glyphs->glyphOf(c) : 0));
    }
    if (!blockFound)
        return problem(QStringLiteral("the face has no character in a block named %1").arg(block));
    return std::fflush(stdout) == 0 ? 0 : 2;
}

} // namespace quillon::inspect
