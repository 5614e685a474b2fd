// What HttpGet puts on the wire: request line, header lines in order, nothing
// else, whatever bytes the URL holds.
#include <gtest/gtest.h>

#include <string>

#include "net/http_get.h"
#include "raw_server.h"

namespace velmora {
namespace {

using test::Answer;
using test::RawServer;
using test::SendAll;

constexpr char kUserAgentLine[] =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n";

std::string ExpectedHead(const std::string& target, int port, const std::string& referer) {
    return "GET " + target + " HTTP/1.1\r\n" + "Host: 127.0.0.1:" + std::to_string(port) + "\r\n" +
           "Accept: */*\r\n" + "Referer: " + referer + "\r\n" + "Accept-Language: zh-cn\r\n" +
           "Content-Type: application/x-www-form-urlencoded\r\n" + kUserAgentLine + "\r\n";
}

RawServer::Handler AnswerOk() {
    return [](RawServer&, int fd, const std::string&) {
        SendAll(fd, Answer(200, "ok"));
        return true;
    };
}

struct WireCase {
    const char* name;
    std::string prefix;  // put before "127.0.0.1:<port>"
    std::string rest;    // put after the port
    std::string target;  // request target expected on the wire
};

class RequestOnWire : public ::testing::TestWithParam<WireCase> {};

TEST_P(RequestOnWire, IsExactlyTheFixedRequest) {
    RawServer server(AnswerOk());
    const WireCase& c = GetParam();
    const std::string url = c.prefix + "127.0.0.1:" + std::to_string(server.Port()) + c.rest;

    EXPECT_EQ(HttpGet(url), "ok");

    const auto heads = server.Heads();
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0], ExpectedHead(c.target, server.Port(), url));
}

INSTANTIATE_TEST_SUITE_P(Table, RequestOnWire,
                         ::testing::Values(
                             // Query and letter case reach the server and the Referer unchanged.
                             WireCase{"QueryAndCase", "http://",
                                      "/Stock/Get?SkuId=100012&Area=1_72_2799&cat=9987,653",
                                      "/Stock/Get?SkuId=100012&Area=1_72_2799&cat=9987,653"},
                             WireCase{"SchemeInCapitals", "HTTP://", "/A", "/A"},
                             WireCase{"NoScheme", "", "/a", "/a"},
                             WireCase{"NoPath", "http://", "", "/"},
                             // The target is sent byte for byte: no dot-segment removal, no
                             // re-escaping, code page 936 bytes raw.
                             WireCase{"BytesNotNormalised", "http://", "/a//./b/../c?x=%zz&y={|}^`",
                                      "/a//./b/../c?x=%zz&y={|}^`"},
                             WireCase{"Cp936Bytes", "http://", "/q?name=\xC9\xCC\xC6\xB7\x7C",
                                      "/q?name=\xC9\xCC\xC6\xB7\x7C"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RequestOnWire, LineBreaksInTheUrlCannotAddLines) {
    RawServer server(AnswerOk());
    const std::string base = server.Url("/a?x=1");

    EXPECT_EQ(HttpGet(base + "\r\nX-Injected: yes\r\n\r\nGET /second HTTP/1.1"), "ok");
    EXPECT_EQ(HttpGet(base + "\nHost: evil.example"), "ok");

    const auto heads = server.Heads();
    ASSERT_EQ(heads.size(), 2u);
    // The URL ends at its first line break, in the request line and the Referer alike.
    EXPECT_EQ(heads[0], ExpectedHead("/a?x=1", server.Port(), base));
    EXPECT_EQ(heads[1], ExpectedHead("/a?x=1", server.Port(), base));
}

TEST(RequestOnWire, SpacesAndControlBytesArePercentEncoded) {
    RawServer server(AnswerOk());
    const std::string url = server.Url("/a b?q=1 HTTP/1.0\tz\x01");

    EXPECT_EQ(HttpGet(url), "ok");

    const std::string safe = server.Url("/a%20b?q=1%20HTTP/1.0%09z%01");
    const auto heads = server.Heads();
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0], ExpectedHead("/a%20b?q=1%20HTTP/1.0%09z%01", server.Port(), safe));
}

TEST(RequestOnWire, HostThatIsNoPlainNameIsNotContacted) {
    RawServer server(AnswerOk());
    const std::string port = std::to_string(server.Port());

    EXPECT_EQ(HttpGet("http://user@127.0.0.1:" + port + "/"), "");
    EXPECT_EQ(HttpGet("http://127.0.0.1%2f:" + port + "/"), "");
    EXPECT_EQ(HttpGet("http://127.0.0.1:99999/"), "");
    EXPECT_EQ(HttpGet("http://:" + port + "/"), "");

    EXPECT_EQ(server.Connections(), 0);
}

class TlsStart : public ::testing::TestWithParam<const char*> {};

// An https URL in any letter case speaks TLS to the named port.
TEST_P(TlsStart, HttpsUrlOpensWithATlsHandshake) {
    RawServer server([](RawServer&, int, const std::string&) { return false; });
    const std::string url =
        std::string(GetParam()) + "127.0.0.1:" + std::to_string(server.Port()) + "/x";

    EXPECT_EQ(HttpGet(url), "");

    const auto starts = server.OtherStarts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0][0], '\x16');  // TLS record type: handshake
    EXPECT_TRUE(server.Heads().empty());
}

INSTANTIATE_TEST_SUITE_P(Schemes, TlsStart, ::testing::Values("https://", "HTTPS://", "hTTpS://"));

}  // namespace
}  // namespace velmora
