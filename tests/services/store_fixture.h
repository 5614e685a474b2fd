// A test fixture that runs the simulated store in a fresh temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_store_process.h"
#include "temp_dir.h"

namespace velmora::testing {

// The request line and the fixed header block that every HttpGet sends.
inline void ExpectHttpGet(const LoggedRequest& request, const Text& url, const Text& path) {
    EXPECT_EQ(request.requestLine, "GET " + path + " HTTP/1.1");
    const std::vector<std::string> block = {"Accept: */*", "Referer: " + url,
                                            "Accept-Language: zh-cn",
                                            "Content-Type: application/x-www-form-urlencoded"};
    // The four lines appear in this order, whatever else (Host, User-Agent) stands around them.
    size_t next = 0;
    for (const std::string& header : request.headers) {
        if (next < block.size() && header == block[next]) ++next;
    }
    EXPECT_EQ(next, block.size()) << request.requestLine;
    int accepts = 0;
    for (const std::string& header : request.headers) {
        if (header.rfind("Accept:", 0) == 0) ++accepts;
    }
    EXPECT_EQ(accepts, 1);
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef FAKE_STORE_PATH
        GTEST_SKIP() << "the simulated store was not built";
#else
        ASSERT_FALSE(dir_.Path().empty());
        store_ = std::make_unique<FakeStoreProcess>(dir_.Path());
        ASSERT_TRUE(store_->Started()) << "the simulated store did not print its port";
        endpoints_ = store_->StoreEndpoints();
#endif
    }

    TempDir dir_;
    std::unique_ptr<FakeStoreProcess> store_;
    Endpoints endpoints_;
};

}  // namespace velmora::testing
