#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "dialogs/integer_rule.h"
#include "dialogs/number_text.h"

namespace {

std::u32string U32(const std::string& str)
{
    return std::u32string(str.begin(), str.end());
}

std::string Ascii(const std::u32string& str)
{
    return std::string(str.begin(), str.end());
}

}  // namespace

TEST(IntegerRule, AcceptedAndRefusedTexts)
{
    const struct
    {
        const char32_t* pszText;
        bool bAccepted;
        int32_t nValue;
    } cases[] = {
        {U"7", true, 7},
        {U"  7  ", true, 7},
        {U"\t7\t", true, 7},
        {U"+7", true, 7},
        {U"007", true, 7},
        {U"-3", true, -3},
        {U"0", true, 0},
        {U"   0", true, 0},
        {U"000", true, 0},
        {U"99999999999", true, 2147483647},
        {U"-99999999999", true, -2147483647 - 1},
        {U"2147483647", true, 2147483647},
        {U"2147483648", true, 2147483647},
        {U"-2147483648", true, -2147483647 - 1},
        {U"-2147483649", true, -2147483647 - 1},
        {U"", false, 0},
        {U"   ", false, 0},
        {U"+", false, 0},
        {U"-", false, 0},
        {U"+0", false, 0},
        {U"-0", false, 0},
        {U"1.5", false, 0},
        {U"12abc", false, 0},
        {U"1 2", false, 0},
        {U"0x10", false, 0},
        {U"abc", false, 0},
        {U"- 5", false, 0},
        {U"７", false, 0},       // a full-width digit is not a digit
        {U"5\u3000", false, 0},  // nor is an ideographic space a blank
        // Only the first 31 characters count: what lies beyond is never seen.
        {U"5                              x", true, 5},
        {U"5                             x", false, 0},
        {U"                               5", false, 0},
    };
    for (const auto& c : cases)
    {
        int32_t nValue = 12345;
        EXPECT_EQ(ParseIntegerField(c.pszText, nValue), c.bAccepted) << Ascii(c.pszText);
        EXPECT_EQ(nValue, c.bAccepted ? c.nValue : 12345) << Ascii(c.pszText);
    }
}

TEST(IntegerRule, FormatRoundTripsThroughTheRule)
{
    for (int32_t n :
         {0, 7, -3, 480, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()})
    {
        int32_t nBack = 1;
        ASSERT_TRUE(ParseIntegerField(FormatIntegerField(n), nBack)) << n;
        EXPECT_EQ(nBack, n);
    }
    EXPECT_EQ(FormatIntegerField(-240), U"-240");
}

TEST(NumberText, FormatsWithThreeDecimals)
{
    EXPECT_EQ(FormatCoordinate(-1.0), U"-1.000");
    EXPECT_EQ(FormatCoordinate(0.0), U"0.000");
    EXPECT_EQ(FormatCoordinate(-1e-16), U"-0.000");
    EXPECT_EQ(FormatCoordinate(2.0005), U"2.001");  // 2.0005 is stored just above, so it rounds up
    EXPECT_EQ(FormatCoordinate(1234567.25), U"1234567.250");
}

TEST(NumberText, ReadsTheLeadingNumber)
{
    const struct
    {
        const char* pszText;
        double dValue;
    } cases[] = {
        {"1.5", 1.5},  {"  -2e1", -20.0}, {"1.5abc", 1.5}, {"", 0.0},    {"abc", 0.0},
        {"  .5", 0.5}, {"-.5x", -0.5},    {"5.", 5.0},     {".", 0.0},   {"+3", 3.0},
        {"1e", 1.0},   {"1e+", 1.0},      {"2E-1z", 0.2},  {"nan", 0.0}, {"inf", 0.0},
        {"0x10", 0.0}, {"\t\n 7", 7.0},   {"1,5", 1.0},    {"-", 0.0},   {"1e-400", 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseLeadingNumber(U32(c.pszText)), c.dValue) << c.pszText;
    EXPECT_EQ(ParseLeadingNumber(U"1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber(U"-1e400"), -std::numeric_limits<double>::infinity());
}

TEST(NumberText, UserLocaleDoesNotChangeTheDecimalPoint)
{
    // Locales whose decimal separator is a comma must not turn "1.5" into 1.
    int nTried = 0;
    for (const char* pszLocale : {"de_DE.UTF-8", "fr_FR.UTF-8"})
    {
        if (std::setlocale(LC_ALL, pszLocale) == nullptr)
            continue;
        ++nTried;
        EXPECT_EQ(ParseLeadingNumber(U"1.5"), 1.5) << pszLocale;
        EXPECT_EQ(FormatCoordinate(-1.25), U"-1.250") << pszLocale;
    }
    std::setlocale(LC_ALL, "C");
    if (nTried == 0)
        GTEST_SKIP() << "no German or French locale here";
}
