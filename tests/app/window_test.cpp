// The main window offscreen: its controls, a run through the window against
// loopback servers, the commands and the error handler.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

#include "app/find_bar.h"
#include "app/hint_window.h"
#include "app/main_window.h"
#include "app/program_setup.h"
#include "app/qt_text.h"
#include "desktop_testing.h"
#include "query/well_known_servers.h"
#include "run_test_support.h"
#include "view/result/desktop_open.h"
#include "view/result/platform_opener.h"
#include "view/result/result_view.h"
#include "view/widget/text_view.h"

namespace torvane::app {
namespace {

using run::testing::Server;
using Lines = std::vector<std::string>;

QApplication& App() {
    static int argc = 1;
    static char name[] = "window_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        dir_ = std::filesystem::temp_directory_path() /
               ("torvane-window-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        window_.reset();
        if (server_) server_->Stop();
        net::ClearHostMap();
        std::filesystem::remove_all(dir_);
    }

    Tbody& Open(bool closeAfterRun = false, const std::filesystem::path& programDir = {}) {
        WindowOptions options;
        options.closeAfterRun = closeAfterRun;
        options.programDir =
            QString::fromStdString((programDir.empty() ? dir_ : programDir).string());
        options.historyFile = QString::fromStdString((dir_ / "log.txt").string());
        options.resolver = &resolver_;
        window_ = std::make_unique<Tbody>(options);
        window_->ShowMessageBox = [this](const MessageBoxRequest& box) {
            boxes_.push_back(box);
            return boxAnswer_;
        };
        window_->show();
        return *window_;
    }
    void Serve(std::vector<testserver::ServerConfig> servers) {
        server_ = std::make_unique<testserver::WhoisTestServer>(servers);
        server_->Start();
        for (const auto& config : servers)
            net::AddHostMapping({config.name, "127.0.0.1", server_->Port(config.name)});
    }
    Lines ReportLines() const {
        Lines lines;
        for (std::size_t i = 0; i < window_->DisplayMemo()->count(); ++i)
            lines.emplace_back(window_->DisplayMemo()->line(i));
        return lines;
    }
    bool RunQuery(const QString& line) {
        window_->QueryEdit()->setEditText(line);
        QTest::mouseClick(window_->QueryButton(), Qt::LeftButton);
        return QTest::qWaitFor([&] { return window_->Controller().Idle(); }, 15000);
    }

    std::filesystem::path dir_;
    run::testing::TableResolver resolver_;
    std::unique_ptr<testserver::WhoisTestServer> server_;
    std::unique_ptr<Tbody> window_;
    std::vector<MessageBoxRequest> boxes_;
    bool boxAnswer_ = true;  // what the user answers a question
};

TEST_F(WindowTest, StartsIdleWithTheDesignedControls) {
    Tbody& window = Open();
    EXPECT_EQ(window.windowTitle(), "Torvane");
    EXPECT_EQ(window.QueryButton()->text(), QString::fromUtf8("実行"));
    EXPECT_EQ(window.CancelButton()->text(), QString::fromUtf8("キャンセル"));
    EXPECT_TRUE(window.QueryButton()->isEnabled());
    EXPECT_FALSE(window.CancelButton()->isEnabled());
    EXPECT_TRUE(window.CheckBox1()->isChecked());
    EXPECT_FALSE(window.CheckBox2()->isChecked());
    EXPECT_EQ(window.CheckBox3()->text(), QString::fromUtf8("IANA・RDAPで補完"));
    EXPECT_TRUE(window.Fallback());
    window.CheckBox3()->setChecked(false);
    EXPECT_FALSE(window.Fallback());
    EXPECT_EQ(window.HostEdit()->currentText(), "whois.");
    EXPECT_GE(window.HostEdit()->findText(QString::fromStdString(std::string(query::kJpnicServer))),
              0);
    EXPECT_TRUE(window.StatusBar1()->text().isEmpty());
    EXPECT_EQ(window.DisplayMemo()->count(), 0u);
    // The labels reach their neighbours.
    EXPECT_EQ(window.Label1()->geometry().right() + 1, window.QueryEdit()->x() - 1);
    EXPECT_EQ(window.CheckBox2()->geometry().right() + 1, window.HostEdit()->x() - 1);
    // 80 report columns, inside the screen, never smaller than the controls.
    QTRY_VERIFY(window.DisplayMemo()->wrapWidth() >= 80);
    EXPECT_LE(window.width(), window.screen()->availableGeometry().width());
    EXPECT_GT(window.minimumWidth(), window.Button2()->geometry().right());
    // The new box stays in the room between HostEdit and Button1.
    EXPECT_GT(window.CheckBox3()->x(), window.HostEdit()->geometry().right());
    EXPECT_LT(window.CheckBox3()->geometry().right(), window.Button1()->x());
    // A screen reader names every control by its caption.
    const std::vector<std::pair<QWidget*, const char*>> names{
        {window.QueryButton(), "実行"},
        {window.CancelButton(), "キャンセル"},
        {window.CheckBox1(), "自動補正を実行"},
        {window.CheckBox2(), "WHOISサーバを手動で指定 >"},
        {window.CheckBox3(), "IANA・RDAPで補完"},
        {window.Button1(), "ヘルプ"},
        {window.Button2(), "ABOUT"}};
    for (const auto& [control, name] : names) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr) << name;
        EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), name);
    }
    // The query box is labelled by Label1 (a combo box's name is its text here).
    const auto labels =
        QAccessible::queryAccessibleInterface(window.QueryEdit())->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->object(), window.Label1());
    // Tab order of the design.
    const std::vector<QWidget*> order{
        window.QueryEdit(), window.QueryButton(), window.CancelButton(),
        window.CheckBox1(), window.CheckBox2(),   window.HostEdit(),
        window.CheckBox3(), window.Button1(),     window.Button2()};
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        // Skip what cannot take the focus and the combo boxes' own line edits.
        while (next != order[i + 1] &&
               (next->focusPolicy() == Qt::NoFocus || order[i]->isAncestorOf(next)))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i + 1]) << i;
    }
}

TEST_F(WindowTest, RunShowsTheReportTitleAndHistory) {
    Serve(
        {Server(std::string(query::kJprsServer), {{"example.co.jp", "Domain: example.co.jp\n"}})});
    resolver_.addresses["www.example.co.jp"] = "192.0.2.10";
    Tbody& window = Open();
    ASSERT_TRUE(RunQuery("www.example.co.jp"));
    EXPECT_EQ(ReportLines(), (Lines{"         【www.example.co.jp の調査結果】", "", "{IPアドレス}",
                                    "", "192.0.2.10", "", "{whois.jprs.jp からの回答}", "",
                                    "Domain: example.co.jp", ""}));
    EXPECT_EQ(window.windowTitle(),
              QString::fromUtf8("www.example.co.jp (192.0.2.10) の調査結果 - Torvane"));
    EXPECT_EQ(window.StatusBar1()->text(), QString::fromUtf8("完了"));
    EXPECT_TRUE(window.QueryButton()->isEnabled());
    EXPECT_FALSE(window.CancelButton()->isEnabled());
    EXPECT_FALSE(window.DisplayMemo()->isUpdating());
    ASSERT_EQ(window.QueryEdit()->count(), 1);
    EXPECT_EQ(window.QueryEdit()->itemText(0), "www.example.co.jp");
}

// With "IANA・RDAPで補完" on (as at start), the report opens with the summary;
// an expired name's mark is drawn in red on its row.
TEST_F(WindowTest, TheSummaryHeadsTheReportAndAnExpiredNameIsMarkedInRed) {
    Serve({Server(std::string(query::kJprsServer),
                  {{"google.co.jp", run::testing::ReadTestData("app/google.co.jp_utf8_2018.txt")}}),
           Server(std::string(query::kJpnicServer))});
    Tbody& window = Open();
    ASSERT_TRUE(window.Fallback());
    ASSERT_TRUE(RunQuery("www.google.co.jp"));
    const Lines lines = ReportLines();
    const auto title = std::find(lines.begin(), lines.end(), "{登録情報}");
    const auto answer = std::find(lines.begin(), lines.end(), "{whois.jprs.jp からの回答}");
    ASSERT_NE(title, lines.end());
    EXPECT_LT(title, answer);
    const std::string mark = "【期限切れ】";
    const auto marked = std::find_if(title, answer, [&](const std::string& line) {
        return line.find(mark) != std::string::npos;
    });
    ASSERT_NE(marked, answer);
    EXPECT_NE(marked->find("2019/03/31"), std::string::npos) << *marked;

    view::TTextView& memo = *window.DisplayMemo();
    const auto line = static_cast<std::size_t>(marked - lines.begin());
    memo.setTopRow(0);
    const std::size_t at = marked->find(mark);
    const QRect rect = memo.charRect({line, at}).united(memo.charRect({line, at + mark.size() - 3}));
    const QImage image = memo.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int red = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.rect().contains(x, y) && QColor(image.pixel(x, y)) == QColor(204, 0, 0)) ++red;
    EXPECT_GT(red, 0);
}

TEST_F(WindowTest, TheQueryBoxHasTheFocusAtStartAndAfterARun) {
    Serve({Server(std::string(query::kJprsServer))});
    Tbody& window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTRY_VERIFY(window.QueryEdit()->hasFocus());
    window.CheckBox1()->setFocus();
    ASSERT_TRUE(RunQuery("example.jp"));
    QTRY_VERIFY(window.QueryEdit()->hasFocus());
    EXPECT_EQ(window.QueryEdit()->lineEdit()->selectedText(), "example.jp");
    window.DisplayMemo()->setFocus();
    QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(window.QueryEdit()->hasFocus());
}

TEST_F(WindowTest, ReturnRunsTheTypedLineThoughTheHistoryExtendsIt) {
    std::ofstream(dir_ / "log.txt", std::ios::binary) << "example.co.jp\r\n";
    Tbody& window = Open();
    window.CheckBox3()->setChecked(false);  // no connection for a top-level domain without a row
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.QueryEdit()->clearEditText();
    QTest::keyClicks(window.QueryEdit()->lineEdit(), "example.co");
    EXPECT_EQ(window.QueryEdit()->currentText(), "example.co");
    // Keys go where a user's would: to the suggestions' popup while it is open.
    QWidget* keys = QApplication::activePopupWidget();
    QTest::keyClick(keys ? keys : QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Controller().Idle(); }, 15000));
    ASSERT_FALSE(ReportLines().empty());
    EXPECT_EQ(ReportLines()[0], "         【example.co の調査結果】");
}

TEST_F(WindowTest, ReturnInTheQueryBoxRunsAndEscapeCancels) {
    auto held = Server(std::string(query::kJprsServer));
    held.hold = true;
    held.silent = true;
    Serve({held});
    Tbody& window = Open();
    window.QueryEdit()->setEditText("example.jp");
    QTest::keyClick(window.QueryEdit(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.CancelButton()->isEnabled(); }, 5000));
    QTest::keyClick(window.QueryEdit(), Qt::Key_Escape);
    EXPECT_EQ(window.StatusBar1()->text(), QString::fromUtf8("中止"));
    EXPECT_TRUE(window.QueryButton()->isEnabled());
    EXPECT_EQ(window.QueryEdit()->lineEdit()->selectedText(), "example.jp");  // ready to retype
}

// Whether the screen shows anything but the report's background in cells
// [first, first + cells) of report row `row` (the view scrolled to its top).
bool InkInRow(const QImage& screen, const Tbody& window, int row, int first, int cells) {
    const view::TTextView* memo = window.DisplayMemo();
    const QPoint origin = memo->viewport()->mapTo(&window, QPoint(0, 0));
    const QRect rect(origin.x() + memo->textAreaLeft() + first * memo->cellWidth(),
                     origin.y() + view::TTextView::kTopMargin + row * memo->rowHeight(),
                     cells * memo->cellWidth(), memo->rowHeight());
    const QRgb background = memo->backgroundColor().rgb();
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (screen.pixel(x, y) != background) return true;
    return false;
}

// The old report: a long title and rows of ink wherever the new run's report
// leaves the screen blank.
TEST_F(WindowTest, ARunStartRepaintsTheClearedReportBeforeAnyServerAnswers) {
    std::string filled;
    for (int i = 0; i < 12; ++i) filled += std::string(70, 'W') + "\n";
    const std::string oldName = "an-old-report-with-a-long-name.jp";
    auto silent = Server("whois.crsnic.net");  // .net: accepts and stays silent
    silent.hold = silent.silent = true;
    auto never = Server("whois.pir.org");  // .org: never accepts
    never.never_accept = true;
    Serve({Server(std::string(query::kJprsServer), {{oldName, filled}}), silent, never});
    Tbody& window = Open();
    window.CheckBox3()->setChecked(false);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto screen = [&] { return window.screen()->grabWindow(window.winId()).toImage(); };
    const struct {
        const char* name;
        const char* status;  // once the run waits for the server
    } cases[] = {
        {"bar.net", "whois.crsnic.netに接続中．．．"},
        {"bar.org", "whois.pir.org への接続を待っています．．．"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(RunQuery(QString::fromStdString(oldName)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return InkInRow(screen(), window, 8, 0, 70); }, 5000));
        window.QueryEdit()->setEditText(c.name);
        QTest::mouseClick(window.QueryButton(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window.StatusBar1()->text() == QString::fromUtf8(c.status); }, 5000));
        // The leg's own batch has begun: what the screen shows now stays.
        const QImage shown = screen();
        // "         【bar.xxx の調査結果】": 9 blanks, then 2 + 7 + 12 + 2 cells.
        EXPECT_FALSE(InkInRow(shown, window, 0, 0, 9));
        EXPECT_TRUE(InkInRow(shown, window, 0, 9, 23));
        EXPECT_FALSE(InkInRow(shown, window, 0, 33, 40));
        for (int row = 1; row < 16; ++row) EXPECT_FALSE(InkInRow(shown, window, row, 0, 72)) << row;
        window.CancelButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.Controller().Idle(); }, 5000));
    }
}

TEST_F(WindowTest, ClosesAfterARunWhenStartedWithArguments) {
    Serve({Server(std::string(query::kJprsServer))});
    Tbody& window = Open(true);
    ASSERT_TRUE(RunQuery("example.jp"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 5000));
}

TEST_F(WindowTest, HelpWithoutReadmeNamesTheMissingFile) {
    Tbody& window = Open();
    window.Button1Click();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].icon, MessageBoxRequest::Icon::Error);
    EXPECT_EQ(boxes_[0].title, QString::fromUtf8("エラー"));
    EXPECT_EQ(boxes_[0].text, QString::fromStdString((dir_ / "Readme.txt").string()) +
                                  QString::fromUtf8(" が見つかりません"));
}

// The real xdg-open in a sandboxed desktop, reporting every outcome after the window's own
// completion has run.
class DesktopWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
            GTEST_SKIP() << "xdg-utils is not installed";
        previous_ = view::SetDesktopOpener([this](const QUrl& url, view::OpenDone done) {
            opener_->Open(url, [this, done = std::move(done)](bool opened) {
                done(opened);
                outcomes_.push_back(opened);
            });
        });
    }
    void TearDown() override {
        view::SetDesktopOpener(previous_);
        opener_.reset();
        WindowTest::TearDown();
    }
    void UseBrowser(const QString& browser) {
        opener_ = std::make_unique<view::TPlatformOpener>(desktop_.WithBrowser(browser));
        outcomes_.clear();
    }
    bool WaitForOutcome() {
        return QTest::qWaitFor([this] { return !outcomes_.empty(); }, 20000);
    }

    view::testing::DesktopSandbox desktop_;
    std::unique_ptr<view::TPlatformOpener> opener_;
    std::vector<bool> outcomes_;
    view::DesktopOpener previous_;
};

// File paths go to the desktop as they are, whatever characters the folder holds.
TEST_F(DesktopWindowTest, HelpHandsOverTheReadmePathOrShowsItInItsOwnWindow) {
    for (const char* folder : {"デスクトップ", "é한"}) {
        const std::filesystem::path program = dir_ / std::filesystem::u8path(folder);
        std::filesystem::create_directories(program);
        std::ofstream(program / "Readme.txt") << "ユーザーガイド\n";
        const QString readme = QString::fromStdString((program / "Readme.txt").string());
        Tbody& window = Open(false, program);

        UseBrowser(desktop_.Browser(0));
        window.Button1Click();
        ASSERT_TRUE(WaitForOutcome()) << folder;
        const QStringList recorded = desktop_.Recorded();
        ASSERT_FALSE(recorded.isEmpty()) << folder;
        EXPECT_EQ(recorded.last(), readme);
        EXPECT_EQ(window.ReadmeWindow(), nullptr);
        EXPECT_TRUE(window.StatusBar1()->text().isEmpty());

        UseBrowser(QStringLiteral("false"));
        window.Button1Click();
        ASSERT_TRUE(WaitForOutcome()) << folder;
        ASSERT_NE(window.ReadmeWindow(), nullptr);
        EXPECT_TRUE(window.ReadmeWindow()->isVisible());
        EXPECT_TRUE(window.ReadmeWindow()->isReadOnly());
        EXPECT_EQ(window.ReadmeWindow()->toPlainText(), QString::fromUtf8("ユーザーガイド\n"));
        EXPECT_EQ(window.StatusBar1()->text(), readme + QString::fromUtf8(" を開けませんでした"));
    }
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(DesktopWindowTest, AFailedHandOffNamesWhatCouldNotBeOpened) {
    UseBrowser(QStringLiteral("false"));
    Tbody& window = Open();
    window.DisplayMemo()->appendLine("see http://www.example.jp/ now");
    QTest::mouseMove(window.DisplayMemo()->viewport(),
                     window.DisplayMemo()->charRect({0, 8}).center());
    window.ResultView()->Open1Click();
    EXPECT_TRUE(window.StatusBar1()->text().isEmpty());
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(window.StatusBar1()->text(),
              QString::fromUtf8("http://www.example.jp/ を開けませんでした"));
}

TEST_F(DesktopWindowTest, AHandOffThatEndsAfterTheWindowClosedTellsNoOne) {
    const std::filesystem::path readme = dir_ / "Readme.txt";
    std::ofstream(readme) << "ユーザーガイド\n";
    UseBrowser(QStringLiteral("false"));
    Open().Button1Click();
    window_.reset();
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(outcomes_, std::vector<bool>{false});
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<QPlainTextEdit*>(widget), nullptr);
    EXPECT_TRUE(boxes_.empty());
}

// The typed text is looked for as UTF-8, whole characters after "ァ" (three bytes).
TEST_F(WindowTest, FindSelectsWholeCharacterMatchesBothWays) {
    Tbody& window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    view::TTextView* memo = window.DisplayMemo();
    memo->appendLine("ァx @x");
    for (int i = 0; i < 100; ++i) memo->appendLine("filler");
    memo->appendLine("@x end");
    const std::size_t last = memo->text().rfind("@x");
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    TFindBar* bar = window.FindBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(bar->TextBox()->hasFocus());
    QTest::keyClicks(bar->TextBox(), "@X");
    QTest::keyClick(bar->TextBox(), Qt::Key_Return);
    EXPECT_EQ(memo->selStart(), 5u);
    EXPECT_EQ(memo->selLength(), 2u);
    EXPECT_EQ(memo->topRow(), 0u);
    bar->NextButton()->click();
    EXPECT_EQ(memo->selStart(), last);
    EXPECT_GT(memo->topRow(), 0u);  // scrolled to the match
    EXPECT_TRUE(bar->Message()->text().isEmpty());
    bar->NextButton()->click();
    EXPECT_EQ(memo->selStart(), 5u);  // wrapped around, and says so
    EXPECT_EQ(bar->Message()->text(), QString::fromUtf8("末尾まで検索したので先頭に戻りました"));
    bar->PreviousButton()->click();
    EXPECT_EQ(memo->selStart(), last);
    EXPECT_EQ(bar->Message()->text(), QString::fromUtf8("先頭まで検索したので末尾に戻りました"));
    bar->PreviousButton()->click();
    EXPECT_EQ(memo->selStart(), 5u);
    EXPECT_TRUE(bar->Message()->text().isEmpty());
    // Scripts CP932 lacks are found whole, as typed.
    memo->appendLine("주소 Győr 한국");
    bar->TextBox()->setText(QString::fromUtf8("한국"));
    bar->NextButton()->click();
    EXPECT_EQ(memo->selectedText(), "한국");
    bar->TextBox()->setText(QString::fromUtf8("győ"));
    bar->NextButton()->click();
    EXPECT_EQ(memo->selectedText(), "Győ");
    bar->TextBox()->setText("nowhere");
    bar->NextButton()->click();
    EXPECT_EQ(bar->Message()->text(), QString::fromUtf8("見つかりません"));
    QTest::keyClick(bar->TextBox(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(window.QueryButton()->isEnabled());  // Esc went to the bar, not to a run
    // The close button does what Esc does.
    bar->Open();
    ASSERT_TRUE(bar->isVisible());
    QTest::mouseClick(bar->CloseButton(), Qt::LeftButton);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(memo->hasFocus());
}

TEST_F(WindowTest, F1ShowsHelpWhereverTheFocusIs) {
    Tbody& window = Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.FindBar()->Open();
    const std::vector<QWidget*> places{window.QueryEdit(), window.DisplayMemo(),
                                       window.FindBar()->TextBox(), window.CheckBox1()};
    for (QWidget* place : places) {
        place->setFocus();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return place->hasFocus() || place->isAncestorOf(QApplication::focusWidget()); }));
        const std::size_t before = boxes_.size();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        ASSERT_EQ(boxes_.size(), before + 1) << place->metaObject()->className();
        EXPECT_TRUE(boxes_.back().text.endsWith(QString::fromUtf8(" が見つかりません")));
    }
}

TEST_F(WindowTest, AboutShowsTheVersion) {
    Tbody& window = Open();
    window.Button2Click();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].icon, MessageBoxRequest::Icon::Information);
    EXPECT_EQ(boxes_[0].title, QString::fromUtf8("このソフトについて"));
    EXPECT_TRUE(boxes_[0].text.startsWith("Torvane version 1.0\n\n"));
}

TEST_F(WindowTest, SaveProposesTheRunsNameAndSaysWhereItWrote) {
    Tbody& window = Open();
    view::TTextView* memo = window.DisplayMemo();
    memo->appendLine("         【日本語.jp の調査結果】");
    memo->appendLine("second");
    QStringList proposals;
    QString answer = QString::fromStdString((dir_ / "report").string());
    window.AskSaveFileName = [&](const QString& proposed) {
        proposals << proposed;
        return SaveTarget{answer};
    };
    window.ResultView()->S1()->trigger();
    // The extension added, UTF-8 with CR LF.
    std::ifstream file(dir_ / "report.txt", std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(file), {});
    EXPECT_EQ(bytes, "         【日本語.jp の調査結果】\r\nsecond\r\n");
    EXPECT_EQ(window.StatusBar1()->text(), QString::fromStdString((dir_ / "report.txt").string()) +
                                               QString::fromUtf8(" に保存しました"));
    // The first proposal: the run's name in a folder that exists (the documents folder, or home).
    ASSERT_EQ(proposals.size(), 1);
    EXPECT_EQ(QFileInfo(proposals[0]).fileName(), QString::fromUtf8("日本語.jp.txt"));
    EXPECT_TRUE(QFileInfo(QFileInfo(proposals[0]).absolutePath()).isDir());
    EXPECT_NE(QFileInfo(proposals[0]).absolutePath(), QDir::currentPath());

    // The next run's name, in the folder saved to last; "/" cannot stand in a file name.
    memo->clear();
    memo->appendLine("         【192.0.2.0/24 の調査結果】");
    answer = QString::fromStdString((dir_ / "missing" / "report.txt").string());
    window.ResultView()->S1()->trigger();
    ASSERT_EQ(proposals.size(), 2);
    EXPECT_EQ(proposals[1], QString::fromStdString((dir_ / "192.0.2.0_24.txt").string()));
    // A file that cannot be written: the status says which and why.
    EXPECT_TRUE(window.StatusBar1()->text().startsWith(QString::fromUtf8("エラーファイル ")));
    EXPECT_TRUE(window.StatusBar1()->text().contains(answer));
    EXPECT_TRUE(window.StatusBar1()->text().contains("No such file or directory"));
}

// Shift_JIS on request: what it writes, and the question before it would lose characters.
TEST_F(WindowTest, SaveInShiftJisAsksBeforeLosingCharacters) {
    struct Case {
        const char* name;
        const char* line;
        bool answer;  // to the question, when there is one
        bool asked;
        const char* expected;  // the file's bytes; nullptr: no file written
    };
    const Case cases[] = {
        {"writable: no question", "【日本語.jp】", false, false,
         "\x81\x79\x93\xfa\x96\x7b\x8c\xea.jp\x81\x7a\r\n"},
        {"Hangul, answered No: nothing written", "한국.kr", false, true, nullptr},
        {"Hangul, answered Yes: written with '?'", "한국.kr", true, true, "??.kr\r\n"},
    };
    Tbody& window = Open();
    view::TTextView* memo = window.DisplayMemo();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path path = dir_ / "sjis.txt";
        std::filesystem::remove(path);
        boxes_.clear();
        boxAnswer_ = c.answer;
        memo->clear();
        memo->appendLine(c.line);
        window.AskSaveFileName = [&](const QString&) {
            return SaveTarget{QString::fromStdString(path.string()),
                              view::TTextView::FileCode::shiftJis};
        };
        window.ResultView()->S1()->trigger();
        ASSERT_EQ(boxes_.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(boxes_[0].icon, MessageBoxRequest::Icon::Question);
            EXPECT_EQ(boxes_[0].buttons, MessageBoxRequest::Buttons::YesNo);
        }
        ASSERT_EQ(std::filesystem::exists(path), c.expected != nullptr);
        if (c.expected == nullptr) continue;
        std::ifstream file(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), c.expected);
    }
}

TEST_F(WindowTest, ErrorHandlerStopsTheRunAndShowsTheMessage) {
    Serve({Server(std::string(query::kJprsServer))});
    // A folder where the history file should be: loading and saving fail.
    std::filesystem::create_directories(dir_ / "log.txt");
    Tbody& window = Open();
    EXPECT_TRUE(window.StatusBar1()->text().startsWith(QString::fromUtf8("エラー")));
    EXPECT_EQ(window.QueryEdit()->count(), 0);
    window.QueryEdit()->setEditText("example.jp");
    QTest::mouseClick(window.QueryButton(), Qt::LeftButton);
    QTRY_VERIFY(window.Controller().Idle());
    EXPECT_TRUE(window.StatusBar1()->text().startsWith(QString::fromUtf8("エラー")));
    EXPECT_TRUE(window.StatusBar1()->text().contains("log.txt"));
    EXPECT_TRUE(window.QueryButton()->isEnabled());
    EXPECT_FALSE(window.CancelButton()->isEnabled());
    EXPECT_FALSE(window.DisplayMemo()->isUpdating());
    EXPECT_TRUE(window.Controller().Idle());
}

TEST_F(WindowTest, LinkHintsAppearInTheFramedHintWindow) {
    Tbody& window = Open();
    view::TTextView* memo = window.DisplayMemo();
    memo->appendLine("see http://www.example.jp/ now");
    const QPoint onUrl = memo->charRect({0, 6}).center();
    QTest::mouseMove(memo->viewport(), onUrl);
    QHelpEvent rest(QEvent::ToolTip, onUrl, memo->viewport()->mapToGlobal(onUrl));
    QApplication::sendEvent(memo->viewport(), &rest);
    EXPECT_EQ(window.HintWindow()->Text(),
              QString::fromUtf8("ダブルクリックするとこのサイトにアクセスします"));
    // A thin flat border inside the shadow margin, the shadow outside it.
    const QImage image = window.HintWindow()->grab().toImage();
    const int edge = TXPHintWindow::kShadowMargin;
    EXPECT_EQ(image.pixelColor(edge, image.height() / 2).rgb(), QColor(118, 118, 118).rgb());
    EXPECT_GT(image.pixelColor(image.width() - edge / 2, image.height() / 2).alpha(), 0);

    const QPoint onText = memo->charRect({0, 1}).center();
    QTest::mouseMove(memo->viewport(), onText);
    QHelpEvent away(QEvent::ToolTip, onText, memo->viewport()->mapToGlobal(onText));
    QApplication::sendEvent(memo->viewport(), &away);
    EXPECT_TRUE(window.HintWindow()->Text().isEmpty());
}

}  // namespace
}  // namespace torvane::app

namespace torvane::app {
namespace {

TEST_F(WindowTest, SelectingInTheReportSetsThePrimarySelection) {
    Tbody& window = Open();
    view::TTextView* memo = window.DisplayMemo();
    QSignalSpy published(memo, &view::TTextView::selectionPublished);
    memo->appendLine("whois.example.jp registry");
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    QTest::mousePress(memo->viewport(), Qt::LeftButton, {}, memo->charRect({0, 0}).topLeft());
    QTest::mouseMove(memo->viewport(), memo->charRect({0, 5}).topLeft());
    QTest::mouseRelease(memo->viewport(), Qt::LeftButton, {}, memo->charRect({0, 5}).topLeft());
    EXPECT_EQ(published.count(), 1);
    // Offscreen Qt has no primary selection; on X11 (xvfb-run) this checks it too.
    if (QGuiApplication::clipboard()->supportsSelection()) {
        EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Selection), "whois");
    }
    EXPECT_TRUE(QGuiApplication::clipboard()->text(QClipboard::Clipboard).isEmpty());
    QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Clipboard), "whois");
}

TEST_F(WindowTest, TheIconNeedsNoSvgPluginAndQtsDialogsSpeakJapanese) {
    EXPECT_EQ(ProgramIcon().pixmap(48).size(), QSize(48, 48));
    ASSERT_TRUE(LoadQtJapanese(App()));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"),
              QString::fromUtf8("名前を付けて保存"));
}

TEST_F(WindowTest, WithoutTranslucencyTheHintHasTheBorderOnly) {
    Open();
    TXPHintWindow hint(nullptr, false);
    hint.ShowHint(QPoint(10, 10), "hint");
    EXPECT_FALSE(hint.HasShadow());
    const QImage image = hint.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, image.height() / 2).rgb(), QColor(118, 118, 118).rgb());
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() / 2).rgb(),
              QColor(118, 118, 118).rgb());
}

}  // namespace
}  // namespace torvane::app
