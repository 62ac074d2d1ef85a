// A face opened through the program's read stream (a few windows of the file, read with system calls) is
// the face FreeType opens from the file itself: every glyph's outline comes out the same, whichever order
// the glyphs are loaded in, across blocks and up to the file's end.
#include "platform/linux/files/FontFileBytes.h"

#include <QDir>

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <vector>

using namespace quillon::platform;

namespace {

QString testFont(const char* name) { return QDir(qEnvironmentVariable("QUILLON_TEST_FONTS")).filePath(name); }

// A glyph's outline, points and contour ends, or empty when it does not load.
std::vector<long> outline(FT_Face face, FT_UInt glyph)
{
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) return {};
    const FT_Outline& o = face->glyph->outline;
    std::vector<long> out{face->glyph->advance.x};
    for (int i = 0; i < o.n_points; ++i) out.insert(out.end(), {o.points[i].x, o.points[i].y, o.tags[i]});
    for (int i = 0; i < o.n_contours; ++i) out.push_back(o.contours[i]);
    return out;
}

TEST(FontFileBytes, AFaceReadThroughTheStreamIsTheFaceFreeTypeReadsItself)
{
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    // A TrueType collection of some megabytes (both faces) and a CFF font.
    const std::pair<const char*, long> faces[] = {
        {"wqy-microhei.ttc", 0}, {"wqy-microhei.ttc", 1}, {"Cantarell-Regular.otf", 0}};
    for (const auto& [name, index] : faces) {
        const QString path = testFont(name);
        FT_Face read = openFaceByReads(library, path, index);
        FT_Face direct = nullptr;
        ASSERT_TRUE(read) << name;
        ASSERT_EQ(FT_New_Face(library, path.toLocal8Bit().constData(), index, &direct), 0) << name;
        ASSERT_EQ(read->num_glyphs, direct->num_glyphs) << name;
        EXPECT_STREQ(read->family_name, direct->family_name);
        // Glyphs from the whole file, forwards and then backwards, so reads cross blocks and come back.
        const long step = std::max<long>(1, read->num_glyphs / 400);
        std::vector<FT_UInt> order;
        for (long g = 0; g < read->num_glyphs; g += step) order.push_back(static_cast<FT_UInt>(g));
        order.push_back(static_cast<FT_UInt>(read->num_glyphs - 1));
        order.insert(order.end(), order.rbegin(), order.rend());
        for (FT_UInt glyph : order) {
            const std::vector<long> expected = outline(direct, glyph);
            ASSERT_FALSE(expected.empty()) << name << " glyph " << glyph;
            ASSERT_EQ(outline(read, glyph), expected) << name << " glyph " << glyph;
        }
        FT_Done_Face(read);
        FT_Done_Face(direct);
    }
    FT_Done_FreeType(library);
}

} // namespace
