// Helpers shared by the text rules tests: readable test texts that CP932 can write, the WHOIS
// fixtures as report lines, and a tag rendering of tokens for golden files and tables.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "view/rules/tokens.h"

namespace torvane::view::testing {

// UTF-8 test text as it is, after checking that CP932 writes every character of it (so the
// text is one whose report must read exactly as in the CP932 days); throws when not.
std::string inCp932(std::string_view utf8);

// `text` in character code `fromCode` (an iconv name) as UTF-8 with every character that CP932
// lacks replaced by "?": the text the report showed when it held CP932.
std::string cp932RepertoireUtf8(std::string_view text, const char* fromCode);

// Lines of `text`, split at every CR LF, CR or LF (a final line end adds no empty line).
std::vector<std::string> splitLines(std::string_view text);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view content);

// A WHOIS fixture under tests/data/view/whois as report lines in CP932's repertoire
// (cp932RepertoireUtf8), so the goldens and counts made from them stay as they were.
std::vector<std::string> fixtureLines(const std::string& relativePath);

// Every fixture answer file, relative to tests/data/view/whois, sorted.
std::vector<std::string> fixtureNames();

std::filesystem::path testData();

// Tag name of a token's class, e.g. "Url", "Brace", "Lenticular".
std::string tagName(const Token& token);

// `line` (UTF-8) with every token wrapped in <Tag>…</Tag>; whitespace between tokens
// is kept as it is.
std::string renderTokens(std::string_view line, const std::vector<Token>& tokens);

}  // namespace torvane::view::testing
