#include "view/rules/line_states.h"

#include <stdexcept>

namespace torvane::view {

std::size_t LineStates::replaceLines(std::size_t first, std::size_t removed, std::size_t added,
                                     const LineAt& lineAt) {
    if (first > ends_.size() || removed > ends_.size() - first) {
        throw std::out_of_range("LineStates::replaceLines: range outside the text");
    }
    // The start state that the first line after the replaced ones had before the change.
    LexState oldStartAfter = startOf(first + removed);

    const auto firstIt = ends_.begin() + static_cast<std::ptrdiff_t>(first);
    ends_.erase(firstIt, firstIt + static_cast<std::ptrdiff_t>(removed));
    ends_.insert(ends_.begin() + static_cast<std::ptrdiff_t>(first), added, Region::none);

    LexState state = startOf(first);
    std::size_t i = first;
    for (; i < first + added; ++i) {
        state = endState(lineAt(i), state);
        ends_[i] = state;
    }
    // Past the new lines, a line whose start state is unchanged ends as before, and so do all
    // lines after it.
    for (; i < ends_.size() && state != oldStartAfter; ++i) {
        oldStartAfter = ends_[i];
        state = endState(lineAt(i), state);
        ends_[i] = state;
    }
    return i;
}

}  // namespace torvane::view
