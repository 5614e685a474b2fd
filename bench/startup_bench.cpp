// Start-up of the real program: from process start to its window being shown
// (mapped and viewable on a private X server), with a 100,000-line record
// file, and the process's peak memory (VmHWM) at that moment. Runs the
// program several times against the simulated store and prints the figures.
//   bench_startup [runs] [record lines, 100000 by default]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "store_process.h"
#include "x_display.h"

using namespace velmora::testing;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kDefaultRecordLines = 100000;

// A record file of `lines` products in code page 936 (ASCII names suffice).
std::string RecordFile(int lines) {
    std::string out;
    out.reserve(static_cast<size_t>(lines) * 80);
    for (int i = 0; i < lines; ++i) {
        out += std::to_string(100000 + i) + "-----Product " + std::to_string(i) +
               "||||p-1#c-72+a-2799@@@@99.5####1000000127&&&&737,752,753\r\n";
    }
    return out;
}

bool WindowShown(Display* display, Window parent) {
    Window root = 0, parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count)) return false;
    bool found = false;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (std::strcmp(name, "Velmora") == 0) {
                XWindowAttributes attributes;
                found = XGetWindowAttributes(display, children[i], &attributes) &&
                        attributes.map_state == IsViewable;
            }
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

// A window can vanish between listing and asking about it; that is no error
// here (Xlib's default handler would end the process).
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

long PeakKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int lines = argc > 2 ? std::max(0, std::atoi(argv[2])) : kDefaultRecordLines;
    TempDir programDir, workDir, logDir;
    StoreProcess store(logDir.path() / "store.log");
    store.WriteEndpoints(programDir.path());
    WriteWhole(programDir.path() / "京东监控记录.txt", RecordFile(lines));
    const auto binary = programDir.path() / "velmora";
    std::filesystem::copy_file(VELMORA_PATH, binary);

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    XSetErrorHandler(IgnoreXError);
    XDisplay x;
    Display* display = XOpenDisplay(x.name().c_str());
    if (!display) {
        std::fprintf(stderr, "cannot open %s\n", x.name().c_str());
        return 1;
    }
    std::vector<double> ms;
    std::vector<long> peaks;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        Child program(binary.string(), workDir.path().string(),
                      {{"DISPLAY", x.name()}, {"QT_QPA_PLATFORM", "xcb"}});
        bool shown = false;
        while (Clock::now() - start < std::chrono::seconds(60)) {
            if (WindowShown(display, DefaultRootWindow(display))) {
                shown = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const double elapsed =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const long peak = PeakKiB(program.pid());
        if (!shown) {
            std::fprintf(stderr, "run %d: no window within 60 s\n", run + 1);
            return 1;
        }
        ms.push_back(elapsed);
        peaks.push_back(peak);
        std::printf("run %d: window shown after %.0f ms, VmHWM %.1f MiB\n", run + 1, elapsed,
                    peak / 1024.0);
        // The child is killed when `program` goes; wait for its window to go too.
        kill(program.pid(), SIGTERM);
        program.WaitExit(std::chrono::seconds(10));
        while (WindowShown(display, DefaultRootWindow(display)))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("record file: %d lines; runs: %d\n", lines, runs);
    std::printf("start-up to shown window: median %.0f ms, max %.0f ms\n",
                sorted[sorted.size() / 2], sorted.back());
    std::printf("peak memory (VmHWM) at that moment: max %.1f MiB\n",
                *std::max_element(peaks.begin(), peaks.end()) / 1024.0);
    XCloseDisplay(display);
    return 0;
}
