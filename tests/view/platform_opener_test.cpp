// The platform opener with the real xdg-open in a sandboxed desktop: the outcome it reports is
// the one xdg-open learned, and a hand-off still running when the opener goes ends quietly.
#include "view/result/platform_opener.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <memory>
#include <optional>
#include <vector>

#include "desktop_testing.h"
#include "textview_testing.h"

namespace torvane::view {
namespace {

using testing::DesktopSandbox;

class PlatformOpenerTest : public testing::WidgetTest {
  protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
            GTEST_SKIP() << "xdg-utils is not installed";
    }
    // Opens `url` in `environment` and returns every outcome heard until the first one.
    std::vector<bool> OpenIn(const QProcessEnvironment& environment, const QUrl& url) {
        TPlatformOpener opener(environment);
        std::vector<bool> heard;
        opener.Open(url, [&](bool opened) { heard.push_back(opened); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return !heard.empty(); }, 20000))
            << url.toString().toStdString();
        return heard;
    }

    DesktopSandbox desktop;
};

TEST_F(PlatformOpenerTest, TheOutcomeIsWhatXdgOpenLearnedFromTheBrowser) {
    const struct {
        const char* name;
        QString browser;
        bool opened;
    } cases[] = {
        {"no browser works", QStringLiteral("false"), false},
        {"the browser fails", desktop.Browser(1), false},
        {"the browser takes it", desktop.Browser(0), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenIn(desktop.WithBrowser(c.browser), QUrl("http://www.example.jp/a b")),
                  std::vector<bool>{c.opened})
            << c.name;
    }
    // Browsers hear the URL encoded (xdg-open may try a failing one more than once).
    QStringList recorded = desktop.Recorded();
    EXPECT_GE(recorded.size(), 2);
    recorded.removeDuplicates();
    EXPECT_EQ(recorded, QStringList{QStringLiteral("http://www.example.jp/a%20b")});
}

TEST_F(PlatformOpenerTest, ALocalFileGoesAsItsPath) {
    QTemporaryDir top;
    ASSERT_TRUE(QDir(top.path()).mkdir(QStringLiteral("デスクトップ é한")));
    const QString path = top.filePath(QStringLiteral("デスクトップ é한/Readme.txt"));
    QFile(path).open(QIODevice::WriteOnly);
    EXPECT_EQ(OpenIn(desktop.WithBrowser(desktop.Browser(0)), QUrl::fromLocalFile(path)),
              std::vector<bool>{true});
    EXPECT_EQ(desktop.Recorded(), QStringList{path});
}

TEST_F(PlatformOpenerTest, AnXdgOpenThatCannotStartOrCrashesOpenedNothing) {
    const struct {
        const char* name;
        QString script;
    } cases[] = {
        {"missing interpreter", QStringLiteral("#!/nonexistent/sh\n")},
        {"crash", QStringLiteral("#!/bin/sh\nkill -SEGV $$\n")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpenIn(desktop.WithXdgOpen(c.script), QUrl("mailto:who@example.jp")),
                  std::vector<bool>{false})
            << c.name;
}

// Without a desktop environment xdg-open stays as long as the browser.
TEST_F(PlatformOpenerTest, AHandOffStillRunningWhenTheOpenerGoesIsDroppedAndTheBrowserStays) {
    auto opener = std::make_unique<TPlatformOpener>(desktop.WithBrowser(desktop.Browser(0, true)));
    bool heard = false;
    opener->Open(QUrl("http://example.jp/"), [&](bool) { heard = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.Recorded().size() == 1; }, 20000));
    EXPECT_FALSE(heard);

    opener.reset();
    desktop.Release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.BrowserEnded(); }, 20000));
    EXPECT_FALSE(heard);
}

}  // namespace
}  // namespace torvane::view
