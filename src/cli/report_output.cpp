#include "cli/report_output.h"

#include "cli/terminal_escape.h"
#include "encoding/cp932_utf8.h"

namespace torvane::cli {

namespace {

// `scratch` keeps its storage from line to line, so escaping a converted
// line allocates nothing once it has grown to the longest line.
void AppendRendered(std::string& out, std::string& scratch, std::string_view cp932,
                    OutputEncoding encoding, bool escape) {
    if (encoding == OutputEncoding::Cp932) {
        if (escape) {
            AppendCp932EscapedForTerminal(out, cp932);
        } else {
            out.append(cp932);
        }
    } else if (escape) {
        scratch.clear();
        encoding::AppendCp932AsUtf8(scratch, cp932);
        AppendUtf8EscapedForTerminal(out, scratch);
    } else {
        encoding::AppendCp932AsUtf8(out, cp932);
    }
}

}  // namespace

std::string RenderLine(std::string_view cp932, OutputEncoding encoding, bool escape) {
    std::string out;
    std::string scratch;
    AppendRendered(out, scratch, cp932, encoding, escape);
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
