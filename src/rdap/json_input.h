#pragma once
// Untrusted JSON text into a document, for the bootstrap files and the RDAP
// answers alike. Private to the rdap module: its headers do not show JSON.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace torvane::rdap {

// What ParseLimitedJson throws; what() says what is wrong with the text.
class JsonInputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The deepest nesting of arrays and objects in `text`, counted outside
// strings; stops counting (and returns more than `limit`) once it passes
// `limit`. Brackets need not balance: the count only guards the parser.
std::size_t NestingDepth(std::string_view text, std::size_t limit);

// Parses `text` as one JSON document nested at most `maxDepth` deep. A text
// that is not valid UTF-8 is parsed again mended (unicode::MendUtf8: U+FFFD
// for each ill-formed sequence), so a server's stray Latin-1 byte costs one
// character, not the answer.
// Throws JsonInputError for anything else that is not JSON.
nlohmann::json ParseLimitedJson(std::string_view text, std::size_t maxDepth);
// The same, keeping every object's members in the order they were written
// (for passing a document on as it was received).
nlohmann::ordered_json ParseLimitedOrderedJson(std::string_view text, std::size_t maxDepth);

}  // namespace torvane::rdap
