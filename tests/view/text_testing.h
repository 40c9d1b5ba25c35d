// Helpers shared by the text rules tests: CP932 conversion for readable test texts, the WHOIS
// fixtures as report lines, and a tag rendering of tokens for golden files and tables.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "view/rules/tokens.h"

namespace torvane::view::testing {

// UTF-8 test text as CP932 bytes; throws when a character has no CP932 form.
std::string sj(std::string_view utf8);

// CP932 bytes as UTF-8 for messages and golden files; bytes that do not convert become "?".
std::string utf8(std::string_view cp932);

// `text` in character code `fromCode` (an iconv name) as CP932; characters that CP932 lacks
// become "?".
std::string toCp932Replacing(std::string_view text, const char* fromCode);

// Lines of `text`, split at every CR LF, CR or LF (a final line end adds no empty line).
std::vector<std::string> splitLines(std::string_view text);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view content);

// A WHOIS fixture under tests/data/view/whois as CP932 report lines.
std::vector<std::string> fixtureLines(const std::string& relativePath);

// Every fixture answer file, relative to tests/data/view/whois, sorted.
std::vector<std::string> fixtureNames();

std::filesystem::path testData();

// Tag name of a token's class, e.g. "Url", "Brace", "Lenticular".
std::string tagName(const Token& token);

// `line` (CP932) as UTF-8 with every token wrapped in <Tag>…</Tag>; whitespace between tokens
// is kept as it is.
std::string renderTokens(std::string_view line, const std::vector<Token>& tokens);

}  // namespace torvane::view::testing
