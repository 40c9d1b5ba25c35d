#include <string_view>

#include "unicode/graphemes.h"
#include "unicode/properties.h"
#include "unicode/utf8_walk.h"
#include "view/rules/report_chars.h"
#include "view/rules/tokens.h"

namespace torvane::view {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Walks one line once from left to right. `Sink` receives each token as (class, region, start,
// length); a sink that ignores them gives the end state alone at the same cost in states.
class LineScanner {
  public:
    explicit LineScanner(std::string_view line) : s_(line), n_(line.size()) {}

    template <typename Sink>
    LexState run(LexState state, Sink&& sink) {
        std::size_t i = 0;
        if (state != Region::none) {
            const std::size_t end = findCloser(0, state);
            if (end == npos) {
                if (n_ > 0) sink(TokenClass::bracketRegion, state, 0, n_);
                return state;
            }
            i = emit(sink, TokenClass::bracketRegion, state, 0, end);
        }
        while (true) {
            const std::size_t gapStart = i;
            while (i < n_ && hasAsciiTrait(at(i), kWhitespace)) ++i;
            if (i >= n_) return Region::none;
            // A mark after a space belongs to the space's cluster: the token starts at the space.
            if (i > gapStart && at(i) >= 0x80 && reportClusterAt(s_, i - 1).length > 1) --i;

            const unsigned char c = at(i);
            if (const Region opened = openerAt(i); opened != Region::none) {
                const std::size_t openerLength =
                    opened == Region::curly ? 1 : kLenticularOpen.size();
                const std::size_t end = findCloser(i + openerLength, opened);
                if (end == npos) {
                    sink(TokenClass::bracketRegion, opened, i, n_ - i);
                    return opened;
                }
                const bool warning = opened == Region::lenticular &&
                                     s_.substr(i + openerLength).starts_with(kWarningLead);
                i = warning ? emit(sink, TokenClass::warning, Region::none, i, end)
                            : emit(sink, TokenClass::bracketRegion, opened, i, end);
                continue;
            }
            if (hasAsciiTrait(c, kMailChar) && c != '@' && i >= mailFailsBefore_) {
                if (const std::size_t end = scanMail(i); end != npos) {
                    i = emit(sink, TokenClass::mailAddress, Region::none, i, end);
                    continue;
                }
            }
            if (const std::size_t prefix = urlPrefixLength(i); prefix > 0) {
                std::size_t end = i + prefix;
                while (end < n_ && hasAsciiTrait(at(end), kUrlChar)) ++end;
                i = emit(sink, TokenClass::url, Region::none, i, end);
                continue;
            }
            if (c == '<' && i + 1 < n_ && at(i + 1) == '!') {
                sink(TokenClass::comment, Region::none, i, n_ - i);
                return Region::none;
            }
            if (c == '"') {
                i = emit(sink, TokenClass::quotedString, Region::none, i, quotedStringEnd(i));
                continue;
            }
            const auto [cls, end] = plainToken(i);
            i = emit(sink, cls, Region::none, i, end);
        }
    }

  private:
    unsigned char at(std::size_t i) const { return static_cast<unsigned char>(s_[i]); }

    // Gives the sink the token [start, end) widened to the end of the grapheme cluster that `end`
    // falls in, so no token splits one; returns where the next token may start.
    template <typename Sink>
    std::size_t emit(Sink& sink, TokenClass cls, Region region, std::size_t start,
                     std::size_t end) const {
        // Between two ASCII characters there is always a cluster boundary (a CR is whitespace
        // and never ends a token).
        if (end < n_ && (at(end) >= 0x80 || at(end - 1) >= 0x80)) {
            std::size_t pos = start;
            while (pos < end) pos += reportClusterAt(s_, pos).length;
            end = pos;
        }
        sink(cls, region, start, end - start);
        return end;
    }

    Region openerAt(std::size_t i) const {
        if (at(i) == '{') return Region::curly;
        if (s_.substr(i).starts_with(kLenticularOpen)) return Region::lenticular;
        return Region::none;
    }

    // One past the first closer of `region` at or after `from`, or npos. UTF-8 never holds the
    // byte of "}" or the sequence of "】" inside another character, so a byte search is exact.
    std::size_t findCloser(std::size_t from, Region region) const {
        if (region == Region::curly) {
            const std::size_t at = s_.find('}', from);
            return at == npos ? npos : at + 1;
        }
        const std::size_t at = s_.find(kLenticularClose, from);
        return at == npos ? npos : at + kLenticularClose.size();
    }

    // End of the mail address starting at `i`, or npos. A failed candidate fails from every start
    // inside the same run of mail characters too (no "@" is followed by a "."), so the run is
    // remembered and not scanned again; this keeps long runs such as "a,b,c,…" linear.
    std::size_t scanMail(std::size_t i) {
        bool atSeen = false;
        bool confirmed = false;
        std::size_t j = i;
        for (; j < n_ && hasAsciiTrait(at(j), kMailChar); ++j) {
            if (at(j) == '@') {
                atSeen = true;
            } else if (at(j) == '.' && atSeen) {
                confirmed = true;
            }
        }
        if (confirmed) return j;
        mailFailsBefore_ = j;
        return npos;
    }

    std::size_t urlPrefixLength(std::size_t i) const {
        static constexpr std::string_view kPrefixes[] = {"ftp:", "http:", "https:", "www."};
        if (at(i) != 'f' && at(i) != 'h' && at(i) != 'w') return 0;
        const std::string_view rest = s_.substr(i);
        for (std::string_view prefix : kPrefixes) {
            if (rest.starts_with(prefix)) return prefix.size();
        }
        return 0;
    }

    // A doubled double quote stays inside the string; a lone one closes it. No byte of another
    // UTF-8 character is a double quote.
    std::size_t quotedStringEnd(std::size_t open) const {
        std::size_t i = open + 1;
        while ((i = s_.find('"', i)) != npos) {
            if (i + 1 < n_ && at(i + 1) == '"') {
                i += 2;
                continue;
            }
            return i + 1;
        }
        return n_;
    }

    struct Plain {
        TokenClass cls;
        std::size_t end;
    };

    Plain plainToken(std::size_t i) const {
        const unsigned char c = at(i);
        if (c < 0x80) {
            if (hasAsciiTrait(c, kWordStart)) {
                std::size_t j = i + 1;
                while (j < n_ && hasAsciiTrait(at(j), kWordChar)) ++j;
                return {TokenClass::word, j};
            }
            if (hasAsciiTrait(c, kDigit)) return {TokenClass::number, numberEnd(i)};
            if (c == '\t') return {TokenClass::tab, i + 1};
            return {TokenClass::symbol, i + 1};
        }
        const unicode::DecodedChar first = unicode::DecodeUtf8At(s_, i);
        if (isHalfWidthKatakana(first.value)) {
            std::size_t j = i + first.length;
            while (j < n_) {
                const unicode::DecodedChar next = unicode::DecodeUtf8At(s_, j);
                if (!isHalfWidthKatakana(next.value)) break;
                j += next.length;
            }
            return {TokenClass::japaneseText, j};
        }
        const JapaneseKind kind =
            first.wellFormed ? japaneseKindOf(first.value) : JapaneseKind::other;
        if (kind != JapaneseKind::other) return {TokenClass::japaneseText, japaneseRunEnd(i, kind)};
        // A symbol that CP932 writes with two bytes was Japanese text of its own; anything
        // else is a symbol.
        const bool doubleByte = first.wellFormed && doubleByteCodeOf(first.value) != 0;
        return {doubleByte ? TokenClass::japaneseText : TokenClass::symbol, i + first.length};
    }

    // Digits, then "." with at least one digit, then "E" or "e", a sign and digits; the "E" and
    // the sign belong to the number even when no digit follows them.
    std::size_t numberEnd(std::size_t i) const {
        auto digitAt = [&](std::size_t k) { return k < n_ && hasAsciiTrait(at(k), kDigit); };
        std::size_t j = i;
        while (digitAt(j)) ++j;
        if (j < n_ && at(j) == '.' && digitAt(j + 1)) {
            j += 2;
            while (digitAt(j)) ++j;
        }
        if (j < n_ && (at(j) == 'E' || at(j) == 'e')) {
            ++j;
            if (j < n_ && (at(j) == '+' || at(j) == '-')) ++j;
            while (digitAt(j)) ++j;
        }
        return j;
    }

    // The end of the run of characters of `kind` that starts at `i`. Marks that CP932 lacks
    // (combining marks, vowel signs) continue the run of the letter they sit on.
    std::size_t japaneseRunEnd(std::size_t i, JapaneseKind kind) const {
        std::size_t j = i + unicode::DecodeUtf8At(s_, i).length;
        while (j < n_ && at(j) >= 0x80) {
            const unicode::DecodedChar next = unicode::DecodeUtf8At(s_, j);
            if (!next.wellFormed) break;
            if (japaneseKindOf(next.value) != kind && !isMarkOutsideCp932(next.value)) break;
            j += next.length;
        }
        return j;
    }

    static bool isMarkOutsideCp932(char32_t c) {
        if (unicode::IsInCp932(c)) return false;
        const unicode::GraphemeBreak b = unicode::GraphemeBreakOf(c);
        return b == unicode::GraphemeBreak::Extend || b == unicode::GraphemeBreak::SpacingMark ||
               b == unicode::GraphemeBreak::ZWJ;
    }

    std::string_view s_;
    std::size_t n_;
    std::size_t mailFailsBefore_ = 0;
};

}  // namespace

LexState tokenizeInto(std::string_view line, LexState start, std::vector<Token>& out) {
    out.clear();
    return LineScanner(line).run(
        start, [&](TokenClass cls, Region region, std::size_t begin, std::size_t length) {
            if (cls != TokenClass::bracketRegion && cls != TokenClass::comment && length <= 4 &&
                isReservedWord(line.substr(begin, length))) {
                cls = TokenClass::reservedWord;
            }
            out.push_back(Token{cls, region, begin, length});
        });
}

LineTokens tokenize(std::string_view line, LexState start) {
    LineTokens result;
    result.end = tokenizeInto(line, start, result.tokens);
    return result;
}

// A region opens only at "{" or at "【"; a line that has neither anywhere starts no region, and
// most report lines are such lines.
LexState endState(std::string_view line, LexState start) {
    if (start == Region::none && line.find('{') == npos && line.find(kLenticularOpen) == npos) {
        return Region::none;
    }
    return LineScanner(line).run(start, [](TokenClass, Region, std::size_t, std::size_t) {});
}

}  // namespace torvane::view
