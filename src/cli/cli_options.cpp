#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "unicode/utf8_walk.h"

namespace torvane::cli {

namespace {

constexpr double kMaxTimeoutSeconds = 86400;

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsBlank(char32_t c) { return c == ' ' || c == 0x3000; }  // ideographic space too

// The code point at `pos`, `pos` moved past it; nothing for an ill-formed
// sequence. Precondition: pos < text.size().
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos) {
    const unicode::DecodedChar c = unicode::DecodeUtf8At(text, pos);
    pos += c.length;
    if (!c.wellFormed) return std::nullopt;
    return c.value;
}

std::string CodePointName(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

// The options that take a value, and those that do not.
enum class Kind { Flag, Valued };
struct OptionSpec {
    std::string_view name;
    Kind kind;
};
constexpr OptionSpec kOptions[] = {
    {"help", Kind::Flag},       {"version", Kind::Flag},   {"no-autocorrect", Kind::Flag},
    {"raw", Kind::Flag},        {"history", Kind::Flag},   {"server", Kind::Valued},
    {"encoding", Kind::Valued}, {"timeout", Kind::Valued},  {"no-fallback", Kind::Flag},
    {"rdap", Kind::Flag},       {"rdap-json", Kind::Flag},  {"json", Kind::Flag},
};

const OptionSpec* FindOption(std::string_view name) {
    for (const OptionSpec& option : kOptions)
        if (option.name == name) return &option;
    return nullptr;
}

// Applies one option; returns an error message or empty.
std::string Apply(CliOptions& options, std::string_view name, const std::string& value) {
    if (name == "help") {
        options.help = true;
    } else if (name == "version") {
        options.version = true;
    } else if (name == "no-autocorrect") {
        options.autoCorrect = false;
    } else if (name == "no-fallback") {
        options.fallback = false;
    } else if (name == "rdap") {
        options.rdapOnly = true;
    } else if (name == "rdap-json") {
        options.rdapOnly = options.rdapJson = true;
    } else if (name == "json") {
        options.json = true;
    } else if (name == "raw") {
        options.raw = true;
    } else if (name == "history") {
        options.history = true;
    } else if (name == "encoding") {
        std::string lower = value;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower == "utf-8" || lower == "utf8") {
            options.encoding = OutputEncoding::Utf8;
        } else if (lower == "cp932" || lower == "shift_jis" || lower == "sjis") {
            options.encoding = OutputEncoding::Cp932;
        } else {
            return "--encoding: unknown output encoding \"" + value + "\" (use utf-8 or cp932)";
        }
    } else if (name == "timeout") {
        options.timeout = ParseTimeout(value);
        if (!options.timeout) {
            return "--timeout: not a number of seconds in (0, 86400]: \"" + value + "\"";
        }
    } else if (name == "server") {
        std::size_t pos = 0;
        bool clean = !value.empty();
        while (clean && pos < value.size()) {
            const auto c = DecodeUtf8(value, pos);
            clean = c && !IsControl(*c) && !IsBlank(*c);
        }
        if (!clean) {
            return "--server: a host name or IPv4 address without spaces or control characters "
                   "is needed, not \"" +
                   value + "\"";
        }
        options.server = value;
    }
    return {};
}

}  // namespace

std::string QueryProblem(std::string_view utf8) {
    std::size_t pos = 0;
    bool blank = true;
    std::size_t character = 0;
    while (pos < utf8.size()) {
        ++character;
        const auto c = DecodeUtf8(utf8, pos);
        if (!c) return "the query is not valid UTF-8 text";
        if (IsControl(*c)) {
            return "the query holds the control character " + CodePointName(*c) + " at character " +
                   std::to_string(character) +
                   "; a query is a single line without control characters";
        }
        if (!IsBlank(*c)) blank = false;
    }
    if (blank) return "the query is empty";
    return {};
}

std::optional<std::chrono::milliseconds> ParseTimeout(std::string_view text) {
    double seconds = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
    const auto [stop, ec] = std::from_chars(text.data(), end, seconds, std::chars_format::fixed);
    if (ec != std::errc() || stop != end || !std::isfinite(seconds) || seconds <= 0 ||
        seconds > kMaxTimeoutSeconds) {
        return std::nullopt;
    }
    // At least one millisecond, so that a tiny limit still means "a limit".
    const auto ms = static_cast<long long>(std::ceil(seconds * 1000));
    return std::chrono::milliseconds(std::max<long long>(ms, 1));
}

ParseOutcome ParseArguments(const std::vector<std::string>& arguments) {
    CliOptions options;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            positional.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "-h") {
            options.help = true;
            continue;
        }
        if (argument.rfind("--", 0) != 0) return {std::nullopt, "unknown option " + argument};
        const std::size_t equals = argument.find('=');
        const std::string name =
            argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionSpec* known = FindOption(name);
        if (known == nullptr) return {std::nullopt, "unknown option --" + name};
        std::string value;
        if (known->kind == Kind::Valued) {
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return {std::nullopt, "--" + name + " needs a value"};
            }
        } else if (equals != std::string::npos) {
            return {std::nullopt, "--" + name + " takes no value"};
        }
        if (std::string error = Apply(options, name, value); !error.empty()) {
            return {std::nullopt, error};
        }
    }
    if (options.help || options.version) return {options, {}};
    if (options.json && options.rdapJson) {
        return {std::nullopt,
                "--json and --rdap-json print different documents; use --json --rdap for the "
                "RDAP run as one document"};
    }
    if (positional.empty()) return {std::nullopt, "no query given"};
    if (positional.size() > 1) {
        return {std::nullopt, "one query expected, " + std::to_string(positional.size()) +
                                  " given (quote a query that holds spaces)"};
    }
    if (std::string problem = QueryProblem(positional.front()); !problem.empty()) {
        return {std::nullopt, problem};
    }
    options.query = positional.front();
    return {options, {}};
}

}  // namespace torvane::cli
