#include "text_testing.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "query/text_lines.h"

namespace torvane::view::testing {
namespace {

// Converts with iconv; on a character that has no form in the target, writes `replacement` and
// skips one input byte (or the whole character when `skipChar` tells its length), or throws
// when `replacement` is empty.
std::string convert(std::string_view text, const char* from, const char* to,
                    std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    std::string out;
    std::string buffer(4 * text.size() + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (true) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t rc = iconv(cd, inLeft > 0 ? &in : nullptr, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), outPtr);
        if (rc != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) break;
            continue;
        }
        if (errno == E2BIG) continue;
        if (replacement.empty()) {
            iconv_close(cd);
            throw std::runtime_error("test text does not convert: " + std::string(text));
        }
        out.append(replacement);
        // Skip the rest of an unconvertible UTF-8 character, or one byte of anything else.
        std::size_t skip = 1;
        if (std::string_view(from) == "UTF-8") {
            while (skip < inLeft && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) ++skip;
        }
        in += skip;
        inLeft -= skip;
        if (inLeft == 0) break;
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string inCp932(std::string_view utf8Text) {
    convert(utf8Text, "UTF-8", "CP932", "");
    return std::string(utf8Text);
}

std::string cp932RepertoireUtf8(std::string_view text, const char* fromCode) {
    return convert(convert(text, fromCode, "CP932", "?"), "CP932", "UTF-8", "?");
}

std::vector<std::string> splitLines(std::string_view text) { return query::SplitLines(text); }

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::filesystem::path& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::filesystem::path testData() { return std::filesystem::path(TORVANE_TEST_DATA) / "view"; }

std::vector<std::string> fixtureLines(const std::string& relativePath) {
    const std::string raw = readFile(testData() / "whois" / relativePath);
    const bool iso2022 = raw.find('\x1B') != std::string::npos;
    return splitLines(cp932RepertoireUtf8(raw, iso2022 ? "ISO-2022-JP" : "UTF-8"));
}

std::vector<std::string> fixtureNames() {
    std::vector<std::string> names;
    const auto root = testData() / "whois";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const auto relative = std::filesystem::relative(entry.path(), root);
        if (!entry.is_regular_file() || entry.path().extension() != ".txt" ||
            relative.begin()->string() == "LICENSES") {
            continue;
        }
        names.push_back(relative.generic_string());
    }
    std::ranges::sort(names);
    return names;
}

std::string tagName(const Token& token) {
    switch (token.cls) {
        case TokenClass::bracketRegion:
            return token.region == Region::curly ? "Brace" : "Lenticular";
        case TokenClass::mailAddress:
            return "Mail";
        case TokenClass::url:
            return "Url";
        case TokenClass::comment:
            return "Comment";
        case TokenClass::quotedString:
            return "String";
        case TokenClass::word:
            return "Word";
        case TokenClass::number:
            return "Number";
        case TokenClass::japaneseText:
            return "Japanese";
        case TokenClass::tab:
            return "Tab";
        case TokenClass::symbol:
            return "Symbol";
        case TokenClass::reservedWord:
            return "Reserved";
        case TokenClass::warning:
            return "Warning";
    }
    return "?";
}

std::string renderTokens(std::string_view line, const std::vector<Token>& tokens) {
    std::string out;
    std::size_t pos = 0;
    for (const Token& token : tokens) {
        out += line.substr(pos, token.start - pos);
        const std::string tag = tagName(token);
        out += "<" + tag + ">";
        out += line.substr(token.start, token.length);
        out += "</" + tag + ">";
        pos = token.end();
    }
    out += line.substr(pos);
    return out;
}

}  // namespace torvane::view::testing
