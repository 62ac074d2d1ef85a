// The mask engine on its own: the worked results must come out character for character, blanks included.
#include "controls/NumberMask.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quillon;

namespace {

const QString kDefault = QStringLiteral("###,##0.00;(##,###.00)");

// What the field shows for a typed or assigned text: cleaned, then masked.
QString shown(const QString& text, const QString& format = kDefault, bool positiveOnly = false)
{
    const CleanNumber clean = NumberMask::UnformatNumeric(text, positiveOnly);
    return NumberMask::ApplyFormat(clean.text, format, clean.isNonNegative, positiveOnly).text;
}

struct Worked {
    const char* format;
    const char* number;
    bool positiveOnly;
    const char* expected;
};

} // namespace

TEST(NumberMask, WorkedResultsComeOutExactly)
{
    const Worked table[] = {
        {"###,##0.00;(##,###.00)", "1234.5", false, "1,234.50"},
        {"###,##0.00;(##,###.00)", "-1234.5", false, "(1,234.50)"},
        {"###,##0.00;(##,###.00)", "0", false, "0.00"},
        {"###,##0.00;(##,###.00)", "", false, "0.00"},
        {"###,##0.00;(##,###.00)", "0.5", false, "0.50"},
        {"###,##0.00;(##,###.00)", "-0.5", false, "(.50)"},
        {"###,##0.00;(##,###.00)", "12", false, "12.00"},
        {"###,##0.00;(##,###.00)", "1234567.891", false, "234,567.89"},
        {"###,##0.00;(##,###.00)", "0.007", false, "0.00"},
        {"###,##0.00;(##,###.00)", "-1234.5", true, "1,234.50"},
        {"#0", "5", false, "5"},
        {"#0", "123", false, "23"},
        {"#0", "-3", false, "-3"},
        {"#,##0.00", "-1234.5", false, "-1,234.50"},
        {"#,##0;-#,##0", "1234.5", false, "1,234"},
        {"$#,##0.00", "7", false, "$    7.00"},
    };
    for (const Worked& row : table)
        EXPECT_EQ(shown(row.number, row.format, row.positiveOnly), QString(row.expected))
            << row.format << " / " << row.number;
}

TEST(NumberMask, TypedTextIsCleanedBeforeMasking)
{
    EXPECT_EQ(NumberMask::UnformatNumeric("(12)", false).text, "-12");
    EXPECT_EQ(NumberMask::UnformatNumeric("1,234.5", false).text, "1234.5");
    EXPECT_EQ(shown("5."), "5.00");
    EXPECT_EQ(NumberMask::UnformatNumeric("abc", false).text, "");
    EXPECT_EQ(shown("abc"), "0.00");
    // A sign counts only in first place, after blanks are trimmed; later points are dropped.
    EXPECT_EQ(NumberMask::UnformatNumeric("  -5 ", false).text, "-5");
    EXPECT_EQ(NumberMask::UnformatNumeric("--5", false).text, "-5");
    EXPECT_EQ(NumberMask::UnformatNumeric("5-3", false).text, "53");
    EXPECT_EQ(NumberMask::UnformatNumeric("1.2.3", false).text, "1.23");
    EXPECT_EQ(NumberMask::UnformatNumeric("$ 1 000,5", false).text, "10005");
}

TEST(NumberMask, SignDecidesTheSectionAndPositiveOnlyDropsIt)
{
    CleanNumber negative = NumberMask::UnformatNumeric("-7", false);
    EXPECT_FALSE(negative.isNonNegative);
    CleanNumber dropped = NumberMask::UnformatNumeric("-7", true);
    EXPECT_EQ(dropped.text, "7");
    EXPECT_TRUE(dropped.isNonNegative);
    // Nothing but a sign, or a negative zero, is not below 0 and keeps its text.
    CleanNumber lone = NumberMask::UnformatNumeric("-", true);
    EXPECT_EQ(lone.text, "-");
    EXPECT_TRUE(lone.isNonNegative);
    EXPECT_TRUE(NumberMask::UnformatNumeric("-0", false).isNonNegative);
    EXPECT_EQ(shown("-0", "#0"), "0");
    EXPECT_EQ(shown("-", "#0"), "0");
}

TEST(NumberMask, MaskTextRecordsTheSectionUsedAndAnAddedSign)
{
    EXPECT_EQ(NumberMask::ApplyFormat("-3", "#0", false, false).maskText, "-#0");
    EXPECT_EQ(NumberMask::ApplyFormat("-3", "#0", false, true).maskText, "#0");
    EXPECT_EQ(NumberMask::ApplyFormat("-3", kDefault, false, false).maskText, "(##,###.00)");
    EXPECT_EQ(NumberMask::ApplyFormat("3", kDefault, true, false).maskText, "###,##0.00");
    // A format with a minus sign anywhere gets none added.
    EXPECT_EQ(NumberMask::ApplyFormat("-3", "0-#", false, false).maskText, "0-#");
}

TEST(NumberMask, OddMasksAndNumbersNeitherCrashNorInventDigits)
{
    EXPECT_EQ(shown("123", ""), "");
    EXPECT_EQ(shown("123", "abc"), "abc");
    EXPECT_EQ(shown("1.9", "#."),
              "1"); // a trailing point in the mask goes, and the fraction is cut, not rounded
    EXPECT_EQ(shown("12.345", "0.0"), "2.3");
    EXPECT_EQ(shown(".5", "0.000"), "0.500");
    EXPECT_EQ(shown("5", "000"), "005");
    EXPECT_EQ(shown("-5", "000"), "-005");
    EXPECT_EQ(shown("7", "# ##0"), "7");
    EXPECT_EQ(shown("7", "#,#,#0"), "7"); // a run of separators in the lead-in blanks out with it
    const QString longNumber = QString(500, u'9') + "." + QString(500, u'1');
    EXPECT_EQ(shown(longNumber), "999,999.11");
}

TEST(NumberMask, FormatLengthLimitsTyping)
{
    EXPECT_EQ(NumberMask::ParseFormat(kDefault), 10);
    EXPECT_EQ(NumberMask::ParseFormat("#0"), 2);
    EXPECT_EQ(NumberMask::ParseFormat("#,##0;-#,##0"), 6);
    EXPECT_EQ(NumberMask::ParseFormat("0;(000)"), 4);
    EXPECT_EQ(NumberMask::ParseFormat("000;00"), 3);
    EXPECT_EQ(NumberMask::ParseFormat("##0.00;(0.00)"),
              6); // sections of equal length: the positive one counts
    EXPECT_EQ(NumberMask::ParseFormat(""), 0);
    EXPECT_EQ(NumberMask::ParseFormat(";"), 0);
}

TEST(NumberMask, LeadingValueReadsOnlyTheNumberAtTheStart)
{
    EXPECT_EQ(NumberMask::leadingValue("1,234.50"), 1.0);
    EXPECT_EQ(NumberMask::leadingValue("(5.00)"), 0.0);
    EXPECT_EQ(NumberMask::leadingValue("  -3.25x"), -3.25);
    EXPECT_EQ(NumberMask::leadingValue(""), 0.0);
    EXPECT_EQ(NumberMask::leadingValue("-"), 0.0);
    EXPECT_EQ(NumberMask::leadingValue("5."), 5.0);
    EXPECT_EQ(NumberMask::leadingValue(".5"), 0.5);
    EXPECT_EQ(NumberMask::leadingValue("$ 7"), 0.0);
    EXPECT_TRUE(std::isinf(NumberMask::leadingValue(QString(400, u'9'))));
    EXPECT_EQ(NumberMask::leadingValue("0." + QString(400, u'0') + "1"), 0.0);
}

TEST(NumberMask, AssignedNumbersBecomePlainDecimalText)
{
    EXPECT_EQ(NumberMask::valueText(1234.5), "1234.5");
    EXPECT_EQ(NumberMask::valueText(-0.25), "-0.25");
    EXPECT_EQ(NumberMask::valueText(1e20), "100000000000000000000");
    EXPECT_EQ(NumberMask::valueText(1e-7), "0.0000001");
    EXPECT_EQ(NumberMask::valueText(0.1), "0.1");
    EXPECT_EQ(NumberMask::valueText(QVariant(1.1f)), "1.1");
    EXPECT_EQ(NumberMask::valueText(QVariant(short(99))), "99");
    EXPECT_EQ(NumberMask::valueText(QVariant(qlonglong(-1234567890123LL))), "-1234567890123");
    EXPECT_EQ(NumberMask::valueText(QString("1,234.50")), "1,234.50");
    EXPECT_EQ(NumberMask::valueText(QVariant()), "");
    EXPECT_EQ(NumberMask::valueText(std::numeric_limits<double>::quiet_NaN()), "");
}
