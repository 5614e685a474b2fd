#include "net/url.h"

#include <gtest/gtest.h>

#include "net/request_url.h"

namespace velmora {
namespace {

struct UrlCase {
    const char* url;
    const char* host;
    int port;
    const char* path;
};

class UrlPieces : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlPieces, SplitIntoHostPortAndPath) {
    const UrlCase& c = GetParam();
    EXPECT_EQ(UrlHost(c.url), c.host);
    EXPECT_EQ(UrlPort(c.url), c.port);
    EXPECT_EQ(UrlPath(c.url), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UrlPieces,
    ::testing::Values(
        // Host folded to lower case, path keeps its capitals.
        UrlCase{"HTTP://Item.JD.com/Abc/Def.HTML?X=Y", "item.jd.com", 80, "/Abc/Def.HTML?X=Y"},
        UrlCase{"https://shop.example.com:444/a/b", "shop.example.com", 444, "/a/b"},
        UrlCase{"https://shop.example.com", "shop.example.com", 443, "/"},
        UrlCase{"HTTPS://Shop.Example.com/x", "shop.example.com", 443, "/x"},
        UrlCase{"c0.3.cn/a", "c0.3.cn", 80, "/a"}, UrlCase{"http://p.3.cn:81", "p.3.cn", 81, "/"},
        // A "/" in the query does not move the host's end.
        UrlCase{"http://pi.3.cn/p?u=a/b", "pi.3.cn", 80, "/p?u=a/b"},
        UrlCase{"http://127.0.0.1:8080/stock?skuId=1&area=1_72_2799", "127.0.0.1", 8080,
                "/stock?skuId=1&area=1_72_2799"},
        // Only the first five bytes decide about https.
        UrlCase{"HttpS://h:1/", "h", 1, "/"},
        // A host whose name also occurs in the scheme.
        UrlCase{"http://h/x", "h", 80, "/x"}, UrlCase{"https://t:8443/p/q", "t", 8443, "/p/q"},
        UrlCase{"http://h/path:with:colons", "h", 80, "/path:with:colons"},
        // Code page 936 bytes in the query stay as they are.
        UrlCase{"http://h/q?name=\xC9\xCC\xC6\xB7", "h", 80, "/q?name=\xC9\xCC\xC6\xB7"}));

struct SafeCase {
    const char* url;
    const char* safe;
};

class SafeUrls : public ::testing::TestWithParam<SafeCase> {};

TEST_P(SafeUrls, NoByteCanEndOrAddALine) {
    EXPECT_EQ(SafeRequestUrl(GetParam().url), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SafeUrls,
    ::testing::Values(SafeCase{"http://h/a?b=c", "http://h/a?b=c"},
                      SafeCase{"http://h/a\r\nX-Evil: 1", "http://h/a"},
                      SafeCase{"http://h/a\nHost: evil", "http://h/a"},
                      SafeCase{"http://h/a\rb", "http://h/a"},
                      SafeCase{"http://h/a b\tc\x01\x7F", "http://h/a%20b%09c%01%7F"},
                      SafeCase{"http://h/\xC9\xCC%41", "http://h/\xC9\xCC%41"}));

TEST(PlainHostName, AcceptsOnlyNameBytes) {
    EXPECT_TRUE(IsPlainHostName("item.m.jd.com"));
    EXPECT_TRUE(IsPlainHostName("127.0.0.1"));
    EXPECT_TRUE(IsPlainHostName("my_host-1"));
    EXPECT_FALSE(IsPlainHostName(""));
    EXPECT_FALSE(IsPlainHostName("user@127.0.0.1"));
    EXPECT_FALSE(IsPlainHostName("h?x=1"));
    EXPECT_FALSE(IsPlainHostName("h%2e"));
    EXPECT_FALSE(IsPlainHostName("\xC9\xCC.cn"));
}

}  // namespace
}  // namespace velmora
