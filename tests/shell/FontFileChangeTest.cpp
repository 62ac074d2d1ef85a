// A font file that an editor truncates or rewrites in place while its face is drawn: the programs open font
// files for FreeType, Qt's font engine included, through ordinary reads (src/platform/linux/
// FreeTypeOpenHook.cpp is linked into this test as into the programs), so a glyph read past the file's new
// end fails instead of ending the program with SIGBUS on a mapping.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <unistd.h>

namespace {

TEST(FontFileChange, AFaceWhoseFileShrinksOrChangesUnderItReadsShortNeverFaults)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("Edited.ttf");
    ASSERT_TRUE(QFile::copy(qEnvironmentVariable("QUILLON_TEST_FONTS") + "/DejaVuSans.ttf", path));
    QFile source(path);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray original = source.readAll();
    source.close();

    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, QFile::encodeName(path).constData(), 0, &face), 0);
    EXPECT_NE(face->stream->read, nullptr) << "the face reads from a mapping of its file";
    ASSERT_EQ(FT_Set_Char_Size(face, 0, 48 * 64, 96, 96), 0);

    QFile file(path);
    for (int round = 0; round < 300; ++round) {
        // Cut short, cut to nothing, or rewritten in place with other bytes, as a regenerating editor does.
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        if (round % 3 == 0) {
            file.resize(original.size() * (round % 7) / 8);
        } else if (round % 3 == 1) {
            file.resize(0);
        } else {
            QByteArray other = original;
            for (qsizetype i = round; i < other.size(); i += 97) other[i] = char(other[i] ^ 0x5a);
            file.write(other);
        }
        file.close();
        for (FT_UInt glyph = 1 + round % 40; glyph < face->num_glyphs; glyph += 41)
            (void)FT_Load_Glyph(face, glyph,
                                FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING); // may fail: nothing drawn
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

} // namespace
