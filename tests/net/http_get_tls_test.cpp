// https goes through TLS with the peer verified: a server whose certificate
// no authority signed gets no request.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "net/http_get.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class SelfSignedServer : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmora-net-tls-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        const std::string command =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1"
            " -addext subjectAltName=IP:127.0.0.1 -keyout '" +
            (dir_ / "key.pem").string() + "' -out '" + (dir_ / "cert.pem").string() +
            "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        server_ = std::make_unique<httplib::SSLServer>((dir_ / "cert.pem").c_str(),
                                                       (dir_ / "key.pem").c_str());
        ASSERT_TRUE(server_->is_valid());
        server_->Get("/", [this](const httplib::Request&, httplib::Response& res) {
            ++served_;
            res.set_content("secret", "text/plain");
        });
        port_ = server_->bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_->listen_after_bind(); });
    }

    void TearDown() override {
        if (server_) server_->stop();
        if (thread_.joinable()) thread_.join();
        if (!dir_.empty()) fs::remove_all(dir_);
    }

    fs::path dir_;
    std::unique_ptr<httplib::SSLServer> server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<int> served_{0};
};

TEST_F(SelfSignedServer, UnverifiedPeerGetsNoRequest) {
    EXPECT_EQ(HttpGet("https://127.0.0.1:" + std::to_string(port_) + "/"), "");
    EXPECT_EQ(served_, 0);
}

}  // namespace
}  // namespace velmora
