// A test fixture that runs the simulated store in a fresh temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "fake_store_process.h"
#include "temp_dir.h"

namespace velmora::testing {

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

    // The request targets the store received since it started, in order.
    std::vector<std::string> Targets() const {
        std::vector<std::string> targets;
        for (const LoggedRequest& r : store_->Requests()) targets.push_back(r.requestLine);
        return targets;
    }

    TempDir dir_;
    std::unique_ptr<FakeStoreProcess> store_;
    Endpoints endpoints_;
};

}  // namespace velmora::testing
