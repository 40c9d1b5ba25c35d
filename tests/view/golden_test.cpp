// Data-driven tests: input lines under tests/data/view/golden against reviewed reference output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "text_testing.h"
#include "view/rules/rows.h"
#include "view/rules/tokens.h"

namespace torvane::view {
namespace {

namespace fs = std::filesystem;
using namespace testing;

std::string tokensOutput(const std::vector<std::string>& lines) {
    std::string out;
    LexState state = Region::none;
    std::vector<Token> tokens;
    for (const std::string& line : lines) {
        state = tokenizeInto(line, state, tokens);
        out += renderTokens(line, tokens) + "\n";
    }
    return out;
}

std::string rowsOutput(const std::vector<std::string>& lines) {
    std::string out;
    for (int width : {20, 40, 80}) {
        out += "== W=" + std::to_string(width) + " ==\n";
        for (std::size_t l = 0; l < lines.size(); ++l) {
            const auto rows = breakIntoRows(lines[l], width);
            for (std::size_t r = 0; r < rows.size(); ++r) {
                // A row continuing a "Label: value" line is shown at its indent.
                out += std::to_string(l + 1) + "." + std::to_string(r + 1) + " [" +
                       std::to_string(rows[r].cells) + "] |" + std::string(rows[r].indent, ' ') +
                       lines[l].substr(rows[r].start, rows[r].length) + "|\n";
            }
        }
    }
    return out;
}

std::vector<fs::path> inputsIn(const fs::path& folder) {
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".txt") inputs.push_back(entry.path());
    }
    std::ranges::sort(inputs);
    return inputs;
}

template <typename Render>
void compareWithReferences(const std::string& kind, Render render) {
    const auto inputs = inputsIn(testData() / "golden" / kind);
    ASSERT_FALSE(inputs.empty());
    const bool update = std::getenv("TORVANE_UPDATE_GOLDEN") != nullptr;
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.string());
        const std::string actual = render(splitLines(inCp932(readFile(input))));
        fs::path reference = input;
        reference.replace_extension(".ref");
        if (update) {
            writeFile(reference, actual);
            continue;
        }
        ASSERT_TRUE(fs::exists(reference)) << "no reference " << reference;
        const std::string expected = readFile(reference);
        if (actual != expected) {
            const fs::path dump =
                fs::current_path() / (kind + "-" + input.stem().string() + ".actual");
            writeFile(dump, actual);
            ADD_FAILURE() << "output differs from " << reference << "; actual output in " << dump;
        }
    }
}

TEST(TextRulesGolden, TokensMatchReferences) { compareWithReferences("tokens", tokensOutput); }

TEST(TextRulesGolden, RowsMatchReferences) { compareWithReferences("rows", rowsOutput); }

}  // namespace
}  // namespace torvane::view
