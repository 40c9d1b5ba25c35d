#pragma once
// The command line of torvane-cli: options, the query argument and their
// checks. Pure: no Qt, no I/O, so it can be tested and fuzzed on its own.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::cli {

enum class OutputEncoding { Utf8, Cp932 };

struct CliOptions {
    // The typed line, UTF-8. Never empty or blank, never holding a control
    // character.
    std::string query;
    // The auto-correct check box (--no-autocorrect clears it).
    bool autoCorrect = true;
    // The manual server (--server), UTF-8; unset means the directory decides.
    std::optional<std::string> server;
    // The "IANA・RDAPで補完" check box (--no-fallback clears it).
    bool fallback = true;
    // --rdap: ask RDAP only, no port 43. --rdap-json (implies --rdap): print
    // the answers' JSON instead of the report.
    bool rdapOnly = false;
    bool rdapJson = false;
    // --json: print the whole run as one JSON document (cli/run_json.h)
    // instead of the report; always UTF-8. Not with --rdap-json.
    bool json = false;
    OutputEncoding encoding = OutputEncoding::Utf8;
    // The whole-run limit (--timeout); unset means no limit.
    std::optional<std::chrono::milliseconds> timeout;
    // --raw: pass answer bytes through even to a terminal.
    bool raw = false;
    // --history: record the query in the history file as the window does.
    bool history = false;
    bool help = false;
    bool version = false;
};

// Either the options or the message that explains what is wrong with the
// command line (exit status 2). --help and --version need no query.
struct ParseOutcome {
    std::optional<CliOptions> options;
    std::string error;
};

// `arguments` without the program name, as UTF-8 bytes. Options may come
// before or after the query; "--" ends the options; "--name=value" and
// "--name value" are both accepted; a repeated option takes the last value.
ParseOutcome ParseArguments(const std::vector<std::string>& arguments);

// Why `utf8` cannot be a query, or empty when it can: it is empty or blank,
// holds a control character (C0, DEL or C1: a CR or LF would let one
// argument send more lines to a server) or is not UTF-8. Whether a name can
// be asked is the run's to say (puny::MapTypedName).
std::string QueryProblem(std::string_view utf8);

// Seconds as given to --timeout ("30", "2.5"): more than 0, at most 86400.
std::optional<std::chrono::milliseconds> ParseTimeout(std::string_view text);

}  // namespace torvane::cli
