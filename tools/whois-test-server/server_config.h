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
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace torvane::testserver {

// One HTTP answer. Content-Length and "Connection: close" are always sent.
struct HttpResponse {
    HttpResponse() = default;
    HttpResponse(int status, std::string body, std::string content_type = "application/rdap+json",
                 std::vector<std::pair<std::string, std::string>> headers = {})
        : status(status),
          body(std::move(body)),
          content_type(std::move(content_type)),
          headers(std::move(headers)) {}

    int status = 200;
    std::string body;
    std::string content_type = "application/rdap+json";
    // Sent as they are after the standard ones, e.g. {"Location", "https://..."}.
    std::vector<std::pair<std::string, std::string>> headers;
};

// The 404 an RDAP server gives for an unknown object.
HttpResponse RdapNotFound();

// What an HTTP server (ServerConfig::http) answers: by the request's path
// (the target without "?query"), then from a file, then the default.
struct HttpConfig {
    std::map<std::string, HttpResponse> responses;
    // The path "/domain/google.com" names the file DIR/domain/google.com, or
    // else DIR/domain/google.com.json; read at request time and served with
    // status 200. A path with an empty, "." or ".." segment, a backslash or a
    // NUL never names a file.
    std::optional<std::filesystem::path> files_dir;
    HttpResponse default_response = RdapNotFound();
    // Both set: serve over TLS with this PEM certificate (chain) and key.
    std::optional<std::filesystem::path> tls_certificate;
    std::optional<std::filesystem::path> tls_key;
};

// One request as an HTTP server received it. Header names are lower case.
struct HttpRequest {
    std::string method;
    std::string target;  // as sent, query string included
    std::string path;    // the target without "?query"
    std::map<std::string, std::string> headers;
};

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
    // Queries that get no answer at all, only a reset: one server that has
    // switched its service off for some names (a demonstration of what a
    // client does when a referred server fails).
    std::set<std::string> reset_queries;
    // Do not listen: connections to the port are refused.
    bool refuse = false;
    // Listen but never accept, with the accept queue already full: a connect
    // gets no answer at all and waits until the client gives up (a server
    // that is down behind a firewall that drops packets).
    bool never_accept = false;

    // When set, the server speaks HTTP/1.1 instead of WHOIS: it reads one
    // request head (up to the empty line, at most 64 KiB), records it (the
    // bytes as the query, and parsed), and answers from here; the answer
    // fields above are not used. delay, drip (the whole response, head
    // included), repeat_to_size (the body; Content-Length says the full
    // size), silent, hold, reset and refuse act as for WHOIS.
    std::optional<HttpConfig> http;
};

// Turns "\r", "\n", "\t", "\0", "\\" and "\xHH" into their bytes; every other
// byte stays as it is. Throws std::invalid_argument for a bad "\x" escape or
// a trailing backslash.
std::string Unescape(const std::string& text);

// The reverse, for printing received bytes on one line: printable ASCII
// except the backslash stays, everything else becomes an escape.
std::string Escape(const std::string& bytes);

}  // namespace torvane::testserver
