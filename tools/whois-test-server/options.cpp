#include "options.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

namespace torvane::testserver {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kFlags = {
    "silent", "hold", "reset", "refuse", "never-accept", "help", "stop-with-parent", "http"};
const std::set<std::string> kValued = {"server",         "answer",         "answer-file",
                                       "answers-dir",    "default-answer", "default-answer-file",
                                       "delay",          "drip",           "config",
                                       "ports-file",     "record",         "duration",
                                       "repeat-to-size", "files-dir",      "response",
                                       "response-file",  "redirect",       "default-response",
                                       "tls-cert",       "tls-key",        "reset-query",
                                       "response-type",  "response-header"};

[[noreturn]] void Fail(const std::string& message) { throw std::invalid_argument(message); }

long ParseNumber(const std::string& option, const std::string& text, long max) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > max) {
        Fail("--" + option + ": not a number in 0.." + std::to_string(max) + ": " + text);
    }
    return value;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) Fail("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(file), {});
}

fs::path Resolve(const fs::path& base, const std::string& path) {
    const fs::path p(path);
    return p.is_absolute() || base.empty() ? p : base / p;
}

std::pair<std::string, std::string> SplitQueryValue(const std::string& option,
                                                    const std::string& value) {
    const auto equals = value.find('=');
    if (equals == std::string::npos) Fail("--" + option + " wants QUERY=VALUE: " + value);
    return {value.substr(0, equals), value.substr(equals + 1)};
}

// "STATUS:TEXT" with TEXT escaped, as --response and --default-response take.
HttpResponse StatusAndText(const std::string& option, const std::string& value) {
    const auto colon = value.find(':');
    if (colon == std::string::npos) Fail("--" + option + " wants STATUS:TEXT: " + value);
    HttpResponse response;
    response.status = static_cast<int>(ParseNumber(option, value.substr(0, colon), 599));
    if (response.status < 100) Fail("--" + option + ": no HTTP status: " + value);
    response.body = Unescape(value.substr(colon + 1));
    return response;
}

class Parser {
  public:
    ProgramOptions options;

    void Apply(const std::string& name, const std::string& value, const fs::path& base) {
        if (name == "help") {
            options.help = true;
        } else if (name == "stop-with-parent") {
            options.stop_with_parent = true;
        } else if (name == "config") {
            ReadConfig(Resolve(base, value));
        } else if (name == "ports-file") {
            options.ports_file = Resolve(base, value);
        } else if (name == "record") {
            options.record_file = Resolve(base, value);
        } else if (name == "duration") {
            options.duration = std::chrono::seconds(ParseNumber(name, value, 86400));
        } else if (name == "server") {
            ServerConfig server;
            const auto colon = value.rfind(':');
            server.name = value.substr(0, colon);
            if (colon != std::string::npos)
                server.port = std::uint16_t(ParseNumber(name, value.substr(colon + 1), 65535));
            if (server.name.empty()) Fail("--server wants NAME[:PORT]");
            options.servers.push_back(std::move(server));
        } else {
            ApplyToServer(name, value, base);
        }
    }

    void ReadConfig(const fs::path& path) {
        if (++depth_ > 8) Fail("configuration files include each other: " + path.string());
        const std::string text = ReadFile(path);
        std::size_t start = 0;
        int line_number = 0;
        while (start < text.size()) {
            auto end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            start = end + 1;
            ++line_number;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto first = line.find_first_not_of(" \t");
            if (first == std::string::npos || line[first] == '#') continue;
            line = line.substr(first);
            const auto split = line.find_first_of(" \t=");
            const std::string name = line.substr(0, split);
            std::string value;
            if (split != std::string::npos) {
                const auto value_start = line.find_first_not_of(" \t", split + 1);
                if (value_start != std::string::npos) value = line.substr(value_start);
                if (line[split] == '=') value = line.substr(split + 1);
            }
            CheckName(name, path.string() + ":" + std::to_string(line_number));
            if (kValued.count(name) && split == std::string::npos) {
                Fail(path.string() + ":" + std::to_string(line_number) + ": " + name +
                     " wants a value");
            }
            Apply(name, value, path.parent_path());
        }
        --depth_;
    }

    static void CheckName(const std::string& name, const std::string& where) {
        if (!kFlags.count(name) && !kValued.count(name)) Fail(where + ": unknown option " + name);
    }

  private:
    ServerConfig& Current(const std::string& name) {
        if (options.servers.empty())
            Fail("--" + name + " belongs to a server: give --server NAME first");
        return options.servers.back();
    }

    void ApplyToServer(const std::string& name, const std::string& value, const fs::path& base) {
        ServerConfig& server = Current(name);
        if (name == "answer") {
            auto [query, text] = SplitQueryValue(name, value);
            server.answers[Unescape(query)] = Unescape(text);
        } else if (name == "answer-file") {
            auto [query, path] = SplitQueryValue(name, value);
            server.answers[Unescape(query)] = ReadFile(Resolve(base, path));
        } else if (name == "answers-dir") {
            server.answers_dir = Resolve(base, value);
        } else if (name == "default-answer") {
            server.default_answer = Unescape(value);
        } else if (name == "default-answer-file") {
            server.default_answer = ReadFile(Resolve(base, value));
        } else if (name == "delay") {
            server.delay = std::chrono::milliseconds(ParseNumber(name, value, 3600000));
        } else if (name == "drip") {
            server.drip = std::chrono::milliseconds(ParseNumber(name, value, 60000));
        } else if (name == "repeat-to-size") {
            // Up to 4 GiB: far past any answer a client should keep.
            server.repeat_to_size =
                static_cast<std::uint64_t>(ParseNumber(name, value, 4L * 1024 * 1024 * 1024));
        } else if (name == "http") {
            Http(server);
        } else if (name == "silent") {
            server.silent = true;
        } else if (name == "hold") {
            server.hold = true;
        } else if (name == "reset") {
            server.reset = true;
        } else if (name == "refuse") {
            server.refuse = true;
        } else if (name == "never-accept") {
            server.never_accept = true;
        } else if (name == "reset-query") {
            server.reset_queries.insert(Unescape(value));
        } else {
            ApplyToHttp(Http(server), name, value, base);
        }
    }

    static HttpConfig& Http(ServerConfig& server) {
        if (!server.http) server.http.emplace();
        return *server.http;
    }

    void ApplyToHttp(HttpConfig& http, const std::string& name, const std::string& value,
                     const fs::path& base) {
        if (name == "files-dir") {
            http.files_dir = Resolve(base, value);
        } else if (name == "response") {
            auto [path, text] = SplitQueryValue(name, value);
            HttpResponse& response = http.responses[path];
            std::vector<std::pair<std::string, std::string>> headers = std::move(response.headers);
            response = StatusAndText(name, text);
            response.headers = std::move(headers);
        } else if (name == "response-header") {
            // Kept whichever of the path's options comes first.
            auto [path, header] = SplitQueryValue(name, value);
            const std::size_t colon = header.find(':');
            if (colon == std::string::npos || colon == 0)
                Fail("--" + name + ": not NAME:VALUE: " + header);
            const std::size_t start = header.find_first_not_of(' ', colon + 1);
            http.responses[path].headers.emplace_back(
                header.substr(0, colon),
                start == std::string::npos ? std::string() : header.substr(start));
        } else if (name == "response-file") {
            auto [path, file] = SplitQueryValue(name, value);
            http.responses[path].body = ReadFile(Resolve(base, file));
        } else if (name == "redirect") {
            auto [path, location] = SplitQueryValue(name, value);
            HttpResponse& response = http.responses[path];
            response.status = 302;
            response.headers = {{"Location", location}};
        } else if (name == "response-type") {
            auto [path, type] = SplitQueryValue(name, value);
            http.responses[path].content_type = type;
        } else if (name == "default-response") {
            http.default_response = StatusAndText(name, value);
        } else if (name == "tls-cert") {
            http.tls_certificate = Resolve(base, value);
        } else if (name == "tls-key") {
            http.tls_key = Resolve(base, value);
        }
    }

    int depth_ = 0;
};

}  // namespace

ProgramOptions ParseArguments(const std::vector<std::string>& arguments) {
    Parser parser;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) Fail("unexpected argument: " + argument);
        std::string name = argument.substr(2);
        std::string value;
        const auto equals = name.find('=');
        const bool inline_value = equals != std::string::npos;
        if (inline_value) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        Parser::CheckName(name, "command line");
        if (kValued.count(name) && !inline_value) {
            if (++i == arguments.size()) Fail("--" + name + " wants a value");
            value = arguments[i];
        }
        parser.Apply(name, value, {});
    }
    if (parser.options.servers.empty() && !parser.options.help)
        Fail("no server: give at least one --server NAME");
    return std::move(parser.options);
}

std::string UsageText() {
    return R"(Usage: whois-test-server [OPTION]...
A loopback WHOIS server for Torvane's tests and demonstrations. It serves one
or more named servers, each on its own 127.0.0.1 port, reads one query line
per connection, records it, answers and closes.

Program options:
  --config FILE            read options from FILE, one per line: "name value"
                           or "name=value" (no leading --), # starts a comment;
                           relative paths are taken from FILE's folder
  --ports-file FILE        once listening, write "NAME PORT" lines to FILE
  --record FILE            append every received query as NAME<TAB>bytes
  --duration SECONDS       stop by itself after SECONDS (default: run until
                           SIGINT or SIGTERM)
  --stop-with-parent       stop when the process that started this one ends,
                           however it ends
  --help                   show this text

Server options (they apply to the latest --server):
  --server NAME[:PORT]     start a server; PORT 0 or none picks a free port
  --answer QUERY=TEXT      answer QUERY with TEXT
  --answer-file QUERY=FILE answer QUERY with the bytes of FILE
  --answers-dir DIR        answer a query with the file DIR/QUERY if it exists
  --default-answer TEXT    answer for every other query (default: nothing)
  --default-answer-file FILE
  --delay MS               wait MS milliseconds before answering
  --drip MS                send one byte every MS milliseconds
  --repeat-to-size BYTES   send the answer over and over until BYTES went out
                           (the last copy cut; not with --drip)
  --silent                 send nothing
  --hold                   never close; wait for the client to close
  --reset                  end with a reset (RST) instead of an orderly close
  --refuse                 do not listen: connections are refused
  --never-accept           listen but never accept: a connect is never answered
  --reset-query QUERY      reset the connection of QUERY without answering
                           (the service switched off for that name)

HTTP servers (for RDAP; each option below makes the latest server one):
  --http                   speak HTTP/1.1 instead of WHOIS: one request per
                           connection, answered by the request's path
  --response PATH=STATUS:TEXT   answer PATH with STATUS and the body TEXT
  --response-file PATH=FILE     answer PATH with 200 and the bytes of FILE
  --redirect PATH=LOCATION answer PATH with 302 and "Location: LOCATION"
  --response-type PATH=TYPE     send PATH's response with "Content-Type: TYPE"
                           (empty: no Content-Type); after its --response
  --response-header PATH=NAME:VALUE
                           add the header "NAME: VALUE" to PATH's response
                           (e.g. Retry-After beside a 429, Content-Encoding:
                           gzip for a --response-file of gzip bytes); may be
                           repeated
  --files-dir DIR          answer /a/b with 200 and the file DIR/a/b, or else
                           DIR/a/b.json (no "..", no empty segment)
  --default-response STATUS:TEXT
                           for every other path (default: 404 with an RDAP
                           error object)
  --tls-cert FILE          serve over TLS with this PEM certificate chain ...
  --tls-key FILE           ... and this PEM private key
  Bodies are sent as application/rdap+json unless --response-type says, and
  byte-exact. --delay, --drip, --repeat-to-size, --silent, --hold, --reset and
  --refuse work as for WHOIS.

TEXT and QUERY take the escapes \r \n \t \0 \\ and \xHH, so zero bytes and
invalid sequences can be served. The query key is the received line without
its CR LF. Answers are looked up in --answer, then --answers-dir, then the
default.

On start the program prints "listening NAME PORT" (or "refusing NAME PORT")
for every server, "TORVANE_HOST_MAP=..." to point Torvane at them, and
"ready"; then "query NAME BYTES" for every query received.
)";
}

}  // namespace torvane::testserver
