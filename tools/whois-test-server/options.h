#pragma once
// Command line and configuration file of the whois-test-server program.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "server_config.h"

namespace torvane::testserver {

struct ProgramOptions {
    std::vector<ServerConfig> servers;
    // Written once every server listens: one "NAME PORT" line per server.
    std::optional<std::filesystem::path> ports_file;
    // Every received query is appended as "NAME<TAB>escaped bytes".
    std::optional<std::filesystem::path> record_file;
    // Stop by itself after this long; without it, run until SIGINT/SIGTERM.
    std::optional<std::chrono::milliseconds> duration;
    // Stop when the process that started this one ends (even by SIGKILL), so
    // a demonstration script that dies leaves no server behind.
    bool stop_with_parent = false;
    bool help = false;
};

// Parses the program's arguments (without the program name). A --config file
// is read where it appears; relative paths inside it are taken from the
// file's folder. Throws std::invalid_argument with a message for the user.
ProgramOptions ParseArguments(const std::vector<std::string>& arguments);

// The text printed by --help.
std::string UsageText();

}  // namespace torvane::testserver
