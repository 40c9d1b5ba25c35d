#include <string_view>

#include "view/rules/cp932_chars.h"
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
            sink(TokenClass::bracketRegion, state, 0, end);
            i = end;
        }
        while (true) {
            while (i < n_ && hasTrait(at(i), kWhitespace)) ++i;
            if (i >= n_) return Region::none;

            const unsigned char c = at(i);
            if (const Region opened = openerAt(i); opened != Region::none) {
                const std::size_t openerLength = opened == Region::curly ? 1 : 2;
                const std::size_t end = findCloser(i + openerLength, opened);
                if (end == npos) {
                    sink(TokenClass::bracketRegion, opened, i, n_ - i);
                    return opened;
                }
                sink(TokenClass::bracketRegion, opened, i, end - i);
                i = end;
                continue;
            }
            if (hasTrait(c, kMailChar) && c != '@' && i >= mailFailsBefore_) {
                if (const std::size_t end = scanMail(i); end != npos) {
                    sink(TokenClass::mailAddress, Region::none, i, end - i);
                    i = end;
                    continue;
                }
            }
            if (const std::size_t prefix = urlPrefixLength(i); prefix > 0) {
                std::size_t end = i + prefix;
                while (end < n_ && hasTrait(at(end), kUrlChar)) ++end;
                sink(TokenClass::url, Region::none, i, end - i);
                i = end;
                continue;
            }
            if (c == '<' && i + 1 < n_ && at(i + 1) == '!') {
                sink(TokenClass::comment, Region::none, i, n_ - i);
                return Region::none;
            }
            if (c == '"') {
                const std::size_t end = quotedStringEnd(i);
                sink(TokenClass::quotedString, Region::none, i, end - i);
                i = end;
                continue;
            }
            const auto [cls, end] = plainToken(i);
            sink(cls, Region::none, i, end - i);
            i = end;
        }
    }

  private:
    unsigned char at(std::size_t i) const { return static_cast<unsigned char>(s_[i]); }

    bool isDoubleByteAt(std::size_t i, DoubleByteCode code) const {
        return i + 1 < n_ && doubleByteCode(at(i), at(i + 1)) == code;
    }

    Region openerAt(std::size_t i) const {
        if (at(i) == '{') return Region::curly;
        if (isDoubleByteAt(i, kLenticularOpen)) return Region::lenticular;
        return Region::none;
    }

    // One past the first closer of `region` at or after `from`, or npos. The search steps over
    // whole characters so that the second byte of a double-byte character is never taken for "}".
    std::size_t findCloser(std::size_t from, Region region) const {
        for (std::size_t i = from; i < n_; i += charLength(s_, i)) {
            if (region == Region::curly ? at(i) == '}' : isDoubleByteAt(i, kLenticularClose)) {
                return i + (region == Region::curly ? 1 : 2);
            }
        }
        return npos;
    }

    // End of the mail address starting at `i`, or npos. A failed candidate fails from every start
    // inside the same run of mail characters too (no "@" is followed by a "."), so the run is
    // remembered and not scanned again; this keeps long runs such as "a,b,c,…" linear.
    std::size_t scanMail(std::size_t i) {
        bool atSeen = false;
        bool confirmed = false;
        std::size_t j = i;
        for (; j < n_ && hasTrait(at(j), kMailChar); ++j) {
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

    // A doubled double quote stays inside the string; a lone one closes it.
    std::size_t quotedStringEnd(std::size_t open) const {
        std::size_t i = open + 1;
        while (i < n_) {
            if (at(i) == '"') {
                if (i + 1 < n_ && at(i + 1) == '"') {
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            i += charLength(s_, i);
        }
        return n_;
    }

    struct Plain {
        TokenClass cls;
        std::size_t end;
    };

    Plain plainToken(std::size_t i) const {
        const unsigned char c = at(i);
        if (hasTrait(c, kWordStart)) {
            std::size_t j = i + 1;
            while (j < n_ && hasTrait(at(j), kWordChar)) ++j;
            return {TokenClass::word, j};
        }
        if (hasTrait(c, kDigit)) return {TokenClass::number, numberEnd(i)};
        if (c == '\t') return {TokenClass::tab, i + 1};
        if (hasTrait(c, kHalfKana)) {
            std::size_t j = i + 1;
            while (j < n_ && hasTrait(at(j), kHalfKana)) ++j;
            return {TokenClass::japaneseText, j};
        }
        if (charLength(s_, i) == 2) return {TokenClass::japaneseText, japaneseRunEnd(i)};
        return {TokenClass::symbol, i + 1};
    }

    // Digits, then "." with at least one digit, then "E" or "e", a sign and digits; the "E" and
    // the sign belong to the number even when no digit follows them.
    std::size_t numberEnd(std::size_t i) const {
        auto digitAt = [&](std::size_t k) { return k < n_ && hasTrait(at(k), kDigit); };
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

    std::size_t japaneseRunEnd(std::size_t i) const {
        const JapaneseKind kind = japaneseKind(doubleByteCode(at(i), at(i + 1)));
        std::size_t j = i + 2;
        if (kind == JapaneseKind::other) return j;
        while (j + 1 < n_ && isLeadByte(at(j)) &&
               japaneseKind(doubleByteCode(at(j), at(j + 1))) == kind) {
            j += 2;
        }
        return j;
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

// A region opens only at "{" or at a lenticular bracket, whose lead byte is 0x81; a line that has
// neither byte anywhere starts no region, and most report lines are such lines.
LexState endState(std::string_view line, LexState start) {
    static_assert(kLenticularOpen >> 8 == 0x81);
    if (start == Region::none && line.find('{') == npos && line.find('\x81') == npos) {
        return Region::none;
    }
    return LineScanner(line).run(start, [](TokenClass, Region, std::size_t, std::size_t) {});
}

}  // namespace torvane::view
