// TTextView as a screen reader sees it through QAccessible: the text, its boundaries, caret,
// selection and geometry, and the events that tell of their changes.
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <QAccessible>
#include <QtTest/QTest>
#include <optional>
#include <vector>

#include "textview_testing.h"
#include "view/widget/accessible_text.h"

namespace torvane::view {
namespace {

using testing::U8;

// One accessibility event as the update handler saw it.
struct Seen {
    QAccessible::Event type;
    QObject* object;
    int position;  // change position, cursor position or selection start
    int end;       // selection end; -1 for other events
    QString text;  // inserted or removed text

    friend bool operator==(const Seen&, const Seen&) = default;
    friend void PrintTo(const Seen& seen, std::ostream* out) {
        *out << "{event " << seen.type << " at " << seen.position << ".." << seen.end << " \""
             << seen.text.toStdString() << "\"}";
    }
};

std::vector<Seen>& SeenEvents() {
    static std::vector<Seen> seen;
    return seen;
}

void RecordEvent(QAccessibleEvent* event) {
    switch (event->type()) {
        case QAccessible::TextInserted: {
            const auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
            SeenEvents().push_back(
                {e->type(), e->object(), e->changePosition(), -1, e->textInserted()});
            break;
        }
        case QAccessible::TextRemoved: {
            const auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
            SeenEvents().push_back(
                {e->type(), e->object(), e->changePosition(), -1, e->textRemoved()});
            break;
        }
        case QAccessible::TextCaretMoved: {
            const auto* e = static_cast<QAccessibleTextCursorEvent*>(event);
            SeenEvents().push_back({e->type(), e->object(), e->cursorPosition(), -1, {}});
            break;
        }
        case QAccessible::TextSelectionChanged: {
            const auto* e = static_cast<QAccessibleTextSelectionEvent*>(event);
            SeenEvents().push_back(
                {e->type(), e->object(), e->selectionStart(), e->selectionEnd(), {}});
            break;
        }
        default:
            break;
    }
}

// Sets the platform's flag that a screen reader's arrival sets: QAccessible::isActive() reads it
// and QAccessible::updateAccessibility delivers events only while it is on, whereas
// QAccessible::setActive only tells the activation observers.
void SetPlatformAccessibilityActive(bool active) {
    QPlatformAccessibility* platform =
        QGuiApplicationPrivate::platformIntegration()->accessibility();
    ASSERT_NE(platform, nullptr);
    platform->setActive(active);
}

// Captures the accessibility events while it lives, as if a screen reader were listening
// (`active`) or not; puts Qt's state back afterwards.
class EventCapture {
  public:
    explicit EventCapture(bool active)
        : wasActive_(QAccessible::isActive()),
          previous_(QAccessible::installUpdateHandler(&RecordEvent)) {
        SeenEvents().clear();
        SetPlatformAccessibilityActive(active);
    }
    ~EventCapture() {
        QAccessible::installUpdateHandler(previous_);
        SetPlatformAccessibilityActive(wasActive_);
        SeenEvents().clear();
    }
    const std::vector<Seen>& seen() const { return SeenEvents(); }

  private:
    bool wasActive_;
    QAccessible::UpdateHandler previous_;
};

// The report of every test: a wrapped line, Japanese, an empty line, a tab and a control
// character, which the view draws as the placeholder box.
const QString kReport = QStringLiteral(
    "Domain Name: EXAMPLE.JP\n"  // 0..23, its line end at 23
    "[登録者] 日本 太郎\n"       // 24..35
    "\n"                         // 36
    "a\tb\n"                     // 37..40
    "x\uFFFDy");                 // 41..43

class TextViewAccessibleTest : public testing::WidgetTest {
  protected:
    TextViewAccessibleTest() {
        view.resize(700, 400);
        view.setWrapWidth(20);
        view.appendLines(std::vector<std::string>{
            "Domain Name: EXAMPLE.JP", U8(u8"[登録者] 日本 太郎"), "", "a\tb", "x\x01y"});
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        iface = QAccessible::queryAccessibleInterface(&view);
        text = iface != nullptr ? iface->textInterface() : nullptr;
    }

    // The byte position in the view of character `offset` of kReport's line `line`.
    std::size_t positionOf(std::size_t line, std::size_t offset) const {
        return view.layout().positionOf({line, offset});
    }

    TTextView view;
    QAccessibleInterface* iface = nullptr;
    QAccessibleTextInterface* text = nullptr;
};

TEST_F(TextViewAccessibleTest, IsAReadOnlyMultiLineTextHoldingTheReport) {
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_TRUE(iface->state().readOnly);
    EXPECT_TRUE(iface->state().multiLine);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("調査結果"));
    view.setAccessibleName(QStringLiteral("結果"));
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("結果"));

    EXPECT_EQ(iface->text(QAccessible::Value), kReport);
    EXPECT_EQ(text->characterCount(), kReport.size());
    struct Case {
        int start;
        int end;
        QString expected;
    };
    const Case cases[] = {
        {0, 6, QStringLiteral("Domain")},     {20, 27, QStringLiteral(".JP\n[登録")},
        {35, 40, QStringLiteral("\n\na\tb")}, {-5, 3, QStringLiteral("Dom")},
        {42, 99, QStringLiteral("\uFFFDy")},  {10, 10, QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text->text(c.start, c.end), c.expected) << c.start << ".." << c.end;
    }
}

TEST_F(TextViewAccessibleTest, ReadsTheTextByEveryKindOfBoundary) {
    ASSERT_NE(text, nullptr);
    struct Piece {
        int start;
        int end;
    };
    struct Case {
        QAccessible::TextBoundaryType type;
        int offset;
        Piece at;
        Piece before;  // {-1, -1}: none
        Piece after;
    };
    constexpr Piece kNone{-1, -1};
    const Case cases[] = {
        {QAccessible::CharBoundary, 0, {0, 1}, kNone, {1, 2}},
        {QAccessible::CharBoundary, 26, {26, 27}, {25, 26}, {27, 28}},
        {QAccessible::CharBoundary, 44, {44, 44}, {43, 44}, kNone},
        // Words lie between break opportunities, within a line and its line end.
        {QAccessible::WordBoundary, 2, {0, 6}, kNone, {6, 7}},
        {QAccessible::WordBoundary, 6, {6, 7}, {0, 6}, {7, 11}},
        {QAccessible::WordBoundary, 11, {11, 12}, {7, 11}, {12, 13}},
        {QAccessible::WordBoundary, 14, {13, 20}, {12, 13}, {20, 21}},  // EXAMPLE . JP
        {QAccessible::WordBoundary, 23, {23, 24}, {21, 23}, {24, 25}},
        {QAccessible::WordBoundary, 26, {26, 27}, {25, 26}, {27, 28}},  // 登 録 者
        {QAccessible::WordBoundary, 44, {43, 44}, {42, 43}, kNone},
        {QAccessible::SentenceBoundary, 5, {0, 24}, kNone, {24, 36}},
        // Lines are the display rows at the wrap width of 20 cells.
        {QAccessible::LineBoundary, 3, {0, 13}, kNone, {13, 24}},
        {QAccessible::LineBoundary, 13, {13, 24}, {0, 13}, {24, 36}},
        {QAccessible::LineBoundary, 36, {36, 37}, {24, 36}, {37, 41}},
        {QAccessible::LineBoundary, 44, {41, 44}, {37, 41}, kNone},
        {QAccessible::ParagraphBoundary, 13, {0, 24}, kNone, {24, 36}},
        {QAccessible::ParagraphBoundary, 36, {36, 37}, {24, 36}, {37, 41}},
        {QAccessible::NoBoundary, 30, {0, 44}, kNone, kNone},
    };
    auto check = [&](const char* which, const QString& got, int start, int end, Piece expected,
                     const Case& c) {
        EXPECT_EQ(start, expected.start) << which << " type " << c.type << " offset " << c.offset;
        EXPECT_EQ(end, expected.end) << which << " type " << c.type << " offset " << c.offset;
        const QString piece = expected.start < 0
                                  ? QString()
                                  : kReport.mid(expected.start, expected.end - expected.start);
        EXPECT_EQ(got, piece) << which << " type " << c.type << " offset " << c.offset;
    };
    for (const Case& c : cases) {
        int start = 0;
        int end = 0;
        QString got = text->textAtOffset(c.offset, c.type, &start, &end);
        check("at", got, start, end, c.at, c);
        got = text->textBeforeOffset(c.offset, c.type, &start, &end);
        check("before", got, start, end, c.before, c);
        got = text->textAfterOffset(c.offset, c.type, &start, &end);
        check("after", got, start, end, c.after, c);
    }
}

// Offsets count UTF-16 units: a character beyond the BMP is two, a combining mark one.
TEST_F(TextViewAccessibleTest, CharactersBeyondTheBmpCountTwoUnits) {
    ASSERT_NE(text, nullptr);
    view.clear();
    view.appendLine("a\U0002000Be\u0301b");  // bytes: a 0, 𠀋 1-4, e 5, U+0301 6-7, b 8
    EXPECT_EQ(iface->text(QAccessible::Value), QString::fromUtf8("a\U0002000Be\u0301b"));
    EXPECT_EQ(text->characterCount(), 6);
    EXPECT_EQ(text->text(1, 3), QString::fromUtf8("\U0002000B"));
    view.setSelStart(8);
    EXPECT_EQ(text->cursorPosition(), 5);
    text->setCursorPosition(2);  // the second unit of 𠀋's pair: its start
    EXPECT_EQ(view.caretPosition(), 1u);
    text->setCursorPosition(4);  // between e and its mark: the cluster's start
    EXPECT_EQ(view.caretPosition(), 5u);
}

TEST_F(TextViewAccessibleTest, CaretAndSelectionAreTheViewsBothWays) {
    ASSERT_NE(text, nullptr);
    // The view's caret after 日本 (line 1, bytes 18) is read at offset 32.
    view.setSelStart(positionOf(1, 18));
    EXPECT_EQ(text->cursorPosition(), 32);
    EXPECT_EQ(text->selectionCount(), 0);

    text->setCursorPosition(39);  // before the b after the tab
    EXPECT_EQ(view.caretPosition(), positionOf(3, 2));
    EXPECT_EQ(view.selLength(), 0u);

    // 登録者 selected in the view.
    view.setSelStart(positionOf(1, 1));
    view.setSelLength(9);  // three characters of three bytes
    ASSERT_EQ(text->selectionCount(), 1);
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 25);
    EXPECT_EQ(end, 28);

    // From the end of line 0 over its line end and the whole of line 1 through the interface.
    text->setSelection(0, 20, 36);
    EXPECT_EQ(view.selectedText(), ".JP\r\n" + U8(u8"[登録者] 日本 太郎") + "\r\n");
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 20);
    EXPECT_EQ(end, 36);

    text->removeSelection(0);
    EXPECT_EQ(view.selLength(), 0u);
    EXPECT_EQ(text->selectionCount(), 0);

    text->addSelection(44, 41);  // backwards, up to the text's end
    EXPECT_EQ(view.selectedText(), std::string("x\x01y"));
}

TEST_F(TextViewAccessibleTest, CharacterRectanglesAreTheCellsOnTheScreen) {
    ASSERT_NE(text, nullptr);
    struct Case {
        int offset;
        TextPos pos;
    };
    const Case cases[] = {
        {0, {0, 0}},    // D
        {15, {0, 15}},  // A of EXAMPLE, on the second row
        {26, {1, 4}},   // 録, two cells wide
        {38, {3, 1}},   // the tab
        {42, {4, 1}},   // the placeholder
    };
    for (const Case& c : cases) {
        const QRect cell = view.charRect(c.pos);
        ASSERT_FALSE(cell.isEmpty()) << "offset " << c.offset;
        const QRect onScreen(view.viewport()->mapToGlobal(cell.topLeft()), cell.size());
        EXPECT_EQ(text->characterRect(c.offset), onScreen) << "offset " << c.offset;
        EXPECT_EQ(text->offsetAtPoint(onScreen.center()), c.offset) << "offset " << c.offset;
    }
    EXPECT_EQ(text->characterRect(26).width(), 2 * view.cellWidth());
    // Right of a row's end the nearest caret place; outside the view nothing.
    const QRect lineEnd = view.charRect({1, 25});
    const QPoint besideLine1 = view.viewport()->mapToGlobal(lineEnd.center() + QPoint(100, 0));
    EXPECT_EQ(text->offsetAtPoint(besideLine1), 35);
    EXPECT_EQ(text->offsetAtPoint(view.mapToGlobal(QPoint(-50, -50))), -1);
}

TEST_F(TextViewAccessibleTest, ScrollingToASubstringShowsItsRow) {
    ASSERT_NE(text, nullptr);
    std::vector<std::string> filler(200, "filler");
    view.appendLines(filler);
    const int lastLine = static_cast<int>(kReport.size()) + 1 + 199 * 7;
    EXPECT_TRUE(text->characterRect(lastLine).isEmpty());
    text->scrollToSubstring(lastLine, lastLine + 6);
    EXPECT_FALSE(text->characterRect(lastLine).isEmpty());
    EXPECT_EQ(text->text(lastLine, lastLine + 6), QStringLiteral("filler"));
}

TEST_F(TextViewAccessibleTest, RaisesNoEventsWithoutAListenerYetFollowsEveryChange) {
    EventCapture capture(false);
    // Each read counts every line, so a stale count would show in the next.
    EXPECT_EQ(iface->text(QAccessible::Value), kReport);
    view.insertLine(1, "1.5");
    const QString inserted = kReport.left(24) + QStringLiteral("1.5\n") + kReport.mid(24);
    EXPECT_EQ(iface->text(QAccessible::Value), inserted);
    view.appendLine(U8(u8"末尾"));
    EXPECT_EQ(iface->text(QAccessible::Value), inserted + QStringLiteral("\n末尾"));
    view.selectAll();
    view.setSelStart(3);
    view.clear();
    view.appendLines(std::vector<std::string>{"one", U8(u8"二")});
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("one\n二"));
    EXPECT_EQ(text->characterCount(), 5);
    EXPECT_TRUE(capture.seen().empty());
}

TEST_F(TextViewAccessibleTest, AReportGrowingWithoutAListenerCostsNoCounting) {
    const std::vector<std::string> block(100000, U8(u8"[ドメイン名]  EXAMPLE.JP"));
    {
        EventCapture capture(false);
        view.appendLines(block);
        view.insertLine(1, "inserted");
        view.setSelStart(view.textLength());
        EXPECT_EQ(view.accessibleText().countedLines(), 0u);
    }
    // A listener's event needs the offset of the end: every line is counted once.
    EventCapture capture(true);
    view.appendLine("tail");
    EXPECT_EQ(view.accessibleText().countedLines(), view.count());
    ASSERT_EQ(capture.seen().size(), 1u);
    EXPECT_EQ(capture.seen()[0].text, QStringLiteral("\ntail"));
}

TEST_F(TextViewAccessibleTest, RaisesTextEventsAtTheChangedOffsets) {
    EventCapture capture(true);
    view.appendLine(U8(u8"末尾"));
    view.appendLines(std::vector<std::string>{"", "z"});
    view.insertLines(1, query::TLines{"ins", U8(u8"挿入")});
    view.insertLine(0, "");
    const QString before = iface->text(QAccessible::Value);
    view.clear();
    view.appendLine("new");
    const std::vector<Seen> expected = {
        {QAccessible::TextInserted, &view, 44, -1, QStringLiteral("\n末尾")},
        {QAccessible::TextInserted, &view, 47, -1, QStringLiteral("\n\nz")},
        {QAccessible::TextInserted, &view, 24, -1, QStringLiteral("ins\n挿入\n")},
        {QAccessible::TextInserted, &view, 0, -1, QStringLiteral("\n")},
        {QAccessible::TextCaretMoved, &view, 1, -1, {}},  // the caret stays before line 1
        {QAccessible::TextRemoved, &view, 0, -1, before},
        {QAccessible::TextCaretMoved, &view, 0, -1, {}},
        {QAccessible::TextInserted, &view, 0, -1, QStringLiteral("new")},
    };
    EXPECT_EQ(capture.seen(), expected);
    EXPECT_EQ(before, QStringLiteral("\n") + kReport.left(24) + QStringLiteral("ins\n挿入\n") +
                          kReport.mid(24) + QStringLiteral("\n末尾\n\nz"));
}

TEST_F(TextViewAccessibleTest, RemovedLinesAreToldWithTheLineEndsThatGoWithThem) {
    view.clear();
    view.appendLines(std::vector<std::string>{"a", U8(u8"日本"), "ccc", "dd"});
    EventCapture capture(true);
    view.removeLines(1, 1);  // inside: the line and its own line end
    view.removeLines(1, 2);  // to the end: the line end before the lines
    const std::vector<Seen> expected = {
        {QAccessible::TextRemoved, &view, 2, -1, QStringLiteral("日本\n")},
        {QAccessible::TextRemoved, &view, 1, -1, QStringLiteral("\nccc\ndd")},
    };
    std::vector<Seen> removals;
    for (const Seen& seen : capture.seen())
        if (seen.type == QAccessible::TextRemoved) removals.push_back(seen);
    EXPECT_EQ(removals, expected);
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("a"));
}

TEST_F(TextViewAccessibleTest, RaisesCaretAndSelectionEventsAtTheirOffsets) {
    EventCapture capture(true);
    view.setSelStart(positionOf(1, 18));  // after 日本
    view.setSelLength(4);                 // the space and 太
    view.setSelStart(positionOf(1, 18));  // nothing selected again
    view.insertLine(0, "abc");            // the caret moves on with its text
    view.scrollRows(1);                   // no change
    const std::vector<Seen> expected = {
        {QAccessible::TextCaretMoved, &view, 32, -1, {}},
        {QAccessible::TextSelectionChanged, &view, 32, 34, {}},
        {QAccessible::TextCaretMoved, &view, 34, -1, {}},
        {QAccessible::TextSelectionChanged, &view, 32, 32, {}},
        {QAccessible::TextCaretMoved, &view, 32, -1, {}},
        {QAccessible::TextInserted, &view, 0, -1, QStringLiteral("abc\n")},
        {QAccessible::TextCaretMoved, &view, 36, -1, {}},
    };
    EXPECT_EQ(capture.seen(), expected);
}

}  // namespace
}  // namespace torvane::view
