#pragma once
// The texts of --help and --version.

#include <string>

namespace torvane::cli {

// The full manual of torvane-cli, UTF-8, ending with a line end.
std::string HelpText();

// "Torvane version " + the project version + line end.
std::string VersionText();

}  // namespace torvane::cli
