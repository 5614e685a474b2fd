// Cutting, trimming, case folding and comparison.
#include <gtest/gtest.h>

#include "core/text.h"
#include "gbk.h"

namespace velmora {
namespace {

using test::G;

TEST(Cutting, CountsRawBytes) {
    const Text t = "abcde";
    EXPECT_EQ(TextLeft(t, 2), "ab");
    EXPECT_EQ(TextLeft(t, 0), "");
    EXPECT_EQ(TextLeft(t, -1), "");
    EXPECT_EQ(TextLeft(t, 99), "abcde");
    EXPECT_EQ(TextRight(t, 2), "de");
    EXPECT_EQ(TextRight(t, 0), "");
    EXPECT_EQ(TextRight(t, 99), "abcde");
    EXPECT_EQ(TextMid(t, 2, 3), "bcd");
    EXPECT_EQ(TextMid(t, 4, 99), "de");
    EXPECT_EQ(TextMid(t, 5, 1), "e");
    EXPECT_EQ(TextMid(t, 6, 1), "");
    EXPECT_EQ(TextMid(t, 0, 2), "");
    EXPECT_EQ(TextMid(t, 2, 0), "");
    EXPECT_EQ(TextMid(t, 2, 2147483647), "bcde");  // no overflow at the end
    // A double-byte character may be cut in two.
    EXPECT_EQ(TextLeft(G("中文"), 3), G("中文").substr(0, 3));
    EXPECT_EQ(TextLength(G("中a")), 3);
}

TEST(TrimSpaces, BothKindsOfSpaceOnly) {
    const Text wide = "\xA1\xA1";  // full-width space
    struct Case {
        Text in, out;
    } cases[] = {
        {"  a b  ", "a b"},
        {wide + " a" + wide + "b " + wide + wide, "a" + wide + "b"},
        {"\ta\r\n", "\ta\r\n"},  // tabs and line breaks are not spaces
        {" \t ", "\t"},
        {"   ", ""},
        {wide, ""},
        {"", ""},
        // Characters B0A1 and A1A1: only the second is a space.
        {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
        // Characters B0A1 and A120: the last byte is a second byte, not a space.
        {"\xB0\xA1\xA1 ", "\xB0\xA1\xA1 "},
        // A lone lead byte at the end goes; the spaces before it stay.
        {" a \x81", "a "},
        {"  \x81", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TrimSpaces(c.in), c.out) << testing::PrintToString(c.in);
}

TEST(RemoveSpaces, EverywhereButInsideCharacters) {
    EXPECT_EQ(RemoveSpaces(" a b\xA1\xA1" "c "), "abc");
    EXPECT_EQ(RemoveSpaces("\xB0\xA1\xA1\xA1x"), "\xB0\xA1x");
    EXPECT_EQ(RemoveSpaces("a\t b\x81"), "a\tb");
}

TEST(CaseFolding, AsciiLettersAtCharacterStartsOnly) {
    EXPECT_EQ(ToLowerCase("AbC-z"), "abc-z");
    EXPECT_EQ(ToUpperCase("AbC-z"), "ABC-Z");
    // 0xB0 0x41 is one character: its second byte 'A' is not a letter here.
    EXPECT_EQ(ToLowerCase("\xB0" "AA"), "\xB0" "Aa");
    EXPECT_EQ(ToUpperCase("\xB0" "aa"), "\xB0" "aA");
}

TEST(CompareText, UnsignedBytesThenLength) {
    EXPECT_EQ(CompareText("", ""), 0);
    EXPECT_EQ(CompareText("abc", "abc"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareText("abc", "ab"), 0);
    EXPECT_GT(CompareText("a", "B"), 0);
    EXPECT_GT(CompareText("\xB0", "z"), 0);  // bytes compare unsigned
}

TEST(SmallConversions, Bytes) {
    EXPECT_EQ(BytesToText(Bytes("ab\0cd", 5)), "ab");
    EXPECT_EQ(BytesToText(Bytes("\0", 1)), "");
    EXPECT_EQ(BytesToText("abc"), "abc");
    EXPECT_EQ(BlankText(3), "   ");
    EXPECT_EQ(BlankText(0), "");
    EXPECT_EQ(BlankText(-2), "");
    EXPECT_EQ(CharFromCode(65), "A");
    EXPECT_EQ(CharFromCode(0x141), "A");  // low eight bits
    EXPECT_EQ(CharFromCode(0), "");
    EXPECT_EQ(CharFromCode(256), "");
}

}  // namespace
}  // namespace velmora
