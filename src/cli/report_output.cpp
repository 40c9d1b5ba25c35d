#include "cli/report_output.h"

#include "cli/terminal_escape.h"
#include "encoding/code_page.h"

namespace torvane::cli {

namespace {

void AppendCp932(std::string& out, std::string_view utf8) {
    out += encoding::Utf16ToCp932(encoding::Utf8ToUtf16(utf8));
}

// `scratch` keeps its storage from line to line, so escaping a line for a
// CP932 terminal allocates little once it has grown to the longest line.
void AppendRendered(std::string& out, std::string& scratch, std::string_view utf8,
                    OutputEncoding encoding, bool escape) {
    if (encoding == OutputEncoding::Utf8) {
        if (escape) {
            AppendUtf8EscapedForTerminal(out, utf8);
        } else {
            out.append(utf8);
        }
    } else if (escape) {
        // Escaped first, in the one walk over UTF-8; the escapes are ASCII,
        // and what is left converts to CP932 without a control.
        scratch.clear();
        AppendUtf8EscapedForTerminal(scratch, utf8);
        AppendCp932(out, scratch);
    } else {
        AppendCp932(out, utf8);
    }
}

}  // namespace

std::string RenderLine(std::string_view utf8, OutputEncoding encoding, bool escape) {
    std::string out;
    std::string scratch;
    AppendRendered(out, scratch, utf8, encoding, escape);
    return out;
}

std::string RenderReport(const query::TLines& lines, OutputEncoding encoding, bool escape) {
    std::size_t size = 0;
    for (const std::string_view line : lines) size += line.size() + 1;
    std::string out;
    out.reserve(size);  // exact for ASCII, the common case
    std::string scratch;
    for (const std::string_view line : lines) {
        AppendRendered(out, scratch, line, encoding, escape);
        out += '\n';
    }
    return out;
}

bool WriteReport(std::FILE* stream, const query::TLines& lines, OutputEncoding encoding,
                 bool escape) {
    // Large enough that the writes cost nothing beside the rendering, small
    // enough to stay in the cache and never to fault in fresh pages.
    constexpr std::size_t kPiece = 256 * 1024;
    std::string piece;
    piece.reserve(kPiece);
    std::string scratch;
    const auto flush = [&] {
        const bool written = std::fwrite(piece.data(), 1, piece.size(), stream) == piece.size();
        piece.clear();
        return written;
    };
    for (const std::string_view line : lines) {
        AppendRendered(piece, scratch, line, encoding, escape);
        piece += '\n';
        if (piece.size() >= kPiece && !flush()) return false;
    }
    return flush();
}

}  // namespace torvane::cli
