// fake_store: the simulated store on 127.0.0.1 for tests, benchmarks and the demo.
//   fake_store --port N [--scenario FILE] [--log FILE]
// Prints "port <N>" once listening; stops on SIGTERM, SIGINT or GET /__admin/quit.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QGuiApplication>

#include "http_server.h"
#include "pictures.h"
#include "request_log.h"
#include "scenario.h"
#include "store.h"

namespace {

fakestore::HttpServer* g_server = nullptr;  // for the signal handler only

extern "C" void OnSignal(int) {
    if (g_server) g_server->Stop();
}

// Qt's start-up notes (runtime directory, platform) are noise on the store's
// stderr, which tests read for real errors; only fatal messages go through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int Usage() {
    std::fprintf(stderr, "usage: fake_store --port N [--scenario FILE] [--log FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int port = -1;
    std::string scenarioPath, logPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return Usage();
        if (arg == "--port") {
            char* end = nullptr;
            long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 0 || value > 65535) return Usage();
            port = static_cast<int>(value);
        } else if (arg == "--scenario") {
            scenarioPath = argv[++i];
        } else if (arg == "--log") {
            logPath = argv[++i];
        } else {
            return Usage();
        }
    }
    if (port < 0) return Usage();

    // Lettering the banner needs a font database, hence a GUI application;
    // it never opens a window.
    qInstallMessageHandler(QuietQtMessages);
    int qtArgc = 3;
    char qtName[] = "fake_store", qtOpt[] = "-platform", qtPlatform[] = "offscreen";
    char* qtArgv[] = {qtName, qtOpt, qtPlatform, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    const std::string banner = fakestore::BannerPng();

    fakestore::RequestLog log;
    if (!logPath.empty() && !log.Open(logPath)) {
        std::fprintf(stderr, "fake_store: cannot open log %s\n", logPath.c_str());
        return 1;
    }
    fakestore::Scenario scenario;
    if (!scenarioPath.empty()) {
        std::string error;
        if (!scenario.Load(scenarioPath, error)) {
            std::fprintf(stderr, "fake_store: scenario %s: %s\n", scenarioPath.c_str(),
                         error.c_str());
            return 2;
        }
    }

    fakestore::Store store(logPath.empty() ? nullptr : &log, &scenario, banner);
    fakestore::HttpServer server([&store](const fakestore::HttpRequest& req) {
        return store.Handle(req);
    });
    int bound = server.Listen(port);
    if (bound < 0) {
        std::fprintf(stderr, "fake_store: cannot listen on 127.0.0.1:%d: %s\n", port,
                     std::strerror(errno));
        return 1;
    }
    g_server = &server;
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);

    scenario.Start();
    std::printf("port %d\n", bound);
    std::fflush(stdout);
    server.Run();
    g_server = nullptr;
    return 0;
}
