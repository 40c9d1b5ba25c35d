#include "http_message.h"

#include <fstream>
#include <iterator>

namespace torvane::testserver {
namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return text;
}

const char* ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 307:
            return "Temporary Redirect";
        case 308:
            return "Permanent Redirect";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 429:
            return "Too Many Requests";
        case 500:
            return "Internal Server Error";
        case 503:
            return "Service Unavailable";
        default:
            return "Status";
    }
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

HttpResponse RdapNotFound() {
    HttpResponse response;
    response.status = 404;
    response.body = R"({"errorCode":404,"title":"Not Found","description":["No such object."]})";
    return response;
}

std::size_t RequestHeadEnd(const std::string& bytes) {
    // A client may end lines with LF alone; both forms end the head.
    const auto crlf = bytes.find("\r\n\r\n");
    const auto lf = bytes.find("\n\n");
    if (crlf == std::string::npos && lf == std::string::npos) return std::string::npos;
    if (lf == std::string::npos || (crlf != std::string::npos && crlf < lf)) return crlf + 4;
    return lf + 2;
}

std::optional<HttpRequest> ParseRequestHead(const std::string& head) {
    HttpRequest request;
    std::size_t start = 0;
    bool first = true;
    while (start < head.size()) {
        auto end = head.find('\n', start);
        if (end == std::string::npos) end = head.size();
        std::string line = head.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (first) {
            first = false;
            const auto space1 = line.find(' ');
            const auto space2 = line.find(' ', space1 == std::string::npos ? 0 : space1 + 1);
            if (space1 == std::string::npos || space2 == std::string::npos) return std::nullopt;
            request.method = line.substr(0, space1);
            request.target = line.substr(space1 + 1, space2 - space1 - 1);
            if (request.method.empty() || request.target.empty()) return std::nullopt;
            request.path = request.target.substr(0, request.target.find('?'));
            continue;
        }
        if (line.empty()) break;
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        request.headers[Lower(Trim(line.substr(0, colon)))] = Trim(line.substr(colon + 1));
    }
    if (first) return std::nullopt;
    return request;
}

std::optional<std::filesystem::path> FileForPath(const std::filesystem::path& dir,
                                                 const std::string& path) {
    if (path.size() < 2 || path.front() != '/') return std::nullopt;
    if (path.find('\0') != std::string::npos || path.find('\\') != std::string::npos)
        return std::nullopt;
    std::filesystem::path file = dir;
    std::size_t start = 1;
    for (;;) {
        const auto slash = path.find('/', start);
        const std::string segment = path.substr(start, slash - start);
        if (segment.empty() || segment == "." || segment == "..") return std::nullopt;
        file /= segment;
        if (slash == std::string::npos) return file;
        start = slash + 1;
    }
}

HttpResponse ResponseFor(const HttpConfig& config, const HttpRequest& request) {
    if (auto it = config.responses.find(request.path); it != config.responses.end())
        return it->second;
    if (config.files_dir) {
        if (const auto file = FileForPath(*config.files_dir, request.path)) {
            auto body = ReadWholeFile(*file);
            if (!body) body = ReadWholeFile(file->string() + ".json");
            if (body) {
                HttpResponse response;
                response.body = std::move(*body);
                return response;
            }
        }
    }
    return config.default_response;
}

std::string ResponseHead(const HttpResponse& response, std::uint64_t content_length) {
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                       ReasonPhrase(response.status) + "\r\n";
    if (!response.content_type.empty()) head += "Content-Type: " + response.content_type + "\r\n";
    head += "Content-Length: " + std::to_string(content_length) + "\r\n";
    head += "Connection: close\r\n";
    for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
    head += "\r\n";
    return head;
}

}  // namespace torvane::testserver
