// Escape decoding on the native path and the hand-written fallback, and hex numbers.
#include <gtest/gtest.h>

#include "core/escape.h"
#include "core/pending_events.h"
#include "gbk.h"

namespace velmora {
namespace {

using test::G;

TEST(DecodeUnicodeEscapes, Cases) {
    struct Case {
        Text in, out;
    } cases[] = {
        {"\\u73b0\\u8d27", G("现货")},
        {"{\"StockStateName\":\"\\u73b0\\u8d27\"}", G("{\"StockStateName\":\"现货\"}")},
        {"getStockCallback({\"a\":\"\\u65e0\\u8d27\"});", G("getStockCallback({\"a\":\"无货\"});")},
        {"a%u4E2Db", G("a中b")},
        {"%uFF0C", G("，")},      // the script engine's result, not the fallback's
        {"%u00A9x", "?x"},      // not in code page 936
        {"%41%42", "AB"},
        {"%4a%2C", "J,"},
        {"50%", "50%"},           // "%" among the last bytes stays
        {"5%4", "5%4"},
        {"%zz%u12", "%zz%u12"},   // not hex: left as written
        {"%u12G4", "%u12G4"},     // neither four nor two hex digits follow
        {"\\U4E2D", "\\U4E2D"},   // only a lower-case \u is an escape
        {"plain 'text'\r\nline\rtwo\n", "plain 'text'\r\nline\rtwo\n"},
        {"\rabc", "abc"},         // a leading lone carriage return goes
        {"\r\nabc", "\r\nabc"},   // a leading line break stays
        {"it" + G("’") + "s", "it's"},   // the apostrophe mark comes back as "'"
        {"a{$}b", "a\r\nb"},             // the line-break mark comes back as a break
        {"%u2019", "'"},                 // decodes to the mark, which becomes "'"
        {"", ""},
        {G("中文\\u4e2d"), G("中文中")},
        {"\xB0\\u4e2d", "\xB0\\u4e2d"},  // "\" as a second byte starts no escape
        {"%00abc", "abc"},               // a zero code unit is dropped
        {"%uD83D%uDE00!", "?!"},         // a surrogate pair is one character
        {"%uD83Dx", "?x"},               // a lone surrogate cannot be shown
        {"%u4E2D%u6587", G("中文")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeUnicodeEscapes(c.in), c.out) << testing::PrintToString(c.in);
}

TEST(EscapeFallbackDecode, Cases) {
    struct Case {
        Text in, out;
    } cases[] = {
        {"a%u4E2Db", G("a中b")},
        {"%u73b0%u8d27", G("现货")},
        {"%uFF0C", "%uFF0C"},  // FF0C reads as decimal 0: kept as written
        {"%u00A9", "%u00A9"},
        {"%u0000", "%u0000"},
        {"%41", "A"},
        {"%", "%"},
        {"ab%", "ab%"},
        {"a%4", "a%4"},
        {"%4", "%4"},
        {"%414", "A4"},
        {"%00x", "x"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeFallbackDecode(c.in), c.out) << testing::PrintToString(c.in);
}

TEST(EscapeFallbackDecode, LetsEventsRunAfterEachStep) {
    int calls = 0;
    SetPendingEventsHook([&] { ++calls; });
    EscapeFallbackDecode("ab%41%u4E2D");  // a, b, %41, %u4E2D
    SetPendingEventsHook(nullptr);
    EXPECT_EQ(calls, 4);
}

TEST(DecodeUnicodeEscapes, UsesTheFallbackWhenNothingDecodes) {
    // Only zero code units: the native result is empty, and the fallback keeps
    // the four-digit group that reads as decimal 0.
    EXPECT_EQ(DecodeUnicodeEscapes("%00%u0000"), "%u0000");
}

TEST(GbkFromCodeUnit, Cases) {
    EXPECT_EQ(GbkFromCodeUnit(0x4E2D), G("中"));
    EXPECT_EQ(GbkFromCodeUnit(0x41), "A");
    EXPECT_EQ(GbkFromCodeUnit(0), "");
    EXPECT_EQ(GbkFromCodeUnit(0x20AC), G("€"));
    EXPECT_EQ(GbkFromCodeUnit(0x0E01), "?");  // Thai: not in code page 936
    // Above 0xFFFF the number holds several code units, low first.
    EXPECT_EQ(GbkFromCodeUnit(0x00420041), "AB");
}

TEST(HexToNumber, Cases) {
    EXPECT_EQ(HexToNumber("ff"), 255);
    EXPECT_EQ(HexToNumber("FF"), 255);
    EXPECT_EQ(HexToNumber(""), 0);
    EXPECT_EQ(HexToNumber("1G"), 14);
    EXPECT_EQ(HexToNumber("FFFFFF"), 16777215);
    EXPECT_EQ(HexToNumber("4e2D"), 0x4E2D);
    EXPECT_EQ(HexToNumber("-1"), -2 * 16 + 1);
    EXPECT_EQ(HexToNumber("FFFFFFFF"), 0xFFFFFFFFLL);
    EXPECT_EQ(static_cast<int32_t>(HexToNumber("FFFFFFFF")), -1);  // low 32 bits
    EXPECT_EQ(HexToNumber("FFFFFFFFFFFFFFFFFFFF"), INT64_MAX);    // saturates
}

}  // namespace
}  // namespace velmora
