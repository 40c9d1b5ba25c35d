// Torvane's program entry: the application, the main window and the event
// loop until the window is closed.

#include <QApplication>
#include "app/main_window.h"
#include "app/program_setup.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torvane"));
    // Wayland matches the window to torvane.desktop by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("torvane"));
    QApplication::setWindowIcon(torvane::app::ProgramIcon());
    torvane::app::LoadQtJapanese(application);

    torvane::app::WindowOptions options;
    // Argument values are never read; their presence closes the window when a run finishes.
    options.closeAfterRun = argc > 1;
    options.programDir = QApplication::applicationDirPath();
    torvane::app::Tbody window(options);
    window.show();
    return QApplication::exec();
}
