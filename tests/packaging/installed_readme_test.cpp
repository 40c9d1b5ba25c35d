// The window of an installed copy finds the user guide that the install put
// into the data folder: its help command hands exactly that file to the
// desktop, also from folders whose names CP932 garbles or lacks.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QUrl>
#include <filesystem>

#include "app/main_window.h"
#include "child_process.h"
#include "view/result/desktop_open.h"

namespace torvane::packaging {
namespace {

namespace fs = std::filesystem;
using cli::testing::ChildResult;
using cli::testing::RunChild;

TEST(InstalledWindow, HelpOpensTheReadmeOfTheInstalledDataFolder) {
    static int argc = 1;
    static char name[] = "packaging_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);

    std::string pattern = (fs::temp_directory_path() / "torvane-install-XXXXXX").string();
    const fs::path top = mkdtemp(pattern.data());
    // Installed once, then moved from one folder name to the next.
    fs::path prefix = top / fs::u8path("デスクトップ");
    const ChildResult install =
        RunChild({TORVANE_CMAKE, "--install", TORVANE_BINARY_DIR, "--prefix", prefix.string()});
    ASSERT_EQ(install.exitCode, 0) << install.err;

    for (const char* folder : {"デスクトップ", "é한"}) {
        const fs::path moved = top / fs::u8path(folder);
        if (moved != prefix) fs::rename(prefix, moved);
        prefix = moved;
        QUrl opened;
        QString message;
        {
            app::WindowOptions options;
            options.programDir = QString::fromStdString((prefix / "bin").string());
            options.historyFile = QString::fromStdString((prefix / "log.txt").string());
            app::Tbody window(options);
            window.ShowMessageBox = [&](const app::MessageBoxRequest& request) {
                message = request.text;
                return true;
            };
            const view::DesktopOpener previous =
                view::SetDesktopOpener([&](const QUrl& url, view::OpenDone done) {
                    opened = url;
                    done(true);
                });
            window.Button1Click();
            view::SetDesktopOpener(previous);
        }
        EXPECT_EQ(opened.toLocalFile(),
                  QString::fromStdString((prefix / "share/torvane/Readme.txt").string()))
            << folder;
        EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    }

    std::error_code ignored;
    fs::remove_all(top, ignored);
}

}  // namespace
}  // namespace torvane::packaging
