// Finding a typed text in the report's UTF-8 text, code point by code point.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace torvane::view {

// The byte offset of the first match of `needle` that begins at or after `from`, or, when there
// is none, the first match from the start of the text (the search wraps around). Matches begin
// only where a code point begins, so a continuation byte never starts one; ASCII letters match
// without regard to case, every other character exactly. Nothing for an empty
// needle or when the text holds no match. `from` may lie anywhere, past the end included.
std::optional<std::size_t> findNext(std::string_view text, std::string_view needle,
                                    std::size_t from);

// The byte offset of the last match that begins before `before`, or, when there is none, the
// last match of the whole text (wrapping around). Same matching rules as findNext.
std::optional<std::size_t> findPrevious(std::string_view text, std::string_view needle,
                                        std::size_t before);

}  // namespace torvane::view
