#include "rdap/json_input.h"

#include <algorithm>

namespace torvane::rdap {
namespace {

// Length of the well-formed UTF-8 sequence at the start of `rest`, or 0.
std::size_t Utf8SequenceLength(std::string_view rest) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(rest[i]); };
    const auto trail = [&](std::size_t i) { return i < rest.size() && (byte(i) & 0xC0) == 0x80; };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return trail(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!trail(1) || !trail(2)) return 0;
        // E0 needs A0-BF (no overlong form), ED needs 80-9F (no surrogate).
        if (lead == 0xE0 && byte(1) < 0xA0) return 0;
        if (lead == 0xED && byte(1) > 0x9F) return 0;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!trail(1) || !trail(2) || !trail(3)) return 0;
        if (lead == 0xF0 && byte(1) < 0x90) return 0;
        if (lead == 0xF4 && byte(1) > 0x8F) return 0;
        return 4;
    }
    return 0;
}

}  // namespace

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

std::string ReplaceInvalidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0) {
            out += '?';
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

nlohmann::json ParseLimitedJson(std::string_view text, std::size_t maxDepth) {
    if (NestingDepth(text, maxDepth) > maxDepth) {
        throw JsonInputError("JSON nested deeper than " + std::to_string(maxDepth) + " levels");
    }
    try {
        return nlohmann::json::parse(text.begin(), text.end());
    } catch (const nlohmann::json::exception& first) {
        const std::string repaired = ReplaceInvalidUtf8(text);
        if (repaired == text) throw JsonInputError(first.what());
        try {
            return nlohmann::json::parse(repaired.begin(), repaired.end());
        } catch (const nlohmann::json::exception& second) {
            throw JsonInputError(second.what());
        }
    }
}

}  // namespace torvane::rdap
