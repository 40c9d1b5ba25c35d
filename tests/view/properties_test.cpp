// Properties of the text rules over generated report lines, checked for every wrap width.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "text_testing.h"
#include "unicode/cells.h"
#include "view/rules/line_states.h"
#include "view/rules/report_chars.h"
#include "view/rules/rows.h"
#include "view/rules/tokens.h"

namespace torvane::view {
namespace {

using testing::inCp932;

// Characters of the line-breaking sets, written out here independently of the library's tables.
const char* const kNoBegin = "、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ>";
const char* const kNoEnd = "（［｛「『([{｢<\"'";
const char* const kHanging = "、。，．,.｡､";

// The clusters of a UTF-8 text as the report counts them, as byte strings.
std::vector<std::string> characters(std::string_view text) {
    std::vector<std::string> chars;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = reportClusterAt(text, i).length;
        chars.emplace_back(text.substr(i, length));
        i += length;
    }
    return chars;
}

std::set<std::string> characterSet(const char* utf8) {
    const auto chars = characters(inCp932(utf8));
    return {chars.begin(), chars.end()};
}

std::set<std::size_t> boundaries(std::string_view text) {
    std::set<std::size_t> result{0};
    std::size_t pos = 0;
    for (const auto& c : characters(text)) result.insert(pos += c.size());
    return result;
}

class TextRulesGeneratedLines : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const std::vector<std::string> pieces = {"abc",
                                                 "Domain",
                                                 "x",
                                                 "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                                                 "TCP",
                                                 "2014",
                                                 "1.5e3",
                                                 " ",
                                                 " ",
                                                 "  ",
                                                 ",",
                                                 ".",
                                                 "(",
                                                 ")",
                                                 "<",
                                                 ">",
                                                 "\"",
                                                 "'",
                                                 "{",
                                                 "}",
                                                 "@",
                                                 ":",
                                                 "/",
                                                 "-",
                                                 "<!",
                                                 "[",
                                                 "]",
                                                 ";",
                                                 "?",
                                                 "!",
                                                 "\t",
                                                 "\t\t",
                                                 "ひらがな",
                                                 "カタカナー",
                                                 "漢字漢字漢字",
                                                 "、",
                                                 "。",
                                                 "「",
                                                 "」",
                                                 "（",
                                                 "）",
                                                 "【",
                                                 "】",
                                                 "々",
                                                 "　",
                                                 "±",
                                                 "─",
                                                 "ｶﾀｶﾅ",
                                                 "｡",
                                                 "｢",
                                                 "｣",
                                                 "ﾞ",
                                                 "http://example.jp/a",
                                                 "www.x.jp",
                                                 "a@b.jp",
                                                 "mailto:",
                                                 "\x01",
                                                 "ｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱ",
                                                 "。。。。",
                                                 "、「「「「"};
        for (const auto& piece : pieces) pieces_.push_back(inCp932(piece));
        pieces_.push_back("\x80\xA0\xFD");

        std::mt19937 random(20261207);
        std::uniform_int_distribution<std::size_t> pick(0, pieces_.size() - 1);
        std::uniform_int_distribution<int> count(0, 70);
        for (int n = 0; n < 250; ++n) {
            std::string line;
            for (int k = count(random); k > 0; --k) line += pieces_[pick(random)];
            if (n % 7 == 0) line += '\x88';  // a lead byte alone at the end
            lines_.push_back(line);
        }
    }

    static std::vector<std::string> pieces_;
    static std::vector<std::string> lines_;
};

std::vector<std::string> TextRulesGeneratedLines::pieces_;
std::vector<std::string> TextRulesGeneratedLines::lines_;

TEST_F(TextRulesGeneratedLines, RowsRebuildTheLineWithinTheWidthBounds) {
    const auto noBegin = characterSet(kNoBegin);
    const auto noEnd = characterSet(kNoEnd);
    const auto hanging = characterSet(kHanging);
    ASSERT_EQ(noBegin.size(), 37u);
    ASSERT_EQ(noEnd.size(), 12u);
    ASSERT_EQ(hanging.size(), 8u);

    for (const std::string& line : lines_) {
        const auto charStarts = boundaries(line);
        std::vector<Token> urls;
        for (const Token& token : tokenize(line, Region::none).tokens) {
            if (token.cls == TokenClass::url) urls.push_back(token);
        }
        // A row may end short, or break a kinsoku rule, where that keeps a URL whole: right
        // before a URL (or before the opening brackets in front of it) or right after one.
        const auto besideUrl = [&](std::size_t end) {
            for (const Token& url : urls) {
                if (end == url.end()) return true;
                if (end > url.start) continue;
                const auto between = characters(std::string_view(line).substr(end, url.start - end));
                if (std::ranges::all_of(between, [&](const auto& c) { return noEnd.contains(c); })) {
                    return true;
                }
            }
            return false;
        };
        for (int w = kMinWrapWidth; w <= kMaxWrapWidth; ++w) {
            const std::size_t width = static_cast<std::size_t>(w);
            const auto rows = breakIntoRows(line, w);
            SCOPED_TRACE("W=" + std::to_string(w) + " line=" + line);
            ASSERT_FALSE(rows.empty());
            const std::size_t continuationIndent = std::min(valueColumn(line), width / 2);
            std::size_t pos = 0;
            for (std::size_t r = 0; r < rows.size(); ++r) {
                const Row& row = rows[r];
                ASSERT_EQ(row.start, pos);
                ASSERT_TRUE(row.length > 0 || line.empty()) << "empty row " << r;
                ASSERT_TRUE(charStarts.contains(row.start + row.length)) << "split character";
                ASSERT_EQ(row.indent, r == 0 ? 0 : continuationIndent) << "row " << r;
                pos += row.length;

                const auto chars = characters(std::string_view(line).substr(row.start, row.length));
                std::size_t cells = row.indent;
                for (const auto& c : chars) {
                    cells += c == "\t" ? std::min(8 - cells % 8, width - cells)
                                       : static_cast<std::size_t>(unicode::ClusterCells(c));
                    if (cells > width) {
                        EXPECT_TRUE(hanging.contains(c)) << "row " << r;
                    }
                }
                EXPECT_EQ(row.cells, cells) << "row " << r;
                EXPECT_EQ(cellAtOffset(line, row, row.start, w), row.indent);
                EXPECT_EQ(cellAtOffset(line, row, row.start + row.length, w), cells);
                EXPECT_FALSE(offsetAtCell(line, row, cells, w).has_value());
                for (std::size_t cell = 0; cell < cells; ++cell) {
                    const auto offset = offsetAtCell(line, row, cell, w);
                    if (cell < row.indent) {
                        EXPECT_FALSE(offset.has_value()) << "indent cell " << cell;
                        continue;
                    }
                    ASSERT_TRUE(offset.has_value() && charStarts.contains(*offset));
                    EXPECT_LE(cellAtOffset(line, row, *offset, w), cell);
                }
                EXPECT_LE(cells, width + 3) << "row " << r;

                const bool last = r + 1 == rows.size();
                if (last || besideUrl(pos)) continue;
                const std::size_t room = width - row.indent;
                EXPECT_GE(cells - row.indent, room / 3) << "row " << r;
                const std::string_view rest = std::string_view(line).substr(pos);
                const bool twoCellsFollow = unicode::TextCells(rest) >= 2 || rest == "\t";
                if (twoCellsFollow && cells - row.indent > (room / 5) * 4) {
                    EXPECT_FALSE(noEnd.contains(chars.back())) << "row " << r;
                    EXPECT_FALSE(noBegin.contains(characters(rest).front())) << "row " << r;
                }
            }
            ASSERT_EQ(pos, line.size());

            // A URL is split only when no row could hold it: after something other than spaces
            // it is longer than a continuation row's room; after spaces alone, or at the start of
            // its row, longer than what its row has left.
            for (const Token& url : urls) {
                const auto first = std::ranges::find_if(rows, [&](const Row& row) {
                    return row.start <= url.start && url.start < row.start + row.length;
                });
                ASSERT_NE(first, rows.end());
                if (url.end() <= first->start + first->length) continue;
                const std::string_view before =
                    std::string_view(line).substr(first->start, url.start - first->start);
                const std::size_t roomOfItsRow = width - cellAtOffset(line, *first, url.start, w);
                const bool mayMove = before.find_first_not_of(' ') != std::string_view::npos;
                EXPECT_TRUE(mayMove ? url.length > width - continuationIndent
                                    : url.length > roomOfItsRow)
                    << "URL at " << url.start << " split";
            }
        }
    }
}

bool isWhitespace(unsigned char c) { return c >= 1 && c <= 32 && c != '\t'; }

TEST_F(TextRulesGeneratedLines, TokensAreOrderedDisjointAndAgreeWithTokenAt) {
    for (LexState start : {Region::none, Region::curly, Region::lenticular}) {
        for (const std::string& line : lines_) {
            SCOPED_TRACE("line=" + line);
            const auto charStarts = boundaries(line);
            const LineTokens result = tokenize(line, start);
            EXPECT_EQ(endState(line, start), result.end);

            std::size_t pos = 0;
            for (const Token& token : result.tokens) {
                ASSERT_GE(token.start, pos);
                ASSERT_GT(token.length, 0u);
                ASSERT_TRUE(charStarts.contains(token.start) && charStarts.contains(token.end()));
                for (std::size_t i = pos; i < token.start; ++i) {
                    EXPECT_TRUE(isWhitespace(static_cast<unsigned char>(line[i]))) << i;
                }
                const bool mayHoldSpaces = token.cls == TokenClass::bracketRegion ||
                                           token.cls == TokenClass::comment ||
                                           token.cls == TokenClass::quotedString;
                if (!mayHoldSpaces) {
                    for (std::size_t i = token.start; i < token.end(); ++i) {
                        EXPECT_FALSE(isWhitespace(static_cast<unsigned char>(line[i]))) << i;
                    }
                }
                pos = token.end();
            }
            for (std::size_t i = pos; i < line.size(); ++i) {
                EXPECT_TRUE(isWhitespace(static_cast<unsigned char>(line[i]))) << i;
            }

            for (std::size_t offset = 0; offset <= line.size(); ++offset) {
                const Token* token = findTokenAt(result.tokens, offset);
                const auto found = tokenAt(line, start, offset);
                ASSERT_EQ(found.has_value(), token != nullptr) << offset;
                if (token == nullptr) continue;
                EXPECT_TRUE(token->start <= offset && offset < token->end());
                EXPECT_EQ(found->cls, token->cls);
                EXPECT_EQ(found->text, line.substr(token->start, token->length));
            }
        }
    }
}

TEST_F(TextRulesGeneratedLines, LineStatesMatchATokenizingFromTheTop) {
    std::vector<std::string> text(lines_.begin(), lines_.begin() + 60);
    LineStates states;
    const auto lineAt = [&](std::size_t i) { return std::string_view(text[i]); };
    states.replaceLines(0, 0, text.size(), lineAt);

    std::mt19937 random(7);
    for (int edit = 0; edit < 300; ++edit) {
        std::vector<LexState> before;
        for (std::size_t i = 0; i < states.lineCount(); ++i) before.push_back(states.endOf(i));

        const std::size_t first = random() % (text.size() + 1);
        const std::size_t removed = random() % (std::min<std::size_t>(3, text.size() - first) + 1);
        const std::size_t added = random() % 3;
        std::vector<std::string> inserted;
        for (std::size_t k = 0; k < added; ++k)
            inserted.push_back(lines_[random() % lines_.size()]);
        text.erase(text.begin() + first, text.begin() + first + removed);
        text.insert(text.begin() + first, inserted.begin(), inserted.end());

        const std::size_t changedEnd = states.replaceLines(first, removed, added, lineAt);
        ASSERT_EQ(states.lineCount(), text.size());
        LexState state = Region::none;
        for (std::size_t i = 0; i < text.size(); ++i) {
            EXPECT_EQ(states.startOf(i), state) << "edit " << edit << " line " << i;
            state = endState(text[i], state);
            EXPECT_EQ(states.endOf(i), state) << "edit " << edit << " line " << i;
            if (i >= changedEnd) {
                // Past the reported range every line starts and ends as before the edit.
                const std::size_t old = i - added + removed;
                EXPECT_EQ(states.endOf(i), before[old]) << "edit " << edit << " line " << i;
            }
        }
    }
}

TEST(TextRulesLineStates, InsertedOpenerChangesTheFollowingLinesOnly) {
    std::vector<std::string> text = {"a", "b}", "c", "d"};
    LineStates states;
    const auto lineAt = [&](std::size_t i) { return std::string_view(text[i]); };
    EXPECT_EQ(states.replaceLines(0, 0, 4, lineAt), 4u);
    EXPECT_EQ(states.startOf(2), Region::none);

    text.insert(text.begin() + 1, "{");
    EXPECT_EQ(states.replaceLines(1, 0, 1, lineAt), 3u);  // "{" and "b}" change; "c" does not
    EXPECT_EQ(states.startOf(2), Region::curly);
    EXPECT_EQ(states.startOf(3), Region::none);

    text.erase(text.begin() + 1);
    EXPECT_EQ(states.replaceLines(1, 1, 0, lineAt), 2u);
    EXPECT_EQ(states.startOf(1), Region::none);
    EXPECT_THROW(states.replaceLines(3, 2, 0, lineAt), std::out_of_range);
}

}  // namespace
}  // namespace torvane::view
