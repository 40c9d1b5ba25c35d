#pragma once
// What one named test server does: where it listens, what it answers to which
// query, and how it misbehaves. Several of them run inside one
// WhoisTestServer, each on its own 127.0.0.1 port.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace torvane::testserver {

struct ServerConfig {
    std::string name;
    // 0 asks for an ephemeral port; the one chosen is reported by Port().
    std::uint16_t port = 0;

    // When set, asked first, on a server thread, with the query (the received
    // line without its CR LF or LF); the answer it returns is sent. Lets a
    // test answer each connection differently (a chain of referrals).
    std::function<std::string(const std::string& query)> answer_function;
    // Answers keyed by the query (the received line without its CR LF or LF),
    // byte-exact. Looked up next.
    std::map<std::string, std::string> answers;
    // Then a file named exactly like the query in this folder, read at the
    // time of the query (queries containing '/' or NUL never match a file).
    std::optional<std::filesystem::path> answers_dir;
    // Then this; with none, nothing is sent.
    std::optional<std::string> default_answer;

    // Wait this long after the query before sending.
    std::chrono::milliseconds delay{0};
    // When positive: send the answer over and over, the last copy cut, until
    // exactly this many bytes went out (an answer far larger than what is
    // kept in memory). Not combined with drip.
    std::uint64_t repeat_to_size = 0;
    // When positive: send one byte at a time with this interval.
    std::chrono::milliseconds drip{0};
    // Send nothing at all (the query is still read and recorded).
    bool silent = false;
    // Never close the connection; it ends only when the server stops or the
    // client closes.
    bool hold = false;
    // End the connection with a reset (RST) instead of an orderly close.
    bool reset = false;
    // Do not listen: connections to the port are refused.
    bool refuse = false;
};

// Turns "\r", "\n", "\t", "\0", "\\" and "\xHH" into their bytes; every other
// byte stays as it is. Throws std::invalid_argument for a bad "\x" escape or
// a trailing backslash.
std::string Unescape(const std::string& text);

// The reverse, for printing received bytes on one line: printable ASCII
// except the backslash stays, everything else becomes an escape.
std::string Escape(const std::string& bytes);

}  // namespace torvane::testserver
