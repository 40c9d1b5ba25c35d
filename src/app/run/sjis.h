#pragma once
// The system's own Japanese texts are written in UTF-8 in the sources; the
// program works on CP932 bytes, so they are converted once, here.

#include <string>
#include <string_view>

namespace torvane::run {

// The CP932 form of UTF-8 text. Precondition: every character exists in CP932.
std::string Sjis(std::string_view utf8);

}  // namespace torvane::run
