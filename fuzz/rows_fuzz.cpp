// Row breaking on arbitrary report text, line by line: for every wrap width
// the rows cover the line exactly, in order, none empty but for an empty
// line, none far past the width, continuation rows indented at most half the
// width; and the cell mapping of one width that the input picks agrees with
// the rows cell by cell.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "view/rules/rows.h"

using namespace torvane::view;

namespace {

void CheckRows(std::string_view line, int wrapWidth, bool everyCell) {
    const std::vector<Row> rows = breakIntoRows(line, wrapWidth);
    FUZZ_CHECK(!rows.empty());
    std::size_t next = 0;
    const std::size_t width = static_cast<std::size_t>(
        wrapWidth < kMinWrapWidth ? kMinWrapWidth
                                  : (wrapWidth > kMaxWrapWidth ? kMaxWrapWidth : wrapWidth));
    for (const Row& row : rows) {
        FUZZ_CHECK(row.start == next);
        FUZZ_CHECK(row.length > 0 || line.empty());
        // Hanging punctuation may take up to three cells past the width.
        FUZZ_CHECK(row.cells <= width + 3);
        next = row.start + row.length;
        // A row continuing a "Label: value" line starts under the value, never past half the
        // width; only its indent's cells hold no character.
        FUZZ_CHECK(row.indent <= width / 2 && (row.start > 0 || row.indent == 0));
        FUZZ_CHECK(cellAtOffset(line, row, row.start, wrapWidth) == row.indent);
        FUZZ_CHECK(cellAtOffset(line, row, next, wrapWidth) == row.cells);
        for (std::size_t cell = 0; everyCell && cell < row.cells; ++cell) {
            const std::optional<std::size_t> offset = offsetAtCell(line, row, cell, wrapWidth);
            FUZZ_CHECK(offset.has_value() == (cell >= row.indent));
            if (offset) FUZZ_CHECK(*offset >= row.start && *offset < next);
        }
        FUZZ_CHECK(!offsetAtCell(line, row, row.cells, wrapWidth).has_value());
    }
    FUZZ_CHECK(next == line.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const int cellWidth =
        size == 0 ? kMinWrapWidth : kMinWrapWidth + data[0] % (kMaxWrapWidth - kMinWrapWidth + 1);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        CheckRows(line, 0, false);
        CheckRows(line, 1000, false);
        for (int width = kMinWrapWidth; width <= kMaxWrapWidth; ++width)
            CheckRows(line, width, width == cellWidth);
        start = end + 1;
    }
    return 0;
}
