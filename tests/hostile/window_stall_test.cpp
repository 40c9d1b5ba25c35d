// Hostile answers through the real main window (offscreen), its text view
// included: the run ends, the view holds what arrived up to the size cap,
// the history file is whole, and the longest event-loop stall is printed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "query/text_lines.h"
#include "encoding/answer_text.h"
#include "encoding/cp932_utf8.h"
#include "hostile_support.h"
#include "net/host_map.h"
#include "net/whois_cli.h"
#include "query/well_known_servers.h"
#include "view/widget/text_view.h"

namespace torvane::app {
namespace {

using run::testing::HistoryHolds;
using run::testing::LoopMeter;
using run::testing::RecordStall;

QApplication& App() {
    static int argc = 1;
    static char name[] = "hostile_window_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

struct Case {
    std::string name;
    std::string answer;
    std::uint64_t repeatToSize = 0;
    std::chrono::milliseconds drip{0};
};

class HostileWindow : public ::testing::TestWithParam<Case> {};

TEST_P(HostileWindow, RunEndsShowingTheAnswerUpToTheCap) {
    const Case& c = GetParam();
    App();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("torvane-hostile-window-" + c.name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);

    testserver::ServerConfig config;
    config.name = std::string(query::kJprsServer);
    config.default_answer = c.answer;
    config.repeat_to_size = c.repeatToSize;
    config.drip = c.drip;
    testserver::WhoisTestServer server({config});
    server.Start();
    net::ClearHostMap();
    net::AddHostMapping({config.name, "127.0.0.1", server.Port(config.name)});

    run::testing::TableResolver resolver;
    WindowOptions options;
    options.programDir = QString::fromStdString(dir.string());
    options.historyFile = QString::fromStdString((dir / "log.txt").string());
    options.resolver = &resolver;
    auto window = std::make_unique<Tbody>(options);
    window->ShowMessageBox = [](const MessageBoxRequest&) { return true; };
    window->show();

    window->QueryEdit()->setEditText("example.jp");
    QTest::mouseClick(window->QueryButton(), Qt::LeftButton);
    LoopMeter meter;
    ASSERT_TRUE(meter.RunUntil([&] { return window->Controller().Idle(); }, 120000));
    // Painting what arrived is part of staying responsive.
    window->DisplayMemo()->repaint();
    meter.RunUntil([] { return false; }, 50);
    RecordStall("window, " + c.name, meter.LongestStallMs());

    std::string received = c.answer;
    if (c.repeatToSize > 0) {
        while (received.size() < std::min<std::uint64_t>(c.repeatToSize, net::kMaxAnswerSize))
            received += c.answer;
        received.resize(std::min<std::uint64_t>(c.repeatToSize, net::kMaxAnswerSize));
    }
    // The run logic's CP932 lines, as the view holds them: UTF-8.
    std::vector<std::string> expected = query::SplitLines(encoding::ConvertAnswerText(received));
    for (std::string& line : expected) line = encoding::Cp932ToUtf8(line);
    // The title, an empty line, the header, an empty line, the answer, an
    // empty line.
    ASSERT_EQ(window->DisplayMemo()->count(), expected.size() + 5);
    for (std::size_t i = 0; i < expected.size(); i += 1 + expected.size() / 100)
        ASSERT_EQ(window->DisplayMemo()->line(i + 4), expected[i]) << "line " << i;
    EXPECT_EQ(window->DisplayMemo()->line(expected.size() + 3), expected.back());
    EXPECT_TRUE(HistoryHolds(dir / "log.txt", {"example.jp"}));

    window.reset();
    server.Stop();
    net::ClearHostMap();
    std::filesystem::remove_all(dir);
}

std::string Kanji(std::size_t size) {
    std::string text;
    while (text.size() < size) text += "\x93\xfa\x96\x7b";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HostileWindow,
    ::testing::Values(Case{"100MiB",
                           "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n",
                           100ull * 1024 * 1024},
                      Case{"1MiBLine", std::string(1 << 20, 'x')},
                      Case{"1MiBKanjiLine", Kanji(1 << 20)},
                      Case{"ZeroBytes", std::string(65536, '\0') + "after zeros\r\n"},
                      Case{"Drip", "drip\r\nend\r\n", 0, std::chrono::milliseconds(50)}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
}  // namespace torvane::app
