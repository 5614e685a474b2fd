// A main window started in a fresh program directory, against the simulated
// store, with the pages it opens recorded instead of handed to a browser.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "core/codepage.h"
#include "store_process.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace velmora::testing {

inline QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        store_ = std::make_unique<StoreProcess>(logDir_.path() / "store.log");
        store_->WriteEndpoints(dir());
    }
    void TearDown() override {
        window_.reset();
        QApplication::processEvents();
    }

    const std::filesystem::path& dir() const { return programDir_.path(); }
    StoreProcess& store() { return *store_; }

    MainWindow& Start() {
        window_ = std::make_unique<MainWindow>(dir());
        window_->SetUrlOpener([this](const Text& url) { opened_.push_back(url); });
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        return *window_;
    }
    MainWindow& window() { return *window_; }

    template <class Widget>
    Widget* Find(const char* name) {
        auto* widget = window_->findChild<Widget*>(Q(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    std::vector<Text> opened_;

private:
    TempDir programDir_;
    TempDir logDir_;
    std::unique_ptr<StoreProcess> store_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace velmora::testing
