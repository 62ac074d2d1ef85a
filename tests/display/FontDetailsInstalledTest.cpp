// The details text for installed fonts of several kinds, through the tests' own fontconfig and the real
// font system: TrueType sans, serif and monospaced faces, CFF outlines and a CJK collection.
#include "display/FontDetails.h"

#include "platform/linux/fonts/LinuxFontSystem.h"
#include "platform/linux/registry/InstalledFontFiles.h"

#include <gtest/gtest.h>

using quillon::FontCatalogue;
using quillon::FontDetails;
using quillon::FontRecord;

namespace {

struct Expected {
    const char* face;
    const char* file;
    QStringList lines;
    const char* copyright;
};

TEST(FontDetailsInstalled, KnownFaces)
{
    const Expected cases[] = {
        {"DejaVu Sans",
         "DejaVuSans.ttf",
         {"Is a TrueType font", "Is a variable pitch font", "Is a vector font", "Is a Swiss font",
          "Contains special glyph shapes", "Contains kerning tables", "Version 2.37", "Installed: True"},
         "Copyright (c) 2003 by Bitstream, Inc"},
        {"DejaVu Sans Mono",
         "DejaVuSansMono.ttf",
         {"Is a TrueType font", "Is a fixed pitch font", "Is a vector font", "Is a modern font",
          "Contains special glyph shapes", "Version 2.37", "Installed: True"},
         "Copyright (c) 2003 by Bitstream, Inc"},
        {"DejaVu Serif",
         "DejaVuSerif.ttf",
         {"Is a TrueType font", "Is a variable pitch font", "Is a vector font", "Is a Roman font",
          "Contains kerning tables", "Version 2.37", "Installed: True"},
         "Copyright (c) 2003 by Bitstream, Inc"},
        {"Liberation Mono",
         "LiberationMono-Regular.ttf",
         {"Is a TrueType font", "Is a fixed pitch font", "Is a vector font", "Is a modern font",
          "Is a Standard Latin Font", "Version 2.1.5", "Installed: True"},
         "Digitized data copyright (c) 2010 Google Corporation"},
        {"Cantarell",
         "Cantarell-Regular.otf",
         {"Is a Device font", "Is a variable pitch font", "Is a vector font", "Is a Standard Latin Font",
          "Version 0.303", "Installed: True"},
         "Copyright 2019 The Cantarell Project Authors (https://gitlab"},
        {"WenQuanYi Micro Hei",
         "wqy-microhei.ttc",
         {"Is a TrueType font", "Is a variable pitch font", "Is a vector font", "Is a Swiss font",
          "Double Byte Character Set", "Version 0.2.0-beta", "Installed: True"},
         "Digitized data copyright \u00a9 2007, Google Corporation"},
    };
    quillon::platform::LinuxFontSystem fonts;
    quillon::platform::InstalledFontFiles files;
    FontCatalogue catalogue;
    for (const Expected& c : cases)
        catalogue.records.push_back(FontRecord{
            QString::fromUtf8(c.face).toLower(), QString::fromUtf8(c.file).toLower(), false, false, {}});
    FontDetails details(fonts, files);
    for (const Expected& c : cases) {
        const auto out = details.describe(QString::fromUtf8(c.face), catalogue);
        EXPECT_EQ(out.lines, c.lines) << c.face << ": " << out.text().toStdString();
        EXPECT_EQ(out.copyright, QString::fromUtf8(c.copyright)) << c.face;
        EXPECT_EQ(fonts.liveFonts(), 1);
    }
}

} // namespace
