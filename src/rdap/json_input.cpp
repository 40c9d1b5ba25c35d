#include "rdap/json_input.h"

#include <algorithm>

#include "unicode/utf8_walk.h"

namespace torvane::rdap {
std::size_t NestingDepth(std::string_view text, std::size_t limit) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > limit) return deepest;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

namespace {

template <typename Json>
Json ParseLimited(std::string_view text, std::size_t maxDepth) {
    if (NestingDepth(text, maxDepth) > maxDepth) {
        throw JsonInputError("JSON nested deeper than " + std::to_string(maxDepth) + " levels");
    }
    try {
        return Json::parse(text.begin(), text.end());
    } catch (const nlohmann::json::exception& first) {
        const std::string repaired = unicode::MendUtf8(text);
        if (repaired == text) throw JsonInputError(first.what());
        try {
            return Json::parse(repaired.begin(), repaired.end());
        } catch (const nlohmann::json::exception& second) {
            throw JsonInputError(second.what());
        }
    }
}

}  // namespace

nlohmann::json ParseLimitedJson(std::string_view text, std::size_t maxDepth) {
    return ParseLimited<nlohmann::json>(text, maxDepth);
}

nlohmann::ordered_json ParseLimitedOrderedJson(std::string_view text, std::size_t maxDepth) {
    return ParseLimited<nlohmann::ordered_json>(text, maxDepth);
}

}  // namespace torvane::rdap
