#pragma once
// The RDAP tests' files: the folder of recorded answers, golden renderings
// and coded bodies, and a file's bytes.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace torvane::testing {

// tests/data/rdap: answers/, golden/, coded/.
inline const std::filesystem::path kRdapData = std::filesystem::path(TORVANE_TEST_DATA) / "rdap";

// The whole file as bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace torvane::testing
