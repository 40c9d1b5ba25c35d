// The lexical state at the end of every line of a report, kept up to date as lines change, so
// that a view re-tokenizes only from a changed line onward instead of from the top.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "view/rules/tokens.h"

namespace torvane::view {

class LineStates {
  public:
    // Reads line `index` of the text as it is after the change being recorded.
    using LineAt = std::function<std::string_view(std::size_t index)>;

    // Records that lines [first, first + removed) were replaced by `added` new lines
    // (appending is first == lineCount(), removed == 0). Precondition: first + removed <=
    // lineCount(). Recomputes the new lines and then the following ones only while their start
    // state differs from before. Returns the end of the range [first, end) of lines whose tokens
    // may differ from before; lines from `end` on tokenize exactly as they did.
    std::size_t replaceLines(std::size_t first, std::size_t removed, std::size_t added,
                             const LineAt& lineAt);

    void clear() { ends_.clear(); }
    std::size_t lineCount() const { return ends_.size(); }

    // The state at the start of line `index` (Region::none for the first line).
    // Precondition: index <= lineCount().
    LexState startOf(std::size_t index) const {
        return index == 0 ? Region::none : ends_[index - 1];
    }

    // The state at the end of line `index`. Precondition: index < lineCount().
    LexState endOf(std::size_t index) const { return ends_[index]; }

  private:
    std::vector<LexState> ends_;
};

}  // namespace torvane::view
