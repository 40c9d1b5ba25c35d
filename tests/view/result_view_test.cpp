// The result view's handlers, driven through a host widget as the window will host them.
#include "view/result/result_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <vector>

#include "textview_testing.h"
#include "view/result/desktop_open.h"
#include "view/result/sample_report.h"

namespace torvane::view {
namespace {

using testing::CenterOf;
using testing::CountColor;
using testing::Render;
using testing::U8;

const QColor kNavy(0, 0, 128);

// A window stand-in: the view fills it, as DisplayMemo fills the lower part of the main window.
class ResultViewTest : public testing::WidgetTest {
  protected:
    ResultViewTest() {
        memo = new TTextView;
        auto* layout = new QVBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(memo);
        view = std::make_unique<TResultView>(memo);
        previousOpener = SetDesktopOpener([this](const QUrl& url, OpenDone done) {
            opened.push_back(url.toString().toStdString());
            done(true);
        });
        host.resize(800, 500);
        host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    ~ResultViewTest() override { SetDesktopOpener(previousOpener); }

    void Hover(std::size_t line, std::size_t offset) {
        QTest::mouseMove(memo->viewport(), CenterOf(*memo, line, offset));
    }
    // A right-button press as the user makes it; the pop-up menu it opens is closed again.
    void RightPress(QPoint at) {
        QTest::mousePress(memo->viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(memo->viewport(), Qt::RightButton, {}, at);
        view->PopupMenu1()->hide();
    }
    void OpenMenu() {
        view->PopupMenu1()->popup(memo->mapToGlobal(QPoint(20, 20)));
        view->PopupMenu1()->hide();
    }

    QWidget host;
    TTextView* memo;
    std::unique_ptr<TResultView> view;
    std::vector<std::string> opened;
    DesktopOpener previousOpener;
};

TEST_F(ResultViewTest, PointerOverLinksShowsTheHandAndTheHint) {
    memo->appendLines(std::vector<std::string>{"Registrar URL: http://www.markmonitor.com",
                                               "Admin Email: dns-admin@google.com", "plain text"});
    const struct {
        const char* name;
        std::size_t line, offset;
        Qt::CursorShape shape;
        const char* hint;
        std::string url, mail;
    } cases[] = {
        {"url", 0, 20, Qt::PointingHandCursor, kUrlHint, "http://www.markmonitor.com", ""},
        {"mail", 1, 15, Qt::PointingHandCursor, kMailHint, "", "dns-admin@google.com"},
        {"plain", 2, 1, Qt::IBeamCursor, "", "", ""},
        {"between tokens", 0, 14, Qt::IBeamCursor, "", "", ""},
    };
    for (const auto& c : cases) {
        Hover(c.line, c.offset);
        EXPECT_EQ(memo->pointerShape(), c.shape) << c.name;
        EXPECT_EQ(memo->hint(), QString::fromUtf8(c.hint)) << c.name;
        EXPECT_EQ(view->HoveredUrl(), c.url) << c.name;
        EXPECT_EQ(view->HoveredMail(), c.mail) << c.name;
    }
}

TEST_F(ResultViewTest, TheHintIsShownByTheReplaceableHintWindow) {
    memo->appendLine("see http://example.jp/");
    QString shown = QStringLiteral("(none)");
    memo->setHintShower([&](const QPoint&, const QString& text, QWidget*) { shown = text; });
    Hover(0, 8);
    QHelpEvent rest(QEvent::ToolTip, CenterOf(*memo, 0, 8),
                    memo->viewport()->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(memo->viewport(), &rest);
    EXPECT_EQ(shown, QString::fromUtf8(kUrlHint));

    Hover(0, 1);  // off the link: the hint goes away
    EXPECT_EQ(shown, QString());
}

TEST_F(ResultViewTest, AShownHintFollowsThePointerOntoAnotherKindOfLink) {
    memo->appendLine("http://example.jp/ who@example.jp");
    QString shown;
    memo->setHintShower([&](const QPoint&, const QString& text, QWidget*) { shown = text; });
    Hover(0, 3);
    QHelpEvent rest(QEvent::ToolTip, CenterOf(*memo, 0, 3),
                    memo->viewport()->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(memo->viewport(), &rest);
    Hover(0, 22);
    EXPECT_EQ(shown, QString::fromUtf8(kMailHint));
}

TEST_F(ResultViewTest, FailuresInHandlersReachTheErrorHandler) {
    memo->appendLine("http://example.jp/");
    std::vector<std::string> errors;
    view->setErrorHandler([&](const std::exception& e) { errors.push_back(e.what()); });
    SetDesktopOpener([](const QUrl&, OpenDone) { throw std::runtime_error("cannot open"); });
    Hover(0, 3);
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, CenterOf(*memo, 0, 3));
    view->Open1()->trigger();
    EXPECT_EQ(errors, (std::vector<std::string>{"cannot open", "cannot open"}));
}

TEST_F(ResultViewTest, UrlsInBracketsQuotesAndCommentsAreNoLinks) {
    memo->appendLines(std::vector<std::string>{
        "{http://a.example/}", U8(u8"【http://b.example/】"), "\"http://c.example/\"",
        "<! http://d.example/", "{ open", "http://e.example/ inside", "} http://f.example/"});
    const struct {
        std::size_t line, offset;
        bool link;
    } cases[] = {{0, 3, false}, {1, 4, false}, {2, 3, false},
                 {3, 5, false}, {5, 3, false}, {6, 4, true}};
    for (const auto& c : cases) {
        Hover(c.line, c.offset);
        EXPECT_EQ(memo->pointerShape() == Qt::PointingHandCursor, c.link) << "line " << c.line;
        EXPECT_EQ(!view->HoveredUrl().empty(), c.link) << "line " << c.line;
        QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, CenterOf(*memo, c.line, c.offset));
    }
    EXPECT_EQ(opened, std::vector<std::string>{"http://f.example/"});
}

TEST_F(ResultViewTest, AWrappedUrlIsOneLinkFromEitherRowAndUrl1CopiesAllOfIt) {
    const std::string url = "http://www.example.co.jp/a/rather/long/path/to/some/page.html";
    memo->appendLine("see " + url);
    memo->setWrapWidth(30);
    const QRect first = memo->charRect({0, 4});
    const QRect last = memo->charRect({0, 4 + url.size() - 1});
    ASSERT_NE(first.top(), last.top()) << "the url must wrap";

    for (const QRect& cell : {first, last}) {
        QTest::mouseMove(memo->viewport(), cell.center());
        EXPECT_EQ(view->HoveredUrl(), url);
    }
    RightPress(last.center());
    view->URL1()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(url));
}

TEST_F(ResultViewTest, DoubleClickHandsLinksToTheDesktop) {
    memo->appendLines(std::vector<std::string>{"mail: hostmaster@nic.ad.jp", "www.example.jp",
                                               "https://example.jp/x"});
    const struct {
        std::size_t line, offset;
        std::string expected;
    } cases[] = {
        {0, 10, "mailto:hostmaster@nic.ad.jp"},
        {1, 5, "http://www.example.jp"},  // as the desktop would resolve it
        {2, 3, "https://example.jp/x"},
    };
    for (const auto& c : cases) {
        opened.clear();
        Hover(c.line, c.offset);
        QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, CenterOf(*memo, c.line, c.offset));
        EXPECT_EQ(opened, std::vector<std::string>{c.expected});
    }
    EXPECT_EQ(DesktopUrlFor("www.example.jp").toString(), QStringLiteral("http://www.example.jp"));
    EXPECT_EQ(DesktopUrlFor("mailto:a@b.jp").toString(), QStringLiteral("mailto:a@b.jp"));
}

TEST_F(ResultViewTest, Open1OpensTheHoveredLinkOrNothing) {
    memo->appendLines(std::vector<std::string>{"http://example.jp/", "nothing here"});
    view->Open1()->trigger();
    EXPECT_TRUE(opened.empty());
    Hover(0, 3);
    view->Open1()->trigger();
    EXPECT_EQ(opened, std::vector<std::string>{"http://example.jp/"});
}

TEST_F(ResultViewTest, MenuItemsFollowTheLastPress) {
    memo->appendLines(std::vector<std::string>{"http://example.jp/", "who@example.jp", "plain"});
    QMenu* menu = view->PopupMenu1();
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 10);
    EXPECT_EQ(items[0], view->Open1());
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(menu->defaultAction(), view->Open1());
    const struct {
        QAction* item;
        const char* caption;
        QKeySequence shortcut;
    } design[] = {
        {view->Open1(), "開く(&O)", {}},
        {view->Copy1(), "コピー(&C)", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {view->URL1(), "このURLをコピー(&U)", {}},
        {view->SelectAll1(), "すべて選択(&A)", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {view->S1(), "ファイルに保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {view->Help1(), "ヘルプ(&H)", QKeySequence(Qt::Key_F1)},
    };
    for (const auto& d : design) {
        EXPECT_EQ(d.item->text(), QString::fromUtf8(d.caption));
        EXPECT_EQ(d.item->shortcut(), d.shortcut) << d.caption;
    }

    // Before any press: the design state.
    EXPECT_TRUE(view->Open1()->isVisible());
    EXPECT_TRUE(view->N2()->isVisible());
    EXPECT_FALSE(view->URL1()->isEnabled());

    Hover(1, 2);
    RightPress(CenterOf(*memo, 1, 2));
    EXPECT_TRUE(view->Open1()->isVisible());
    EXPECT_TRUE(view->N2()->isVisible());
    EXPECT_TRUE(view->URL1()->isEnabled());
    EXPECT_EQ(view->URL1()->text(), QString::fromUtf8(kCopyMailCaption));

    Hover(0, 2);
    RightPress(CenterOf(*memo, 0, 2));
    EXPECT_EQ(view->URL1()->text(), QString::fromUtf8(kCopyUrlCaption));

    Hover(1, 2);
    RightPress(CenterOf(*memo, 1, 2));
    Hover(2, 2);
    RightPress(CenterOf(*memo, 2, 2));  // away from a link: disabled, caption kept
    EXPECT_FALSE(view->Open1()->isVisible());
    EXPECT_FALSE(view->N2()->isVisible());
    EXPECT_FALSE(view->URL1()->isEnabled());
    EXPECT_EQ(view->URL1()->text(), QString::fromUtf8(kCopyMailCaption));
}

TEST_F(ResultViewTest, OpeningTheMenuEnablesCopySaveAndSelectAllByContent) {
    OpenMenu();  // empty report
    EXPECT_FALSE(view->Copy1()->isEnabled());
    EXPECT_FALSE(view->S1()->isEnabled());
    EXPECT_FALSE(view->SelectAll1()->isEnabled());

    memo->appendLine("some text");
    OpenMenu();  // text, nothing selected
    EXPECT_FALSE(view->Copy1()->isEnabled());
    EXPECT_TRUE(view->S1()->isEnabled());
    EXPECT_TRUE(view->SelectAll1()->isEnabled());

    view->SelectAll1()->trigger();
    EXPECT_EQ(memo->selLength(), memo->text().size());
    OpenMenu();
    EXPECT_TRUE(view->Copy1()->isEnabled());
    view->Copy1()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("some text"));
}

TEST_F(ResultViewTest, S1IsTheWindowsToConnect) {
    memo->appendLine("x");
    QSignalSpy saved(view->S1(), &QAction::triggered);
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saved.count(), 1);
}

TEST_F(ResultViewTest, WrapWidthFollowsTheViewsWidthWithinItsLimits) {
    host.resize(120, 300);
    QTRY_COMPARE(memo->wrapWidth(), 20);
    host.resize(5000, 300);
    QTRY_COMPARE(memo->wrapWidth(), 250);
    host.resize(640, 300);
    QTRY_COMPARE(memo->width(), 640);
    const int w = memo->cellWidth();
    const int used = memo->textAreaLeft() + w / 2 + memo->verticalScrollBarWidth();
    // The widest whole number of cells that fits in what is left.
    EXPECT_LE(used + memo->wrapWidth() * w, 640);
    EXPECT_GT(used + (memo->wrapWidth() + 1) * w, 640);
}

TEST_F(ResultViewTest, ResizeKeepsTheSelection) {
    memo->appendLines(std::vector<std::string>(50, std::string(120, 'x') + " y"));
    memo->setSelStart(300);
    memo->setSelLength(20);
    host.resize(400, 300);
    QTRY_COMPARE(memo->width(), 400);
    EXPECT_EQ(memo->selStart(), 300u);
    EXPECT_EQ(memo->selLength(), 20u);
}

TEST_F(ResultViewTest, EachWheelNotificationScrollsOneRow) {
    memo->appendLines(std::vector<std::string>(300, "row"));
    memo->setTopRow(10);
    const QPoint at = CenterOf(*memo, 10, 0);
    for (const auto& [delta, expected] : std::vector<std::pair<int, std::size_t>>{
             {120, 9}, {720, 8}, {-120, 9}, {-2400, 10}, {1, 9}, {0, 9}}) {
        QWheelEvent wheel(at, memo->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(memo->viewport(), &wheel);
        EXPECT_TRUE(wheel.isAccepted());
        EXPECT_EQ(memo->topRow(), expected) << delta;
    }
}

TEST_F(ResultViewTest, SelectionHighlightStopsOneCellPastEachRow) {
    memo->appendLines(std::vector<std::string>{"short", U8(u8"漢字の行"), "", "last line"});
    view->SelectAll1Click();
    const QImage image = Render(*memo);
    const int w = memo->cellWidth();
    for (std::size_t line = 0; line < 3; ++line) {
        const std::size_t cells = memo->layout().rowsOf(line)[0].cells;
        const QRect oneCellPast = memo->charRect({line, memo->line(line).size()});
        ASSERT_EQ(oneCellPast.left(), memo->textAreaLeft() + static_cast<int>(cells) * w);
        const QRect beyond = oneCellPast.translated(w, 0);
        EXPECT_EQ(CountColor(image, oneCellPast, kNavy), oneCellPast.width() * oneCellPast.height())
            << "line " << line;
        EXPECT_EQ(CountColor(image, beyond.adjusted(0, 0, 4 * w, 0), kNavy), 0) << "line " << line;
    }
}

TEST_F(ResultViewTest, HeadersAreDrawnBolderThanAnswerText) {
    // Both are black; the header's letters carry more ink than the same
    // letters on a plain line.
    memo->appendLines(std::vector<std::string>{"{whois.jprs.jp}", " whois.jprs.jp "});
    const QImage image = Render(*memo).convertToFormat(QImage::Format_RGB32);
    auto ink = [&](std::size_t line) {
        return CountColor(image, memo->charRect({line, 1}).united(memo->charRect({line, 13})),
                          QColor(Qt::black));
    };
    EXPECT_GT(ink(1), 0);
    EXPECT_GT(ink(0), ink(1) * 11 / 10);
}

TEST_F(ResultViewTest, SampleReportRendersToAPngWithItsColours) {
    host.resize(900, 1000);
    QTRY_COMPARE(memo->height(), 1000);
    memo->appendLines(SampleReport(TORVANE_TEST_DATA "/view/answers"));
    memo->caretToStart();
    QTemporaryDir dir;
    const QString file = dir.filePath("report.png");
    ASSERT_TRUE(memo->grab().save(file, "PNG"));
    QImage png(file);
    ASSERT_FALSE(png.isNull());
    png = png.convertToFormat(QImage::Format_RGB32);
    // The viewport sits inside the frame; cell rectangles are in viewport coordinates.
    const QPoint offset = memo->viewport()->mapTo(memo, QPoint(0, 0));
    auto span = [&](std::size_t line, const std::string& text) {
        const std::size_t at = memo->line(line).find(text);
        EXPECT_NE(at, std::string::npos) << text;
        return memo->charRect({line, at})
            .united(memo->charRect({line, at + text.size() - 1}))
            .translated(offset);
    };
    std::size_t urlLine = 0;
    while (memo->line(urlLine).find("http://jprs.jp/") == std::string::npos) ++urlLine;
    const QRect title = span(0, U8(u8"【google.co.jp の調査結果】"));
    const QRect header = span(10, U8(u8"{whois.jprs.jp からの回答}"));
    const QRect url = span(urlLine, "http://jprs.jp/whatsnew/notice/2014/20140319-whois.html");

    EXPECT_GT(CountColor(png, title, kNavy), 50);
    EXPECT_EQ(CountColor(png, title, QColor(0, 0, 255)), 0);
    EXPECT_GT(CountColor(png, header, QColor(Qt::black)), 50);
    EXPECT_EQ(CountColor(png, header, kNavy), 0);
    EXPECT_GT(CountColor(png, url, QColor(0, 0, 255)), url.width());
    EXPECT_EQ(CountColor(png, url, QColor(Qt::black)), 0);
}

}  // namespace
}  // namespace torvane::view
