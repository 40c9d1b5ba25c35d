// The unicode module's walks on arbitrary bytes: code points and grapheme
// clusters each cover the text exactly once, in order; a cluster ends on a
// code-point boundary and never takes more cells than bytes; TextCells is
// the clusters' sum; MendUtf8 gives valid UTF-8 that keeps well-formed text
// as it is and has one U+FFFD per ill-formed piece.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "unicode/cells.h"
#include "unicode/graphemes.h"
#include "unicode/utf8_walk.h"

using namespace torvane::unicode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::vector<bool> starts(size + 1, false);
    std::size_t illFormed = 0, replacementsInText = 0;
    std::size_t pos = 0;
    while (pos < size) {
        starts[pos] = true;
        const DecodedChar c = DecodeUtf8At(text, pos);
        FUZZ_CHECK(c.length >= 1 && c.length <= 4 && pos + c.length <= size);
        FUZZ_CHECK(c.wellFormed || c.value == kReplacementCharacter);
        if (!c.wellFormed) ++illFormed;
        if (c.wellFormed && c.value == kReplacementCharacter) ++replacementsInText;
        pos += c.length;
    }
    FUZZ_CHECK(pos == size);
    starts[size] = true;
    FUZZ_CHECK((ClassifyUtf8(text) == Utf8Kind::IllFormed) == (illFormed > 0));

    std::size_t cells = 0;
    for (pos = 0; pos < size;) {
        const GraphemeCluster c = NextGraphemeCluster(text, pos);
        FUZZ_CHECK(c.length >= 1 && pos + c.length <= size && starts[pos + c.length]);
        FUZZ_CHECK(c.cells >= 1 && static_cast<std::size_t>(c.cells) <= c.length);
        FUZZ_CHECK(c.cells == ClusterCells(text.substr(pos, c.length)));
        cells += static_cast<std::size_t>(c.cells);
        pos += c.length;
    }
    FUZZ_CHECK(TextCells(text) == cells);

    const std::string mended = MendUtf8(text);
    FUZZ_CHECK(IsValidUtf8(mended));
    if (illFormed == 0) FUZZ_CHECK(mended == text);
    std::size_t replacements = 0;
    for (pos = 0; pos < mended.size(); pos += DecodeUtf8At(mended, pos).length) {
        if (DecodeUtf8At(mended, pos).value == kReplacementCharacter) ++replacements;
    }
    FUZZ_CHECK(replacements == illFormed + replacementsInText);
    return 0;
}
