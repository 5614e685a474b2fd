// The built program as a user starts it: copied into a program directory of
// its own, run under a private X server against the simulated store, its
// window found by its caption, and closed with the Escape key.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "store_process.h"
#include "x_display.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

TEST(WholeProgram, OpensItsWindowWritesItsFilesBesideItselfAndEndsOnEscape) {
    TempDir programDir;
    TempDir workDir;
    TempDir logDir;
    StoreProcess store(logDir.path() / "store.log");
    store.WriteEndpoints(programDir.path());
    const auto binary = programDir.path() / "velmora";
    std::filesystem::copy_file(VELMORA_PATH, binary);

    XDisplay display;
    Child program(binary.string(), workDir.path().string(),
                  {{"DISPLAY", display.name()}, {"QT_QPA_PLATFORM", "xcb"}});

    const std::string window = WaitForVelmoraWindow(display);
    ASSERT_FALSE(window.empty()) << "no window captioned Velmora appeared";
    const std::string geometry = display.Run("xdotool getwindowgeometry " + window);
    EXPECT_NE(geometry.find("1164x628"), std::string::npos) << geometry;

    // Start-up has run by the time the window shows.
    EXPECT_GT(std::filesystem::file_size(programDir.path() / "autio.mp3"), 0u);
    EXPECT_FALSE(std::filesystem::exists(workDir.path() / "autio.mp3"));
    EXPECT_EQ(store.CountRequests("GET /banner.png "), 1);

    display.Run("xdotool windowfocus --sync " + window + " key Escape");
    int status = -1;
    ASSERT_TRUE(program.WaitExit(10s, &status)) << "Escape did not end the program";
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace velmora::testing
