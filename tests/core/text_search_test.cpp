// Search, replace and split: the character walk of code page 936.
#include <gtest/gtest.h>

#include <random>

#include "core/text.h"
#include "gbk.h"

namespace velmora {
namespace {

using test::G;

// The walk written plainly, one character at a time: the reference the fast
// search must agree with.
int ReferenceFind(const Text& t, const Text& m, int start, bool ignoreCase) {
    const int L = static_cast<int>(t.size()), M = static_cast<int>(m.size());
    int i = std::max(start, 1) - 1;
    if (i >= L) return -1;
    if (M == 0) return i + 1;
    auto fold = [&](char c) { return ignoreCase && c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    while (i < L) {
        const bool lead = static_cast<unsigned char>(t[i]) >= 0x80;
        if (lead && i == L - 1) return -1;
        if (i + M <= L) {
            bool same = true;
            bool secondByte = false;  // letters fold only at character starts
            for (int k = 0; k < M && same; ++k) {
                same = secondByte ? t[i + k] == m[k] : fold(t[i + k]) == fold(m[k]);
                secondByte = !secondByte && static_cast<unsigned char>(t[i + k]) >= 0x80;
            }
            if (same) return i + 1;
        }
        i += lead ? 2 : 1;
    }
    return -1;
}

TEST(FindText, Examples) {
    struct Case {
        Text text, marker;
        int start;
        bool ignoreCase;
        int expected;
    } cases[] = {
        {"a.b.c", ".", 3, false, 4},
        {"a.b.c", ".", 1, false, 2},
        {"a.b.c", ".", 0, false, 2},    // start below 1 searches from the first byte
        {"a.b.c", ".", -7, false, 2},
        {"a.b.c", ".", 6, false, -1},   // start beyond the end
        {"a.b.c", "", 5, false, 5},     // empty marker: the region start
        {"a.b.c", "", 6, false, -1},
        {"", "", 1, false, -1},
        {"abc", "abcd", 1, false, -1},  // marker longer than the text
        {"xABCabc", "abc", 1, false, 5},
        {"xABCabc", "abc", 1, true, 2},
        {"x\"Aname\":\"", "aNAME\":\"", 1, true, 3},
        // 0xB0 0x7C is one character: its second byte is never taken for "|".
        {"\xB0\x7C|", "|", 1, false, 3},
        {"\xB0\x7C", "|", 1, false, -1},
        {"a\xB0\x7C\xB0\x7C|b", "|", 1, false, 6},
        // A start inside a character makes that byte a character start.
        {"\xB0\x7C|", "|", 2, false, 2},
        // Letters after a lead byte are not folded when ignoring case.
        {"\xB0" "Aa", "a", 1, true, 3},
        {"\xB0" "A", "\xB0" "a", 1, true, -1},
        {"x\xB0" "Ab", "X\xB0" "AB", 1, true, 1},
        // A lone lead byte at the end is not matched.
        {"ab\x81", "\x81", 1, false, -1},
        {"ab\x81\x81", "\x81", 1, false, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindText(c.text, c.marker, c.start, c.ignoreCase), c.expected)
            << c.text << " / " << c.marker << " from " << c.start;
    }
}

TEST(FindTextReverse, Examples) {
    EXPECT_EQ(FindTextReverse("a.b.c", ".", 4), 2);
    EXPECT_EQ(FindTextReverse("a.b.c", ".", 5), 4);
    EXPECT_EQ(FindTextReverse("a.b.c", "."), 4);
    EXPECT_EQ(FindTextReverse("a.b.c", ".", 2), -1);
    EXPECT_EQ(FindTextReverse("a.b.c", ".", 0), -1);
    EXPECT_EQ(FindTextReverse("a.b.c", "", 1), -1);
    EXPECT_EQ(FindTextReverse("a.b.c", "", 2), 1);
    EXPECT_EQ(FindTextReverse("aaaa", "aa"), 3);  // occurrences overlap
    EXPECT_EQ(FindTextReverse("xAbab", "AB", kWholeText, true), 4);
    EXPECT_EQ(FindTextReverse("|\xB0\x7C", "|"), 1);
    // The region ends before the start position; the text's last byte is still its last.
    EXPECT_EQ(FindTextReverse("a\x81z", "\x81", 3), 2);
}

// Random texts over an alphabet rich in lead bytes, markers and letter cases,
// long enough to run the block search, the walk after a second-byte hit and
// the tail.
TEST(FindText, AgreesWithTheCharacterWalk) {
    std::mt19937 random(936);
    const char alphabet[] = {'a', 'A', 'b', 'S', '|', '"', ':', '\xB0', '\xA1', '\xD6', '\x81', ' '};
    auto draw = [&](int length) {
        Text t;
        for (int i = 0; i < length; ++i) t += alphabet[random() % sizeof alphabet];
        return t;
    };
    for (int round = 0; round < 4000; ++round) {
        const Text text = draw(static_cast<int>(random() % 300));
        // Half of the markers are cut from the text, so that most of them occur.
        Text marker = draw(1 + static_cast<int>(random() % 3));
        if (random() % 2 == 0 && !text.empty())
            marker = text.substr(random() % text.size(), 1 + random() % 20);
        const int start = static_cast<int>(random() % 310) - 5;
        const bool ignoreCase = random() % 2 == 0;
        ASSERT_EQ(FindText(text, marker, start, ignoreCase),
                  ReferenceFind(text, marker, start, ignoreCase))
            << "text " << testing::PrintToString(text) << " marker "
            << testing::PrintToString(marker) << " start " << start;
    }
}

TEST(ReplaceText, Examples) {
    EXPECT_EQ(ReplaceText("a,b,,c", ","), "abc");
    EXPECT_EQ(ReplaceText("a,b,,c", ",", ";", 1, 2), "a;b;,c");
    EXPECT_EQ(ReplaceText("a,b,,c", ",", ";", 3), "a,b;;c");  // the first bytes stay
    EXPECT_EQ(ReplaceText("a,b", ",", ";", 4), "a,b");        // start beyond the end
    EXPECT_EQ(ReplaceText("a,b", ",", ";", 1, 0), "a,b");
    EXPECT_EQ(ReplaceText("a,b", "", ";"), "a,b");
    EXPECT_EQ(ReplaceText("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceText("xAbAB", "ab", "-", 1, kAll, true), "x--");
    EXPECT_EQ(ReplaceText("\xB0|a|", "|", "/"), "\xB0|a/");
    // Replacing a line break by a longer mark and back restores the text.
    const Text lines = G("一\r\n二\r\n");
    EXPECT_EQ(ReplaceText(ReplaceText(lines, "\r\n", "{$}"), "{$}", "\r\n"), lines);
}

TEST(SplitText, Pieces) {
    struct Case {
        Text text, separator;
        int maxPieces;
        TextList expected;
    } cases[] = {
        {"a,,b", ",", kAll, {"a", "", "b"}},
        {"a,", ",", kAll, {"a"}},
        {",a", ",", kAll, {"", "a"}},
        {"", ",", kAll, {}},
        {"abc", ",", kAll, {"abc"}},
        {"abc", "", kAll, {"abc"}},
        {"a,b,c", ",", 2, {"a", "b"}},  // the rest after the last piece is dropped
        {"a,b", ",", 5, {"a", "b"}},
        {"a,b", ",", 0, {}},
        {"a#b+c", "#", kAll, {"a", "b+c"}},
        {"x||y", "||", kAll, {"x", "y"}},
        {"\xB0|a|b", "|", kAll, {"\xB0|a", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitText(c.text, c.separator, c.maxPieces), c.expected) << c.text;
}

}  // namespace
}  // namespace velmora
