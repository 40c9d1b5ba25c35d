#include "unicode/graphemes.h"

#include "unicode/cluster_tally.h"
#include "unicode/properties.h"
#include "unicode/utf8_walk.h"

namespace torvane::unicode {
namespace {

using B = GraphemeBreak;

// What the rules need to know of the cluster so far, besides its last class.
struct Context {
    bool endsInPictographicExtends = false;  // ... Extended_Pictographic Extend*
    bool endsInPictographicZwj = false;      // ... Extended_Pictographic Extend* ZWJ
    int regionalRun = 0;                     // regional indicators at its end
};

bool IsControlLike(B b) { return b == B::Control || b == B::CR || b == B::LF; }

// Whether there is a boundary between a code point of class `before` and
// the next one, of class `after`, in the order of the rules.
bool IsBoundary(B before, B after, bool afterIsPictographic, const Context& context) {
    if (before == B::CR && after == B::LF) return false;                      // GB3
    if (IsControlLike(before) || IsControlLike(after)) return true;           // GB4, GB5
    if (before == B::L &&
        (after == B::L || after == B::V || after == B::LV || after == B::LVT)) {
        return false;                                                         // GB6
    }
    if ((before == B::LV || before == B::V) && (after == B::V || after == B::T)) return false;  // GB7
    if ((before == B::LVT || before == B::T) && after == B::T) return false;  // GB8
    if (after == B::Extend || after == B::ZWJ) return false;                  // GB9
    if (after == B::SpacingMark) return false;                                // GB9a
    if (before == B::Prepend) return false;                                   // GB9b
    if (context.endsInPictographicZwj && afterIsPictographic) return false;   // GB11
    if (before == B::Regional_Indicator && after == B::Regional_Indicator &&
        context.regionalRun % 2 == 1) {
        return false;                                                         // GB12, GB13
    }
    return true;                                                              // GB999
}

void Advance(Context& context, B b, bool pictographic) {
    context.endsInPictographicZwj = b == B::ZWJ && context.endsInPictographicExtends;
    context.endsInPictographicExtends =
        pictographic || (context.endsInPictographicExtends && b == B::Extend);
    context.regionalRun = b == B::Regional_Indicator ? context.regionalRun + 1 : 0;
}

}  // namespace

GraphemeCluster NextGraphemeCluster(std::string_view text, std::size_t pos) {
    // Between two ASCII characters there is always a boundary but in CR LF:
    // the common case needs no table.
    const auto first = static_cast<unsigned char>(text[pos]);
    if (first < 0x80 && (pos + 1 == text.size() || static_cast<unsigned char>(text[pos + 1]) < 0x80)) {
        const bool crLf = first == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n';
        return {crLf ? 2u : 1u, 1};
    }

    detail::ClusterTally tally;
    Context context;
    DecodedChar c = DecodeUtf8At(text, pos);
    std::uint8_t byte = detail::PropertyByte(c.value);
    B before = detail::BreakOfByte(byte);
    Advance(context, before, (byte & detail::kPictographicBit) != 0);
    tally.Add(c.value, byte);
    std::size_t end = pos + c.length;
    while (end < text.size()) {
        c = DecodeUtf8At(text, end);
        byte = detail::PropertyByte(c.value);
        const B after = detail::BreakOfByte(byte);
        const bool pictographic = (byte & detail::kPictographicBit) != 0;
        if (IsBoundary(before, after, pictographic, context)) break;
        Advance(context, after, pictographic);
        tally.Add(c.value, byte);
        before = after;
        end += c.length;
    }
    return {end - pos, tally.Cells()};
}

}  // namespace torvane::unicode
