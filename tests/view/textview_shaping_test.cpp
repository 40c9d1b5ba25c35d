// Runs that need the shaper: which clusters are shaped, and that Thai marks, Arabic joining and
// Hebrew order are drawn, each run inside the cells its clusters take.
#include <QtTest/QTest>

#include "textview_testing.h"
#include "unicode/cells.h"
#include "view/widget/shaped_run.h"

namespace torvane::view {
namespace {

using testing::Render;
using testing::U8;

TEST(NeedsShapingTest, OnlyJoiningReorderingAndMarkedClustersAreShaped) {
    struct Case {
        const char* name;
        std::string cluster;
        bool shaped;
    };
    const Case cases[] = {
        {"ASCII", "a", false},
        {"kanji", U8(u8"漢"), false},
        {"full-width Greek", U8(u8"Ω"), false},
        {"half-width kana with its voiced mark", U8(u8"ｶﾞ"), false},
        {"Hangul syllable", U8(u8"한"), false},
        {"precomposed Latin", U8(u8"ä"), false},
        {"base with a combining mark", "e\u0301", true},
        {"Thai consonant alone", U8(u8"ท"), true},
        {"Arabic letter", U8(u8"س"), true},
        {"Hebrew letter", U8(u8"ש"), true},
        {"Devanagari with its vowel sign", U8(u8"कि"), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NeedsShaping(c.cluster), c.shaped) << c.name;
    }
}

// The caret sits on the empty first line of each view below.
class ShapingTest : public testing::WidgetTest {
  protected:
    ShapingTest() {
        view.resize(700, 300);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    // The cells the whole of line `line`, text `text`, takes on its row.
    QRect LineCells(std::size_t line, std::string_view text) const {
        const QRect first = view.charRect({line, 0});
        return QRect(first.left(), first.top(),
                     static_cast<int>(unicode::TextCells(text)) * view.cellWidth(), first.height());
    }

    // The rest of the row of line `line`, right of `cells`.
    QRect RightOf(const QRect& cells) const {
        return QRect(cells.right() + 1, cells.top(), view.viewport()->width(), cells.height());
    }

    TTextView view;
};

// Pixels inside `rect` with any ink at all, antialiased edges included.
int Ink(const QImage& image, const QRect& rect) {
    int count = 0;
    const QRect area = rect & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 192) ++count;
        }
    }
    return count;
}

// Each pair takes the same cells: the marked or joined text, and the same letters without the
// marks or kept apart by zero-width non-joiners. The shaped one draws otherwise, never outside.
TEST_F(ShapingTest, MarksAndJoiningAreDrawnInsideTheRunsCells) {
    struct Case {
        const char* name;
        std::u8string_view shaped;
        std::u8string_view plain;
        bool moreInk;  // the marks add ink
    };
    const Case cases[] = {
        {"Thai marks on their consonants", u8"ที่นี่", u8"ทน", true},
        {"Devanagari vowel signs", u8"किसी", u8"कस", true},
        {"Arabic letters joined", u8"سلام", u8"س\u200Cل\u200Cا\u200Cم", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string shaped = U8(c.shaped);
        const std::string plain = U8(c.plain);
        view.clear();
        view.appendLines(std::vector<std::string>{"", shaped, plain});
        const QImage image = Render(view);
        const QRect shapedCells = LineCells(1, shaped);
        const QRect plainCells = LineCells(2, plain);
        ASSERT_EQ(shapedCells.size(), plainCells.size());
        EXPECT_GT(Ink(image, plainCells), 0);
        if (c.moreInk) {
            EXPECT_GT(Ink(image, shapedCells), Ink(image, plainCells));
        }
        EXPECT_NE(image.copy(shapedCells), image.copy(plainCells));
        EXPECT_EQ(Ink(image, RightOf(shapedCells)), 0);
        EXPECT_EQ(Ink(image, QRect(0, shapedCells.top(), shapedCells.left(), shapedCells.height())),
                  0);
    }
}

// A word whose first letter is heavy and the rest thin: its ink leans to the side it starts on.
TEST_F(ShapingTest, HebrewReadsRightToLeftWithinItsRun) {
    struct Case {
        const char* name;
        std::u8string_view word;
        bool startsRight;
    };
    const Case cases[] = {
        {"Hebrew shin then yods", u8"שייי", true},
        {"Latin W then i's", u8"Wiii", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string word = U8(c.word);
        view.clear();
        view.appendLines(std::vector<std::string>{"", word});
        const QImage image = Render(view);
        const QRect cells = LineCells(1, word);
        QRect left = cells;
        left.setWidth(cells.width() / 2);
        const QRect right = cells.adjusted(cells.width() / 2, 0, 0, 0);
        if (c.startsRight) {
            EXPECT_GT(Ink(image, right), 2 * Ink(image, left));
        } else {
            EXPECT_GT(Ink(image, left), 2 * Ink(image, right));
        }
        EXPECT_EQ(Ink(image, RightOf(cells)), 0);
    }
}

// An override or isolate after an Arabic word is a placeholder: the Arabic run and the Latin after
// it look exactly as they do with a space in its place.
TEST_F(ShapingTest, BidiControlInAnArabicLineReordersNothingOutsideTheRun) {
    const std::string arabic = U8(u8"سلام");
    view.appendLines(std::vector<std::string>{"", arabic + " abc", arabic + "\u202Eabc",
                                              arabic + "\u2067abc", "abc " + arabic + "\u202E"});
    const QImage image = Render(view);
    const int w = view.cellWidth();
    const auto cellOf = [&](std::size_t line, int cell) {
        const QRect first = view.charRect({line, 0});
        return QRect(first.left() + cell * w, first.top(), w, first.height());
    };
    const QRect run = LineCells(1, arabic);
    for (std::size_t line : {2u, 3u}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(image.copy(LineCells(line, arabic)), image.copy(run));
        EXPECT_GT(Ink(image, cellOf(line, 4)), 0) << "placeholder";
        for (int cell = 5; cell < 8; ++cell) {
            EXPECT_EQ(image.copy(cellOf(line, cell)), image.copy(cellOf(1, cell))) << cell;
        }
    }
    // Latin before the run keeps its cells too, and the control after the run holds only itself.
    for (int cell = 0; cell < 3; ++cell) {
        EXPECT_EQ(image.copy(cellOf(4, cell)), image.copy(cellOf(1, cell + 5))) << cell;
    }
    EXPECT_EQ(image.copy(cellOf(4, 8)), image.copy(cellOf(2, 4)));
}

}  // namespace
}  // namespace torvane::view
