#pragma once
// The HTTP side of the test server without any socket: parsing a request
// head, choosing the response, writing the response head.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "server_config.h"

namespace torvane::testserver {

// The position just past the empty line that ends a request head in
// `bytes`, or npos while it has not arrived.
std::size_t RequestHeadEnd(const std::string& bytes);

// Parses "METHOD TARGET VERSION" and the header lines (names lower-cased,
// values trimmed; a repeated name keeps the last value). Lines may end in
// CR LF or LF. Nullopt when the request line lacks its three parts.
std::optional<HttpRequest> ParseRequestHead(const std::string& head);

// The file that `path` names under `dir` (see HttpConfig::files_dir), or
// nullopt for a path that must not name a file. Does not look at the disk.
std::optional<std::filesystem::path> FileForPath(const std::filesystem::path& dir,
                                                 const std::string& path);

// The response for `request`: HttpConfig::responses, then files_dir, then
// the default.
HttpResponse ResponseFor(const HttpConfig& config, const HttpRequest& request);

// Status line and headers up to and including the empty line, announcing a
// body of `content_length` bytes.
std::string ResponseHead(const HttpResponse& response, std::uint64_t content_length);

}  // namespace torvane::testserver
