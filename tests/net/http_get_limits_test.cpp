// Every way a transfer can go wrong ends, within its limit, as the empty body.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "net/http_get.h"
#include "raw_server.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Answer;
using test::Pattern;
using test::RawServer;
using test::ResetConnection;
using test::SendAll;

HttpLimits Short() {
    HttpLimits limits;
    limits.connectTimeoutMs = 2000;
    limits.stallTimeoutMs = 1000;
    limits.totalTimeoutMs = 4000;
    return limits;
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct StallCase {
    const char* name;
    std::string sentBeforeStall;
};

class Stalling : public ::testing::TestWithParam<StallCase> {};

// The server holds the connection for a minute; the call gives up after the
// one-second stall limit (a generous bound here, not a speed figure).
TEST_P(Stalling, TransferIsAbandonedWithinTheStallLimit) {
    const std::string before = GetParam().sentBeforeStall;
    RawServer server([&](RawServer& s, int fd, const std::string&) {
        SendAll(fd, before);
        s.Pause(60s);
        return false;
    });
    const auto start = Clock::now();

    EXPECT_EQ(HttpGet(server.Url("/stall"), Short()), "");

    EXPECT_LT(SecondsSince(start), 3.5);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Stalling,
    ::testing::Values(
        StallCase{"NoAnswerAtAll", ""},
        StallCase{"InsideTheHeaders", "HTTP/1.1 200 OK\r\nContent-Le"},
        StallCase{"InsideTheBody", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhalf"},
        StallCase{"BetweenChunks",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HttpGetLimits, TrickleThatEvadesTheStallLimitEndsAtTheTotalLimit) {
    RawServer server([](RawServer& s, int fd, const std::string&) {
        SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        while (!s.Stopping() && SendAll(fd, "x")) s.Pause(200ms);
        return false;
    });
    const auto start = Clock::now();

    EXPECT_EQ(HttpGet(server.Url("/trickle"), Short()), "");

    const double took = SecondsSince(start);
    EXPECT_GT(took, 3.0);  // the stall limit alone did not end it
    EXPECT_LT(took, 6.0);
}

struct SizeCase {
    const char* name;
    size_t size;
    bool chunked;
    bool whole;
};

class BodySize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(BodySize, BodyOverTheLimitIsAFailure) {
    const SizeCase c = GetParam();
    const std::string body = Pattern(c.size);
    RawServer server([&](RawServer&, int fd, const std::string&) {
        if (c.chunked) {
            SendAll(fd, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
            for (size_t at = 0; at < body.size(); at += 100) {
                char size[16];
                const std::string part = body.substr(at, 100);
                std::snprintf(size, sizeof size, "%zx\r\n", part.size());
                if (!SendAll(fd, size + part + "\r\n")) return false;
            }
            SendAll(fd, "0\r\n\r\n");
        } else {
            SendAll(fd, Answer(200, body));
        }
        return false;
    });
    HttpLimits limits = Short();
    limits.maxBodyBytes = 1000;

    const Bytes got = HttpGet(server.Url("/size"), limits);

    EXPECT_TRUE(got == (c.whole ? body : Bytes()));
}

INSTANTIATE_TEST_SUITE_P(Table, BodySize,
                         ::testing::Values(SizeCase{"AtLimit", 1000, false, true},
                                           SizeCase{"OverLimit", 1001, false, false},
                                           SizeCase{"ChunkedAtLimit", 1000, true, true},
                                           SizeCase{"ChunkedOverLimit", 1001, true, false},
                                           SizeCase{"FarOverLimit", 200000, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HttpGetLimits, DefaultLimitRefusesABodyOver16MiB) {
    constexpr size_t k16MiB = 16u * 1024 * 1024;
    const std::string block(64 * 1024, 'b');
    RawServer server([&](RawServer&, int fd, const std::string& head) {
        // Sent without a length, so only the bytes' arrival can reveal the size.
        const size_t size = test::TargetOf(head) == "/over" ? k16MiB + 1 : k16MiB;
        SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
        size_t sent = 0;
        while (sent + block.size() <= size && SendAll(fd, block)) sent += block.size();
        if (sent < size) SendAll(fd, block.substr(0, size - sent));
        return false;
    });

    EXPECT_EQ(HttpGet(server.Url("/exact")).size(), k16MiB);
    EXPECT_EQ(HttpGet(server.Url("/over")), "");
}

TEST(HttpGetLimits, EndlessHeadersAreAFailure) {
    RawServer server([](RawServer&, int fd, const std::string&) {
        SendAll(fd, "HTTP/1.1 200 OK\r\n");
        const std::string line = "X-Filler: " + std::string(1000, 'f') + "\r\n";
        for (int i = 0; i < 5000 && SendAll(fd, line); ++i) {
        }
        return false;
    });
    EXPECT_EQ(HttpGet(server.Url("/headers"), Short()), "");
}

TEST(HttpGetLimits, ConnectionRefusedGivesEmpty) {
    // A port that was just free and has no listener.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);

    EXPECT_EQ(HttpGet("http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/", Short()),
              "");
}

struct BrokenCase {
    const char* name;
    std::string sent;
};

class Broken : public ::testing::TestWithParam<BrokenCase> {};

// A transfer cut short gives the empty body, never the part that came.
TEST_P(Broken, TransferCutShortGivesEmpty) {
    const std::string sent = GetParam().sent;
    RawServer server([&](RawServer&, int fd, const std::string&) {
        SendAll(fd, sent);
        ResetConnection(fd);
        return false;
    });
    EXPECT_EQ(HttpGet(server.Url("/cut"), Short()), "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, Broken,
    ::testing::Values(BrokenCase{"ResetBeforeAnswer", ""},
                      BrokenCase{"ResetInBody", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" +
                                                    std::string(500, 'p')},
                      BrokenCase{
                          "ResetInChunks",
                          "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n"},
                      BrokenCase{"NotHttp", "SSH-2.0-OpenSSH_9.2\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora
