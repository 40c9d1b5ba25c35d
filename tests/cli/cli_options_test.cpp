// The command line of torvane-cli: options, query checks and the timeout.

#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace torvane::cli {
namespace {

using Args = std::vector<std::string>;

TEST(CliOptions, DefaultsForAPlainQuery) {
    const ParseOutcome parsed = ParseArguments({"example.jp"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const CliOptions& o = *parsed.options;
    EXPECT_EQ(o.query, "example.jp");
    EXPECT_TRUE(o.autoCorrect && o.fallback);
    EXPECT_FALSE(o.server);
    EXPECT_EQ(o.encoding, OutputEncoding::Utf8);
    EXPECT_FALSE(o.timeout);
    EXPECT_FALSE(o.raw || o.history || o.help || o.version);
}

TEST(CliOptions, EveryOptionInBothFormsAndAroundTheQuery) {
    const ParseOutcome parsed =
        ParseArguments({"--no-autocorrect", "--server", "whois.nic.ad.jp", "例え.jp",
                        "--encoding=CP932", "--timeout", "2.5", "--raw", "--history",
                        "--no-fallback"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const CliOptions& o = *parsed.options;
    EXPECT_FALSE(o.autoCorrect);
    EXPECT_EQ(o.server, "whois.nic.ad.jp");
    EXPECT_EQ(o.query, "例え.jp");  // UTF-8, as given
    EXPECT_EQ(o.encoding, OutputEncoding::Cp932);
    EXPECT_EQ(o.timeout, std::chrono::milliseconds(2500));
    EXPECT_TRUE(o.raw && o.history);
    EXPECT_FALSE(o.fallback);
}

TEST(CliOptions, LastValueWinsAndDoubleDashEndsOptions) {
    const ParseOutcome parsed =
        ParseArguments({"--encoding", "cp932", "--encoding=utf-8", "--", "--raw"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->encoding, OutputEncoding::Utf8);
    EXPECT_EQ(parsed.options->query, "--raw");
    EXPECT_FALSE(parsed.options->raw);
}

TEST(CliOptions, HelpAndVersionNeedNoQuery) {
    for (const Args& args : {Args{"--help"}, Args{"-h"}, Args{"--version"}, Args{"x", "y", "-h"}}) {
        const ParseOutcome parsed = ParseArguments(args);
        ASSERT_TRUE(parsed.options) << args.front();
        EXPECT_TRUE(parsed.options->help || parsed.options->version);
    }
}

TEST(CliOptions, BadCommandLinesSayWhatIsWrong) {
    const std::vector<std::pair<Args, std::string>> cases = {
        {{}, "no query"},
        {{"a.jp", "b.jp"}, "one query expected, 2 given"},
        {{"--verbose", "a.jp"}, "unknown option --verbose"},
        {{"-v", "a.jp"}, "unknown option -v"},
        {{"a.jp", "--timeout"}, "--timeout needs a value"},
        {{"--raw=yes", "a.jp"}, "--raw takes no value"},
        {{"--encoding", "latin1", "a.jp"}, "unknown output encoding"},
        {{"--timeout", "0", "a.jp"}, "--timeout"},
        {{"--server", "", "a.jp"}, "--server"},
        {{"--server", "who is", "a.jp"}, "--server"},
        {{"--server", "whois\n", "a.jp"}, "--server"},
        {{""}, "empty"},
        {{"a\r\nb"}, "U+000D at character 2"},
    };
    for (const auto& [args, message] : cases) {
        const ParseOutcome parsed = ParseArguments(args);
        EXPECT_FALSE(parsed.options);
        EXPECT_NE(parsed.error.find(message), std::string::npos) << parsed.error;
    }
}

TEST(CliOptions, QueryProblems) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"example.jp", ""},
        {" example.jp ", ""},
        {"例え.jp", ""},
        {"ｶﾀｶﾅ.jp", ""},
        {"", "empty"},
        {"  \u3000 ", "empty"},
        {"a\nb", "U+000A"},
        {"a\tb", "U+0009"},
        {std::string("a\0b", 3), "U+0000"},
        {"a\x7f", "U+007F"},
        {"a\xc2\x85", "U+0085"},
        {"a\xc2\x9b[31m", "U+009B"},
        {"a\xff", "not valid UTF-8"},
        {"\xc0\xae.jp", "not valid UTF-8"},            // overlong '.'
        {"\xed\xa0\x80.jp", "not valid UTF-8"},        // surrogate
        {"münchen.de", ""},                            // not in CP932: the run maps it
        {"한국.kr", ""},
        {"ελλάδα.gr", ""},
        {"\xf0\x9f\x98\x80.jp", ""},  // the run refuses it as a name, not the parser
        {"what?.jp", ""},                              // a typed '?' is not a lost character
    };
    for (const auto& [query, expected] : cases) {
        const std::string problem = QueryProblem(query);
        if (expected.empty()) {
            EXPECT_EQ(problem, "") << query;
        } else {
            EXPECT_NE(problem.find(expected), std::string::npos) << query << ": " << problem;
        }
    }
}

TEST(CliOptions, TimeoutSeconds) {
    using std::chrono::milliseconds;
    const std::vector<std::pair<std::string, std::optional<milliseconds>>> cases = {
        {"30", milliseconds(30000)}, {"0.5", milliseconds(500)},
        {"0.0001", milliseconds(1)}, {"86400", milliseconds(86400000)},
        {"86400.1", std::nullopt},   {"0", std::nullopt},
        {"-1", std::nullopt},        {"+1", std::nullopt},
        {"1e3", std::nullopt},       {"", std::nullopt},
        {"inf", std::nullopt},       {"nan", std::nullopt},
        {"1s", std::nullopt},        {" 1", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseTimeout(text), expected) << text;
}

}  // namespace
}  // namespace torvane::cli
