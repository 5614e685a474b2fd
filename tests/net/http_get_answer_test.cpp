// What HttpGet hands back: the body whole and in order, over any framing,
// after redirects, with cookies kept between calls and threads kept apart.
#include <gtest/gtest.h>

#include <barrier>
#include <string>
#include <thread>
#include <vector>

#include "net/http_get.h"
#include "raw_server.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using test::Answer;
using test::Pattern;
using test::RawServer;
using test::SendAll;
using test::TargetOf;

std::string Chunked(const std::string& body, size_t piece) {
    std::string out;
    char size[32];
    for (size_t at = 0; at < body.size(); at += piece) {
        const std::string part = body.substr(at, piece);
        std::snprintf(size, sizeof size, "%zx\r\n", part.size());
        out += size + part + "\r\n";
    }
    return out + "0\r\n\r\n";
}

struct BodyCase {
    const char* name;
    size_t size;
    enum Framing { kLength, kChunked, kTrickled, kUntilClose } framing;
};

class BodyArrives : public ::testing::TestWithParam<BodyCase> {};

TEST_P(BodyArrives, WholeAndInOrder) {
    const BodyCase c = GetParam();
    const std::string body = Pattern(c.size, 3);
    RawServer server([&](RawServer& s, int fd, const std::string&) {
        switch (c.framing) {
            case BodyCase::kLength:
                SendAll(fd, Answer(200, body));
                return true;
            case BodyCase::kChunked:
                SendAll(fd, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                                Chunked(body, 1000));
                return true;
            case BodyCase::kTrickled: {
                const std::string all = Answer(200, body);
                for (size_t at = 0; at < all.size(); at += 333) {
                    SendAll(fd, all.substr(at, 333));
                    s.Pause(5ms);
                }
                return true;
            }
            case BodyCase::kUntilClose:
                SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body);
                return false;
        }
        return false;
    });

    const Bytes got = HttpGet(server.Url("/body"));

    ASSERT_EQ(got.size(), body.size());
    EXPECT_TRUE(got == body);
}

INSTANTIATE_TEST_SUITE_P(Table, BodyArrives,
                         ::testing::Values(BodyCase{"Empty", 0, BodyCase::kLength},
                                           BodyCase{"OneByte", 1, BodyCase::kLength},
                                           BodyCase{"Exactly1024", 1024, BodyCase::kLength},
                                           BodyCase{"Of1025", 1025, BodyCase::kLength},
                                           BodyCase{"SeveralKiB", 9 * 1024 + 7, BodyCase::kLength},
                                           BodyCase{"ChunkedSeveralKiB", 6 * 1024 + 5,
                                                    BodyCase::kChunked},
                                           BodyCase{"ChunkedEmpty", 0, BodyCase::kChunked},
                                           BodyCase{"Trickled", 5000, BodyCase::kTrickled},
                                           BodyCase{"UntilClose", 3000, BodyCase::kUntilClose},
                                           BodyCase{"Large", 3 * 1024 * 1024, BodyCase::kLength}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HttpGetAnswer, ErrorStatusBodyIsReturnedLikeAnyOther) {
    RawServer server([](RawServer&, int fd, const std::string& head) {
        const int status = TargetOf(head) == "/missing" ? 404 : 500;
        SendAll(fd, Answer(status, "page " + std::to_string(status)));
        return true;
    });
    EXPECT_EQ(HttpGet(server.Url("/missing")), "page 404");
    EXPECT_EQ(HttpGet(server.Url("/broken")), "page 500");
}

TEST(HttpGetAnswer, RedirectsAreFollowedWithTheSameHeaderBlock) {
    RawServer other([](RawServer&, int fd, const std::string& head) {
        SendAll(fd, Answer(200, "final at " + TargetOf(head)));
        return true;
    });
    RawServer server([&](RawServer&, int fd, const std::string& head) {
        const std::string target = TargetOf(head);
        if (target == "/dir/start?x=1") {
            SendAll(fd, Answer(302, "moved", "Location: next?y=2\r\n"));  // relative to /dir/
        } else if (target == "/dir/next?y=2") {
            SendAll(fd, Answer(301, "", "Location: " + other.Url("/Done?Z=3") + "\r\n"));
        } else {
            SendAll(fd, Answer(500, "unexpected " + target));
        }
        return true;
    });
    const std::string url = server.Url("/dir/start?x=1");

    EXPECT_EQ(HttpGet(url), "final at /Done?Z=3");

    ASSERT_EQ(server.Heads().size(), 2u);
    const auto last = other.Heads();
    ASSERT_EQ(last.size(), 1u);
    EXPECT_NE(last[0].find("\r\nHost: 127.0.0.1:" + std::to_string(other.Port()) + "\r\n"),
              std::string::npos);
    EXPECT_NE(last[0].find("\r\nReferer: " + url + "\r\n"), std::string::npos);
}

TEST(HttpGetAnswer, RedirectLoopEndsAsFailure) {
    RawServer server([](RawServer&, int fd, const std::string&) {
        SendAll(fd, Answer(302, "again", "Location: /loop\r\n"));
        return true;
    });
    EXPECT_EQ(HttpGet(server.Url("/loop")), "");
    EXPECT_LE(server.Heads().size(), 11u);
}

TEST(HttpGetAnswer, RedirectToAnotherProtocolIsNotFollowed) {
    RawServer server([](RawServer&, int fd, const std::string&) {
        SendAll(fd, Answer(302, "elsewhere", "Location: file:///etc/passwd\r\n"));
        return true;
    });
    EXPECT_EQ(HttpGet(server.Url("/")), "");
}

TEST(HttpGetAnswer, CookiesAreKeptAndSentBackOnLaterCalls) {
    // Cookies live in the process-wide store; the paths keep these away from
    // the other tests' requests to 127.0.0.1.
    RawServer server([](RawServer&, int fd, const std::string& head) {
        const std::string target = TargetOf(head);
        if (target == "/jar/login") {
            SendAll(fd, Answer(302, "",
                               "Set-Cookie: session=s3cr3t; Path=/jar\r\n"
                               "Location: /jar/home\r\n"));
        } else if (target == "/jar/set") {
            SendAll(fd, Answer(200, "set", "Set-Cookie: area=1_72_2799; Path=/jar\r\n"));
        } else {
            SendAll(fd, Answer(200, "page"));
        }
        return true;
    });

    EXPECT_EQ(HttpGet(server.Url("/jar/login")), "page");
    EXPECT_EQ(HttpGet(server.Url("/jar/set")), "set");
    std::thread([&] { EXPECT_EQ(HttpGet(server.Url("/jar/later")), "page"); }).join();

    const auto heads = server.Heads();
    ASSERT_EQ(heads.size(), 4u);
    EXPECT_EQ(heads[0].find("Cookie:"), std::string::npos);
    // Set on the redirect, sent on the hop it leads to.
    EXPECT_NE(heads[1].find("\r\nCookie: session=s3cr3t\r\n"), std::string::npos);
    // Kept across calls and threads.
    EXPECT_NE(heads[3].find("session=s3cr3t"), std::string::npos);
    EXPECT_NE(heads[3].find("area=1_72_2799"), std::string::npos);
}

TEST(HttpGetAnswer, ServerClosingAKeptConnectionDoesNotFailTheNextCall) {
    // Answers without announcing the close, so the client keeps the
    // connection for the next call and finds it gone.
    RawServer server([](RawServer&, int fd, const std::string& head) {
        SendAll(fd, Answer(200, "answer for " + TargetOf(head)));
        return false;
    });
    for (const char* path : {"/one", "/two", "/three"}) {
        EXPECT_EQ(HttpGet(server.Url(path)), std::string("answer for ") + path);
    }
    EXPECT_EQ(server.Connections(), 3);
}

TEST(HttpGetAnswer, ConcurrentCallsEachGetTheirOwnBody) {
    constexpr int kCalls = 20;
    RawServer server([](RawServer& s, int fd, const std::string& head) {
        const unsigned n = static_cast<unsigned>(std::stoi(TargetOf(head).substr(3)));
        s.Pause(std::chrono::milliseconds(20 + 7 * (n % 5)));  // answers overlap and reorder
        SendAll(fd, Answer(200, "call " + std::to_string(n) + ":" + Pattern(4000 + n, n)));
        return true;
    });
    std::vector<Bytes> bodies(kCalls);
    std::barrier start(kCalls);
    std::vector<std::thread> threads;
    for (int i = 0; i < kCalls; ++i) {
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            bodies[i] = HttpGet(server.Url("/n/" + std::to_string(i)));
        });
    }
    for (std::thread& t : threads) t.join();

    for (int i = 0; i < kCalls; ++i) {
        const unsigned n = static_cast<unsigned>(i);
        EXPECT_TRUE(bodies[i] == "call " + std::to_string(n) + ":" + Pattern(4000 + n, n))
            << "call " << i;
    }
    EXPECT_EQ(server.Heads().size(), static_cast<size_t>(kCalls));
}

}  // namespace
}  // namespace velmora
