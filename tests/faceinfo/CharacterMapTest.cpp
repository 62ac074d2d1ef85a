// The character map's words for characters (ICU), its blocks, and its search by code and by name words.
#include "faceinfo/CharacterMap.h"

#include "support/QtPrint.h"

#include <gtest/gtest.h>

using namespace quillon::faceinfo;

TEST(CharacterMap, NamesGroupsAndFindsCharacters)
{
    EXPECT_EQ(characterName(U'₿'), "BITCOIN SIGN");
    EXPECT_EQ(characterName(U'\t'), "<control-0009>");
    EXPECT_EQ(characterName(0x4E00), "CJK UNIFIED IDEOGRAPH-4E00");
    EXPECT_EQ(blockName(U'₿'), "Currency Symbols");
    EXPECT_EQ(scriptName(U'α'), "Greek");

    const CharacterMap map({{U'A', U'C'}, {U'α', U'γ'}, {U'←', U'↓'}, {U'€', U'€'}, {U'₿', U'₿'}});
    const std::vector<BlockGroup> blocks = CharacterMap::byBlock(map.characters());
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[1].block, "Greek And Coptic");
    EXPECT_EQ(blocks[2].characters, (std::vector<char32_t>{U'€', U'₿'}));

    EXPECT_EQ(map.search("U+20BF"), std::vector<char32_t>{U'₿'});
    EXPECT_EQ(map.search("0x20ac"), std::vector<char32_t>{U'€'});
    EXPECT_EQ(map.search("20bf"), std::vector<char32_t>{U'₿'});
    EXPECT_TRUE(map.search("U+0416").empty()); // a code the face does not have
    EXPECT_EQ(map.search("greek alpha"), std::vector<char32_t>{U'α'});
    EXPECT_EQ(map.search("arrow").size(), 4u);
    EXPECT_EQ(map.search("row"), std::vector<char32_t>{}); // words begin with what is typed
    // A search that is also a code finds the character with that code and those named by it.
    EXPECT_EQ(map.search("b"), (std::vector<char32_t>{U'B', U'β', U'₿'}));
    EXPECT_EQ(map.search("  ").size(), map.characters().size());
    // A character set that claims every code point is taken no further than any face could hold.
    EXPECT_EQ(CharacterMap({{0, 0x10FFFF}}).characters().size(), CharacterMap::kMostCharacters);
}
