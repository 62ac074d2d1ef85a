// File names and arguments are bytes: every byte survives the trip into text and back, and lower-casing
// the text (as the command-line match does) leaves the bytes that are not UTF-8 as they are.
#include "platform/NativeText.h"

#include <gtest/gtest.h>

using namespace quillon::platform;

TEST(NativeText, EveryByteSurvivesTheRoundTrip)
{
    const QByteArray names[] = {
        "plain.ttf",
        "caf\xc3\xa9 \xe4\xb8\xad\xf0\x9f\x98\x80.otf", // valid UTF-8, up to four bytes
        "Bad\xff\xfe.TTF",
        "\xc3",                                 // a sequence cut short
        "\xc0\x80\xed\xa0\x80\xf4\x90\x80\x80", // overlong, a surrogate, past U+10FFFF
        "\xed\xb3\xbf", // UTF-8 for U+DCFF, which decoding itself makes for the byte 0xFF
    };
    for (const QByteArray& name : names) {
        const QString text = fromNativeBytes(name);
        EXPECT_EQ(nativeBytes(text), name) << name.toHex().constData();
        EXPECT_EQ(nativeBytes(lowerCased(text)), name.toLower()) << name.toHex().constData();
    }
    EXPECT_EQ(fromNativeBytes("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(fromNativeBytes("bad\xff\xfe"), QString("bad") + QChar(0xDCFF) + QChar(0xDCFE));
    // Two names that differ only in bytes that are not UTF-8 stay different.
    EXPECT_NE(fromNativeBytes("a\xff\xfe"), fromNativeBytes("a\xfe\xff"));

    const char* argv[] = {"quillon", "-reverse", "/p", "x\xff.ttf"};
    EXPECT_EQ(argumentsFrom(4, argv), (QStringList{"-reverse", "/p", fromNativeBytes("x\xff.ttf")}));
}
