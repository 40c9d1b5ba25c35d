// A follow-up block inserted before many later lines, as an address run does
// with a follow-up's answer: one step, linear in the lines moved. Quadratic
// shifting would keep these sizes busy for minutes, far past the test's wait.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "app/main_window.h"
#include "app/run/text_report.h"
#include "run_test_support.h"
#include "view/widget/text_view.h"

namespace torvane::app {
namespace {

constexpr int kLater = 800000;
constexpr int kBlock = 200000;

query::TLines Numbered(const std::string& prefix, int count) {
    query::TLines lines;
    for (int i = 0; i < count; ++i) lines.push_back(prefix + std::to_string(i));
    return lines;
}

// The report as the insert leaves it: the primary line, the block, then the
// later lines, each in its order.
void ExpectBlockBeforeLater(run::IReport& report,
                            const std::function<std::string_view(int)>& lineAt) {
    ASSERT_EQ(report.Count(), 1 + kBlock + kLater);
    EXPECT_EQ(lineAt(0), "primary");
    EXPECT_EQ(lineAt(1), "follow-up 0");
    EXPECT_EQ(lineAt(kBlock), "follow-up " + std::to_string(kBlock - 1));
    EXPECT_EQ(lineAt(kBlock + 1), "later 0");
    EXPECT_EQ(lineAt(kBlock + kLater), "later " + std::to_string(kLater - 1));
}

void InsertBlockBeforeLaterLines(run::IReport& report) {
    report.Append("primary");
    report.AppendLines(Numbered("later ", kLater));
    report.InsertLines(1, Numbered("follow-up ", kBlock));
}

TEST(BlockInsert, TextReportTakesAFollowUpBlockBeforeManyLaterLinesInOneStep) {
    run::TTextReport report;
    InsertBlockBeforeLaterLines(report);
    ExpectBlockBeforeLater(report, [&](int i) { return report.Lines()[i]; });
}

TEST(BlockInsert, WindowReportTakesAFollowUpBlockBeforeManyLaterLinesInOneStep) {
    static int argc = 1;
    static char name[] = "block_insert_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    const QTemporaryDir dir;
    run::testing::TableResolver resolver;
    WindowOptions options;
    options.programDir = dir.path();
    options.historyFile = dir.filePath(QStringLiteral("log.txt"));
    options.resolver = &resolver;
    Tbody window(options);
    InsertBlockBeforeLaterLines(window.Report());
    const view::TTextView& memo = *window.DisplayMemo();
    ExpectBlockBeforeLater(window.Report(), [&](int i) { return memo.line(i); });
}

}  // namespace
}  // namespace torvane::app
