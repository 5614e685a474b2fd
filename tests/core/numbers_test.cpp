// Number parsing with full-width folding, and numbers and dates as text.
#include <gtest/gtest.h>

#include "core/text.h"
#include "gbk.h"

namespace velmora {
namespace {

using test::G;

TEST(TextToNumber, Forms) {
    struct Case {
        Text text;
        double value;
    } cases[] = {
        {"12.5", 12.5},       {"  -3", -3},        {"+7.25abc", 7.25}, {"\t\r\n 8", 8},
        {"1e3", 1000},        {"2.5E-1x", 0.25},   {"3e", 3},          {"4e+", 4},
        {".5", 0.5},          {"5.", 5},           {"abc12", 0},       {"", 0},
        {".", 0},             {"-", 0},            {"0x1A", 0},        {"inf", 0},
        {"nan", 0},           {"1,5", 1},
        {G("１２．５"), 12.5}, {G("　－１"), -1},  {G("１２ａ"), 12},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(TextToNumber(c.text), c.value) << c.text;
}

TEST(TextToInt, DecimalDigitsOnly) {
    struct Case {
        Text text;
        int32_t value;
    } cases[] = {
        {"12.9", 12},        {"abc", 0},          {"  +42x", 42},     {"-17", -17},
        {"007", 7},          {"", 0},             {"1e5", 1},         {G("１２３"), 123},
        {G("－４５"), -45},  {"00A9", 0},         {"FF0C", 0},        {"4E2D", 4},
        {"2147483647", 2147483647},   {"-2147483648", -2147483647 - 1},
        {"99999999999999", 2147483647}, {"-99999999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToInt(c.text), c.value) << c.text;
}

TEST(TextToFloat, SinglePrecision) {
    EXPECT_EQ(TextToFloat("0.1"), 0.1f);
    EXPECT_EQ(TextToFloat(G("９９．９")), 99.9f);
}

TEST(NumbersAsText, DecimalAndHex) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-305), "-305");
    EXPECT_EQ(IntToText(2147483647), "2147483647");
    EXPECT_EQ(ToHexText(-1), "FFFFFFFF");
    EXPECT_EQ(ToHexText(0xFFFFFF), "FFFFFF");
    EXPECT_EQ(ToHexText(0), "0");
    EXPECT_EQ(ToHexText(0xAB), "AB");
}

TEST(DateTimeToText, DropsTrailingZeroParts) {
    struct Case {
        DateTime when;
        const char* utf8;
    } cases[] = {
        {{2016, 1, 2, 9, 5, 0}, "2016年1月2日9时5分"},
        {{2016, 1, 2, 0, 0, 0}, "2016年1月2日"},
        {{2016, 1, 2, 9, 5, 7}, "2016年1月2日9时5分7秒"},
        {{2016, 1, 2, 0, 0, 7}, "2016年1月2日0时0分7秒"},
        {{2016, 12, 31, 23, 0, 0}, "2016年12月31日23时"},
        {{2016, 1, 2, 0, 30, 0}, "2016年1月2日0时30分"},
    };
    for (const auto& c : cases) EXPECT_EQ(DateTimeToText(c.when), G(c.utf8)) << c.utf8;
}

TEST(LocalNow, IsAPlausibleDate) {
    const DateTime now = LocalNow();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.second, 60);
}

}  // namespace
}  // namespace velmora
