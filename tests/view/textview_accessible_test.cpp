// TTextView as a screen reader sees it through QAccessible: the text, its boundaries, caret,
// selection and geometry, and the events that tell of their changes.
#include <QAccessible>
#include <QtTest/QTest>
#include <optional>
#include <vector>

#include "textview_testing.h"

namespace torvane::view {
namespace {

using testing::Sjis;

// One accessibility event as the update handler saw it.
struct Seen {
    QAccessible::Event type;
    QObject* object;
    int position;  // change position, cursor position or selection start
    int end;       // selection end; -1 for other events
    QString text;  // inserted or removed text

    friend bool operator==(const Seen&, const Seen&) = default;
};

std::vector<Seen>& SeenEvents() {
    static std::vector<Seen> seen;
    return seen;
}

void RecordEvent(QAccessibleEvent* event) {
    switch (event->type()) {
        case QAccessible::TextInserted: {
            const auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
            SeenEvents().push_back({e->type(), e->object(), e->changePosition(), -1,
                                    e->textInserted()});
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

// Captures the accessibility events while it lives, as if a screen reader were listening
// (`active`) or not; puts Qt's state back afterwards.
class EventCapture {
  public:
    explicit EventCapture(bool active)
        : wasActive_(QAccessible::isActive()),
          previous_(QAccessible::installUpdateHandler(&RecordEvent)) {
        SeenEvents().clear();
        QAccessible::setActive(active);
    }
    ~EventCapture() {
        QAccessible::installUpdateHandler(previous_);
        QAccessible::setActive(wasActive_);
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
    "[登録者] 日本 太郎\n"         // 24..35
    "\n"                          // 36
    "a\tb\n"                      // 37..40
    "x\uFFFDy");                  // 41..43

class TextViewAccessibleTest : public testing::WidgetTest {
  protected:
    TextViewAccessibleTest() {
        view.resize(700, 400);
        view.setWrapWidth(20);
        view.appendLines(std::vector<std::string>{"Domain Name: EXAMPLE.JP",
                                                  Sjis(u8"[登録者] 日本 太郎"), "", "a\tb",
                                                  "x\x01y"});
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
        {0, 6, QStringLiteral("Domain")},
        {20, 27, QStringLiteral(".JP\n[登録")},
        {35, 40, QStringLiteral("\n\na\tb")},
        {-5, 3, QStringLiteral("Dom")},
        {42, 99, QStringLiteral("\uFFFDy")},
        {10, 10, QString()},
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
        const QString piece =
            expected.start < 0 ? QString() : kReport.mid(expected.start, expected.end - expected.start);
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

}  // namespace
}  // namespace torvane::view
