// Code page 936 conversions, including what cannot be converted.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/codepage.h"

namespace velmora {
namespace {

TEST(Codepage, RoundTrips) {
    const std::string utf8 = "价格 12.5，现货！ABC";
    const Text gbk = Cp936FromUtf8(utf8);
    EXPECT_EQ(gbk, "\xBC\xDB\xB8\xF1 12.5\xA3\xAC\xCF\xD6\xBB\xF5\xA3\xA1" "ABC");
    EXPECT_EQ(Utf8FromCp936(gbk), utf8);
    EXPECT_EQ(Cp936FromUtf16(u"价格"), "\xBC\xDB\xB8\xF1");
    EXPECT_EQ(Cp936FromUtf8(""), "");
    EXPECT_EQ(Utf8FromCp936(""), "");
}

TEST(Codepage, UnconvertibleInput) {
    // Characters code page 936 lacks become "?", one per character.
    EXPECT_EQ(Cp936FromUtf8("a\xE0\xB8\x81" "b\xF0\x9F\x98\x80" "c"), "a?b?c");
    EXPECT_EQ(Cp936FromUtf8("a\xFF" "b"), "a?b");  // not UTF-8
    EXPECT_EQ(Cp936FromUtf16(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(Cp936FromUtf16(std::u16string(u"a") + char16_t(0xDC00) + u"b"), "a?b");
    EXPECT_EQ(Cp936FromUtf16(std::u16string(u"a") + char16_t(0xD800)), "a?");
    // A bad byte pair gives U+FFFD for the lead byte and keeps the ASCII byte.
    EXPECT_EQ(Utf8FromCp936("a\x81\x20z"), "a\xEF\xBF\xBD z");
    EXPECT_EQ(Utf8FromCp936("a\xB0"), "a\xEF\xBF\xBD");  // cut off at the end
}

TEST(Codepage, LongTextAndManyThreads) {
    std::string utf8;
    for (int i = 0; i < 5000; ++i) utf8 += "中文abc";
    const Text expected = Cp936FromUtf8(utf8);
    ASSERT_EQ(expected.size(), 5000u * 7);
    std::vector<std::thread> threads;
    std::vector<int> good(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i)
                good[t] += Cp936FromUtf8(utf8) == expected && Utf8FromCp936(expected) == utf8;
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(good, std::vector<int>(4, 50));
}

}  // namespace
}  // namespace velmora
