// A report as a run would build it, made from saved WHOIS answers: for the screenshot command
// and the benchmark, which show and measure the view on real text.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace torvane::view {

// The lines of a saved answer file, decoded to UTF-8 as every answer is before it is shown (the
// file's folder names the server that sent it).
// Throws std::runtime_error when the file cannot be read.
std::vector<std::string> AnswerLines(const std::filesystem::path& file);

// A run title, the DNS section and one answer block per saved answer in `answersDir` (the files
// of tests/data/view/answers), each block with its header and the empty line after it.
std::vector<std::string> SampleReport(const std::filesystem::path& answersDir);

}  // namespace torvane::view
