// TTextView on its own: the report operations, hit tests, caret and selection, keyboard,
// drawing on the cell grid.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest/QTest>
#include <fstream>
#include <iterator>

#include "textview_testing.h"

namespace torvane::view {
namespace {

using testing::CenterOf;
using testing::CountColor;
using testing::CountDark;
using testing::Render;
using testing::U8;

class TextViewTest : public testing::WidgetTest {
  protected:
    TextViewTest() {
        view.resize(700, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    TTextView view;
};

// --- Report operations ---

TEST_F(TextViewTest, ReportOperationsKeepTheLines) {
    view.appendLine("first");
    view.appendLines(std::vector<std::string>{"second", "third"});
    view.insertLine(1, "inserted");
    view.insertLine(4, "appended by insert");
    EXPECT_EQ(view.count(), 5u);
    EXPECT_EQ(view.text(), "first\r\ninserted\r\nsecond\r\nthird\r\nappended by insert");
    EXPECT_THROW(view.insertLine(6, "x"), std::out_of_range);

    view.clear();
    EXPECT_EQ(view.count(), 0u);
    EXPECT_EQ(view.text(), "");
}

TEST_F(TextViewTest, RemovingLinesKeepsTheCaretOnItsCharacters) {
    const std::vector<std::string> lines{"a", "bb", "ccc", "dddd"};
    const struct {
        std::size_t index, count, caretBefore, caretAfter;
        const char* text;
    } cases[] = {
        {1, 2, 14, 5, "a\r\ndddd"},     // after the block: moves back with its line
        {1, 2, 9, 3, "a\r\ndddd"},      // inside the block: where the block was
        {2, 2, 1, 1, "a\r\nbb"},        // before the block: stays
        {0, 4, 14, 0, ""},                // everything
        {3, 0, 14, 14, "a\r\nbb\r\nccc\r\ndddd"},
    };
    for (const auto& c : cases) {
        view.clear();
        view.appendLines(lines);
        view.setSelStart(c.caretBefore);
        view.removeLines(c.index, c.count);
        EXPECT_EQ(view.text(), c.text) << c.index << "+" << c.count;
        EXPECT_EQ(view.selStart(), c.caretAfter) << c.index << "+" << c.count;
    }
    EXPECT_THROW(view.removeLines(3, 2), std::out_of_range);
}

TEST_F(TextViewTest, BatchUpdateIsNotCountedAndHoldsBackPainting) {
    QSignalSpy drawn(&view, &TTextView::rowDrawn);
    view.beginUpdate();
    view.beginUpdate();
    view.appendLine("during the batch");
    view.viewport()->repaint();
    EXPECT_EQ(drawn.count(), 0);
    EXPECT_TRUE(view.isUpdating());

    view.endUpdate();  // one end resumes after two begins
    EXPECT_FALSE(view.isUpdating());
    QTRY_VERIFY(drawn.count() > 0);

    view.endUpdate();  // an end without a begin does nothing
    EXPECT_FALSE(view.isUpdating());
}

TEST_F(TextViewTest, AppendingToALargeReportLaysOutOnlyTheNewLine) {
    std::vector<std::string> lines(100000, U8(u8"[ドメイン名]  EXAMPLE.JP http://example.jp/"));
    view.appendLines(lines);
    auto& layout = const_cast<TTextLayout&>(view.layout());
    layout.resetWorkCounters();
    view.appendLine("tail");
    EXPECT_EQ(layout.linesBroken(), 1u);
    EXPECT_EQ(layout.linesScanned(), 1u);
}

TEST_F(TextViewTest, SaveWritesEveryLineWithCrLf) {
    view.appendLines(std::vector<std::string>{U8(u8"日本語"), "", std::string("a\0b", 3)});
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath("report.txt").toStdString();
    view.saveToFile(file);
    std::ifstream in(file, std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(saved, U8(u8"日本語") + "\r\n\r\n" + std::string("a\0b", 3) + "\r\n");

    EXPECT_THROW(view.saveToFile(dir.filePath("missing/dir/report.txt").toStdString()),
                 std::runtime_error);
}

TEST_F(TextViewTest, CaretToStartScrollsToTheTopAndDropsTheSelection) {
    view.appendLines(std::vector<std::string>(200, "row"));
    view.selectAll();
    view.setTopRow(150);
    view.caretToStart();
    EXPECT_EQ(view.selStart(), 0u);
    EXPECT_EQ(view.selLength(), 0u);
    EXPECT_EQ(view.topRow(), 0u);
}

// --- Hit tests ---

TEST_F(TextViewTest, TokenAtAPointFollowsTheRowsAndCells) {
    view.appendLines(std::vector<std::string>{U8(u8"漢字 word http://example.jp"), "next"});
    const int left = view.textAreaLeft();
    const int w = view.cellWidth();
    // Bytes: 漢 0-2, 字 3-5, a space, "word" 7-10, a space, the url 12-28.
    const QPoint onWord = CenterOf(view, 0, 8);
    const QRect lastCell = view.charRect({0, 28});

    struct Case {
        const char* name;
        QPoint point;
        std::optional<TokenClass> expected;
    };
    const Case cases[] = {
        {"word", onWord, TokenClass::word},
        {"second cell of a double-width character", QPoint(left + w + w / 2, onWord.y()),
         TokenClass::japaneseText},
        {"url's last character", lastCell.center(), TokenClass::url},
        {"space between tokens", CenterOf(view, 0, 6), std::nullopt},
        {"right of the url that ends the row", QPoint(lastCell.right() + w, onWord.y()),
         std::nullopt},
        {"left margin and gutter", QPoint(left - 1, onWord.y()), std::nullopt},
        {"above the first row", QPoint(left + w, TTextView::kTopMargin - 1), std::nullopt},
        {"below the last row", QPoint(left + w, onWord.y() + 3 * view.rowHeight()), std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<TokenText> token = view.tokenAt(c.point);
        ASSERT_EQ(token.has_value(), c.expected.has_value()) << c.name;
        if (token) {
            EXPECT_EQ(token->cls, *c.expected) << c.name;
        }
    }
    EXPECT_EQ(view.tokenAt(lastCell.center())->text, "http://example.jp");
}

TEST_F(TextViewTest, InsertingAnOpenerCarriesTheRegionIntoTheLinesBelow) {
    view.appendLines(std::vector<std::string>{"http://a.example/", "} http://b.example/"});
    const auto classAt = [&](std::size_t line, std::size_t offset) {
        return view.tokenAt(CenterOf(view, line, offset))->cls;
    };
    EXPECT_EQ(classAt(0, 2), TokenClass::url);
    view.selectAll();
    const std::string selected = view.selectedText();

    view.insertLine(0, "{ no closer");
    EXPECT_EQ(classAt(1, 2), TokenClass::bracketRegion);
    EXPECT_EQ(classAt(2, 0), TokenClass::bracketRegion);
    EXPECT_EQ(classAt(2, 4), TokenClass::url);  // after the closer
    EXPECT_EQ(view.selectedText(), selected) << "the selection stays on the same characters";
}

TEST_F(TextViewTest, EmptyViewHasNoToken) {
    EXPECT_FALSE(view.tokenAt(QPoint(view.textAreaLeft() + 3, 10)).has_value());
    EXPECT_EQ(view.positionNear(QPoint(50, 50)), 0u);
}

TEST_F(TextViewTest, TabsTakeCellsToTheNextStop) {
    view.appendLine("a\tb");
    EXPECT_EQ(view.charRect({0, 2}).left(), view.textAreaLeft() + 8 * view.cellWidth());
    const std::optional<TokenText> onTab =
        view.tokenAt(QPoint(view.textAreaLeft() + 5 * view.cellWidth(), CenterOf(view, 0, 0).y()));
    ASSERT_TRUE(onTab);
    EXPECT_EQ(onTab->cls, TokenClass::tab);
}

TEST_F(TextViewTest, ARowContinuingALabelLineIsDrawnAndHitUnderTheValue) {
    view.setWrapWidth(40);
    // The value starts at cell 10; the line wraps after "ffff " (byte and cell 40), and the row
    // that continues it starts with "gggg" at byte 40.
    view.appendLine("Notice:   aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii");
    ASSERT_EQ(view.layout().rowCount(), 2u);
    const int w = view.cellWidth();
    const int h = view.rowHeight();
    const int left = view.textAreaLeft();
    const int secondRowTop = TTextView::kTopMargin + h;
    const QRect indent(left, secondRowTop, 10 * w, h);
    const QRect firstCell(left + 10 * w, secondRowTop, w, h);
    const QRect valueOnFirstRow(left + 10 * w, TTextView::kTopMargin, w, h);

    const QImage image = Render(view);
    EXPECT_EQ(CountDark(image, indent), 0) << "nothing is drawn before the value's column";
    EXPECT_GT(CountDark(image, firstCell), 0) << "the row's first character sits under the value";
    EXPECT_GT(CountDark(image, valueOnFirstRow), 0);
    EXPECT_EQ(view.charRect({0, 40}), firstCell);

    QWidget* surface = view.viewport();
    QTest::mouseClick(surface, Qt::LeftButton, {}, firstCell.center() + QPoint(-w / 4, 0));
    EXPECT_EQ(view.selStart(), 40u);
    const std::optional<TokenText> token = view.tokenAt(firstCell.center());
    ASSERT_TRUE(token);
    EXPECT_EQ(token->text, "gggg");
    EXPECT_FALSE(view.tokenAt(indent.center()).has_value()) << "the indent holds no character";

    // A click in the indent puts the caret at the row's start; a drag from there selects from it.
    QTest::mouseClick(surface, Qt::LeftButton, {}, indent.center());
    EXPECT_EQ(view.selStart(), 40u);
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(left + 35 * w + 1, TTextView::kTopMargin + h / 2));
    QTest::mouseMove(surface, QPoint(left + 14 * w + 1, secondRowTop + h / 2));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(left + 14 * w + 1, secondRowTop + h / 2));
    EXPECT_EQ(view.selectedText(), "ffff gggg");
}

// --- Caret, selection and copy ---

TEST_F(TextViewTest, ClickPlacesTheCaretShiftClickExtendsDragSelects) {
    view.appendLines(std::vector<std::string>{"0123456789", "abcdefghij"});
    QWidget* surface = view.viewport();
    const QPoint leftOf3 = view.charRect({1, 3}).topLeft() + QPoint(1, 2);
    const QPoint leftOf7 = view.charRect({1, 7}).topLeft() + QPoint(1, 2);

    QTest::mouseClick(surface, Qt::LeftButton, {}, leftOf3);
    EXPECT_EQ(view.selStart(), 15u);  // "0123456789\r\n" is 12 bytes
    EXPECT_EQ(view.selLength(), 0u);

    QTest::mouseClick(surface, Qt::LeftButton, Qt::ShiftModifier, leftOf7);
    EXPECT_EQ(view.selStart(), 15u);
    EXPECT_EQ(view.selLength(), 4u);
    EXPECT_EQ(view.selectedText(), "defg");

    QTest::mousePress(surface, Qt::LeftButton, {}, view.charRect({0, 8}).topLeft() + QPoint(1, 2));
    QTest::mouseMove(surface, leftOf3);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, leftOf3);
    EXPECT_EQ(view.selectedText(), "89\r\nabc");
}

TEST_F(TextViewTest, DraggingBelowTheViewScrollsOn) {
    view.appendLines(std::vector<std::string>(300, "line"));
    QWidget* surface = view.viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, CenterOf(view, 0, 0));
    QTest::mouseMove(surface, QPoint(20, surface->height() + 30));
    QTRY_VERIFY(view.topRow() > 2);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(20, surface->height() + 30));
    EXPECT_GT(view.selLength(), 0u);
}

TEST_F(TextViewTest, SelectionStartAndLengthSnapToCharacters) {
    view.appendLines(std::vector<std::string>{U8(u8"日本"), "x"});
    view.setSelStart(2);  // inside 日 (bytes 0-2)
    EXPECT_EQ(view.selStart(), 0u);
    view.setSelLength(4);  // would end inside 本 (bytes 3-5)
    EXPECT_EQ(view.selLength(), 3u);
    view.selectAll();
    EXPECT_EQ(view.selStart(), 0u);
    EXPECT_EQ(view.selLength(), view.text().size());
}

TEST_F(TextViewTest, CopyPutsUnicodeTextOnTheClipboard) {
    view.appendLines(std::vector<std::string>{U8(u8"組織名 グーグル"), "ns1.google.com"});
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    view.copyToClipboard();  // nothing selected: nothing happens
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

    view.selectAll();
    view.copyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8(u8"組織名 グーグル\nns1.google.com"));
}

TEST_F(TextViewTest, DoubleClickSelectsTheTokenAndReportsIt) {
    view.appendLine("see http://example.jp/a now");
    QSignalSpy clicked(&view, &TTextView::doubleClicked);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, CenterOf(view, 0, 10));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(view.selectedText(), "http://example.jp/a");
}

TEST_F(TextViewTest, TripleClickSelectsTheWholeReportLineOfAWrappedRow) {
    view.setWrapWidth(20);
    view.appendLine("first line");
    const std::string wrapped = "a line long enough to wrap over rows";
    view.appendLine(wrapped);
    ASSERT_GT(view.layout().rowsOf(1).size(), 1u);
    const QPoint onSecondRow = CenterOf(view, 1, 25);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, onSecondRow);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, onSecondRow);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, onSecondRow);
    EXPECT_EQ(view.selectedText(), wrapped);

    // A press away from the double-click places the caret as any click does.
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, onSecondRow);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, CenterOf(view, 0, 2));
    EXPECT_EQ(view.selLength(), 0u);
    EXPECT_EQ(view.caretPosition(), 2u);
}

// --- Keyboard ---

TEST_F(TextViewTest, KeysScrollByRowPageAndToTheEnds) {
    view.appendLines(std::vector<std::string>(500, "row"));
    view.setFocus();
    const auto page = static_cast<std::size_t>(view.visibleRows());
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.topRow(), 1u);
    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_EQ(view.topRow(), 1u + page);
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_EQ(view.topRow(), page);
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.topRow(), 500u - page);
    QTest::keyClick(&view, Qt::Key_PageUp);
    EXPECT_EQ(view.topRow(), 500u - 2 * page);
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.topRow(), 0u);
}

TEST_F(TextViewTest, ReturnIsTheViewsOwnAndTabMovesTheFocusOn) {
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* memo = new TTextView;
    auto* next = new QLineEdit;
    layout->addWidget(memo);
    layout->addWidget(next);
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    memo->setFocus();

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(memo, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(memo, &letter);
    EXPECT_FALSE(letter.isAccepted());

    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus());
}

// --- Drawing ---

// The image inside `rect`.
QImage Cell(const QImage& image, const QRect& rect) { return image.copy(rect); }

// Lines CP932 cannot write: each cluster on its cells, positions never inside one.
TEST_F(TextViewTest, ClustersOutsideCp932SitOnTheirCellsAndHoldNoPosition) {
    struct Case {
        const char* name;
        std::string line;
        std::size_t inside;  // a byte inside the first cluster
        std::size_t next;    // the byte after it
        int firstCells;      // its cells
    };
    const Case cases[] = {
        {"Hangul syllable", "한a", 1, 3, 2},
        {"accented Latin", "őa", 1, 2, 1},
        {"combining mark on its base", "e\u0301a", 1, 3, 1},
        {"ideograph beyond the BMP", "\U0002000Ba", 2, 4, 2},
        {"flag of two indicators", "\U0001F1EF\U0001F1F5a", 4, 8, 2},
    };
    const int w = view.cellWidth();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.clear();
        view.appendLine(c.line);
        EXPECT_EQ(view.charRect({0, 0}).width(), c.firstCells * w);
        EXPECT_EQ(view.charRect({0, c.next}).left(), view.textAreaLeft() + c.firstCells * w);
        view.setSelStart(c.inside);
        EXPECT_EQ(view.selStart(), 0u);
        view.setSelLength(c.inside);  // a selection never ends inside the cluster either
        EXPECT_EQ(view.selLength(), 0u);
        view.setSelLength(c.next);
        EXPECT_EQ(view.selectedText(), c.line.substr(0, c.next));
    }
}

// A control that would reorder text is a placeholder cell: what follows it stays in order.
TEST_F(TextViewTest, BidiControlsReorderNothing) {
    // The caret sits on the empty first line.
    view.appendLines(std::vector<std::string>{"", "a\u202Ebc", "a bc", "a\u2067bc"});
    const QImage image = Render(view);
    const int w = view.cellWidth();
    EXPECT_EQ(view.charRect({1, 4}).left(), view.textAreaLeft() + 2 * w);  // b after one cell
    EXPECT_GT(CountDark(image, view.charRect({1, 1})), 0) << "placeholder";
    for (std::size_t line : {1u, 3u}) {
        for (std::size_t cell : {0u, 2u, 3u}) {
            const QRect here = view.charRect({line, 0}).translated(static_cast<int>(cell) * w, 0);
            const QRect plain = view.charRect({2, 0}).translated(static_cast<int>(cell) * w, 0);
            EXPECT_EQ(Cell(image, here), Cell(image, plain)) << "line " << line << " cell " << cell;
        }
    }
}

// Hangul and accented Latin are drawn by some installed face, never as the box the view draws
// where no face has the character (an unassigned code point of the same width shows it).
TEST_F(TextViewTest, HangulAndAccentedLatinAreDrawnNotBoxed) {
    struct Case {
        const char* name;
        const char* drawn;
        const char* undrawable;
    };
    const Case cases[] = {
        {"Hangul", "한", "\U0003FFFD"},
        {"Latin with double acute", "ő", "\u0378"},
        {"Latin with diaeresis", "ä", "\u0378"},
    };
    ASSERT_FALSE(view.faceFor(U'\U0003FFFD').isValid());
    ASSERT_FALSE(view.faceFor(U'\u0378').isValid());
    EXPECT_TRUE(view.faceFor(U'한').isValid());
    EXPECT_TRUE(view.faceFor(U'ő').isValid());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.clear();
        view.appendLines(std::vector<std::string>{c.drawn, c.undrawable});
        const QImage image = Render(view);
        const QRect drawn = view.charRect({0, 0});
        const QRect boxed = view.charRect({1, 0});
        ASSERT_EQ(drawn.size(), boxed.size());
        EXPECT_GT(CountDark(image, drawn), 0);
        EXPECT_GT(CountDark(image, boxed), 0);
        EXPECT_NE(Cell(image, drawn), Cell(image, boxed));
    }
}

TEST_F(TextViewTest, ControlCharactersShowAPlaceholderCell) {
    view.appendLine(std::string("a\x01 \0b", 5));
    const QImage image = Render(view);
    EXPECT_GT(CountDark(image, view.charRect({0, 1})), 0) << "control character";
    EXPECT_EQ(CountDark(image, view.charRect({0, 2})), 0) << "space";
    EXPECT_GT(CountDark(image, view.charRect({0, 3})), 0) << "zero byte";
    EXPECT_EQ(view.charRect({0, 4}).left(), view.textAreaLeft() + 4 * view.cellWidth());
}

TEST_F(TextViewTest, DoubleByteCharactersSitOnTwoCells) {
    view.appendLine(U8(u8"漢a字b"));
    const int w = view.cellWidth();
    EXPECT_EQ(view.charRect({0, 0}).width(), 2 * w);
    // Bytes: 漢 0-2, a 3, 字 4-6, b 7.
    EXPECT_EQ(view.charRect({0, 3}).left(), view.textAreaLeft() + 2 * w);
    EXPECT_EQ(view.charRect({0, 7}).left(), view.textAreaLeft() + 5 * w);
}

TEST_F(TextViewTest, TokenClassesHaveTheirColoursAndWeights) {
    const QColor windowText = QGuiApplication::palette().color(QPalette::WindowText);
    view.appendLines(std::vector<std::string>{"12345", "<!comment", "http://a.jp/x",
                                              "user@example.jp", "{header}", U8(u8"【タイトル】"),
                                              "plain", "TCP", U8(u8"有効期限 【期限切れ】")});
    const QImage image = Render(view);
    auto lineRect = [&](std::size_t line, std::size_t from, std::size_t to) {
        return view.charRect({line, from}).united(view.charRect({line, to}));
    };
    const struct {
        const char* name;
        QRect rect;
        QColor color;
    } cases[] = {
        {"number", lineRect(0, 0, 4), QColor(128, 0, 0)},
        {"comment", lineRect(1, 0, 8), QColor(0, 128, 128)},
        {"url", lineRect(2, 0, 12), QColor(0, 0, 255)},
        {"mail", lineRect(3, 0, 14), QColor(0, 0, 255)},
        {"curly region", lineRect(4, 0, 7), QColor(Qt::black)},
        {"lenticular region", lineRect(5, 0, 10), QColor(0, 0, 128)},
        {"word", lineRect(6, 0, 4), windowText},
        {"expiry warning", lineRect(8, 13, 25), QColor(204, 0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_GT(CountColor(image, c.rect, c.color), 0) << c.name;
    }
    // The url is underlined: a full row of blue under its text.
    const QRect url = lineRect(2, 0, 12);
    EXPECT_EQ(CountColor(image, QRect(url.left(), url.top() + view.rowHeight() - 6, url.width(), 6),
                         QColor(0, 0, 255)) >= url.width(),
              true);
    // "TCP" is a reserved word, drawn bold; "TCQ" is a plain word. Bold strokes darken more
    // pixels than letters of about the same shape drawn regular.
    view.clear();
    view.appendLines(std::vector<std::string>{"TCP", "TCQ"});
    const QImage weights = Render(view);
    EXPECT_GT(CountDark(weights, lineRect(0, 0, 2)),
              CountDark(weights, lineRect(1, 0, 2)) * 11 / 10);
}

TEST_F(TextViewTest, SelectedTextIsWhiteOnNavyToTheRightEdgeWithoutAHandler) {
    view.appendLines(std::vector<std::string>{"abc", "defgh"});
    view.selectAll();
    const QImage image = Render(view);
    const QRect firstRowEnd = view.charRect({0, 3});
    EXPECT_GT(CountColor(image, view.charRect({0, 0}), QColor(255, 255, 255)), 0);
    EXPECT_GT(CountColor(image, view.charRect({0, 0}), QColor(0, 0, 128)), 0);
    // The first line's end is selected (the CR LF follows), the last line's is not.
    const int right = view.viewport()->width() - 2;
    EXPECT_EQ(QColor(image.pixel(right, firstRowEnd.center().y())), QColor(0, 0, 128));
    EXPECT_EQ(QColor(image.pixel(right, view.charRect({1, 0}).center().y())),
              view.backgroundColor());
}

}  // namespace
}  // namespace torvane::view
