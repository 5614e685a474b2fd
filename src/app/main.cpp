// Process entry: the window system, the main window, the message loop.
#include <QApplication>
#include <QFont>
#include <cstdio>
#include <cstdlib>

#include "core/program_dir.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 9));
    velmora::MainWindow window(velmora::ProgramDir());
    // Closing the window ends the program, whatever other window is open.
    QObject::connect(&window, &velmora::MainWindow::Closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    const int status = QApplication::exec();
    // Closing the window ends the program at once: monitoring workers may
    // still be running, detached, and are cut off here rather than left to
    // outlive the objects they use. Nothing is saved at exit.
    std::fflush(nullptr);
    std::_Exit(status);
}
