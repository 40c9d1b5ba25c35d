#include "puny/typed_name.h"

#include <idn2.h>
#include <unicode/uidna.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "puny/puny.h"

namespace torvane::puny {
namespace {

constexpr std::string_view kAcePrefix = "xn--";
constexpr std::size_t kMaxLabelBytes = 63;
constexpr std::size_t kMaxNameBytes = 253;
// An encoded label is "xn--", then at least one byte per code point, so a
// label of more code points than this can never fit; refusing it before the
// encoder runs keeps the encoder's time (length times distinct characters)
// bounded by a constant.
constexpr std::size_t kMaxEncodableCodePoints = kMaxLabelBytes - kAcePrefix.size();
// ICU counts in int32_t. Longer typed text is no name; a name that maps to
// 253 bytes from this much typing would be almost all ignored characters.
constexpr std::size_t kMaxTypedBytes = 65536;

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Non-transitional processing with every check UTS #46 offers, except the
// STD3 rules: libidn2's lookup lets "_" and the like through in ASCII labels
// too, and a WHOIS server is the judge of those.
const UIDNA& Uts46() {
    static const std::unique_ptr<UIDNA, decltype(&uidna_close)> uts46 = [] {
        UErrorCode status = U_ZERO_ERROR;
        UIDNA* idna = uidna_openUTS46(UIDNA_NONTRANSITIONAL_TO_UNICODE | UIDNA_CHECK_BIDI |
                                          UIDNA_CHECK_CONTEXTJ | UIDNA_CHECK_CONTEXTO,
                                      &status);
        if (U_FAILURE(status)) throw std::runtime_error("ICU's UTS #46 mapping is not available");
        return std::unique_ptr<UIDNA, decltype(&uidna_close)>(idna, &uidna_close);
    }();
    return *uts46;
}

struct Uts46Result {
    std::string mapped;
    std::uint32_t errors = 0;
};

Uts46Result MapUts46(std::string_view typed) {
    Uts46Result result;
    result.mapped.resize(typed.size() + 16);
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        UIDNAInfo info = UIDNA_INFO_INITIALIZER;
        const std::int32_t length = uidna_nameToUnicodeUTF8(
            &Uts46(), typed.data(), static_cast<std::int32_t>(typed.size()), result.mapped.data(),
            static_cast<std::int32_t>(result.mapped.size()), &info, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            result.mapped.resize(static_cast<std::size_t>(length));
            continue;
        }
        if (status == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
        if (U_FAILURE(status)) throw std::runtime_error("ICU's UTS #46 mapping failed");
        result.mapped.resize(static_cast<std::size_t>(length));
        result.errors = info.errors;
        return result;
    }
}

NameRefusal RefusalOfUts46(std::uint32_t errors) {
    struct Rule {
        std::uint32_t bits;
        NameRefusal refusal;
    };
    static constexpr Rule kRules[] = {
        {UIDNA_ERROR_DISALLOWED, NameRefusal::kDisallowedCharacter},
        {UIDNA_ERROR_LEADING_HYPHEN | UIDNA_ERROR_TRAILING_HYPHEN | UIDNA_ERROR_HYPHEN_3_4,
         NameRefusal::kHyphenPlacement},
        {UIDNA_ERROR_LEADING_COMBINING_MARK, NameRefusal::kLeadingCombiningMark},
        {UIDNA_ERROR_BIDI, NameRefusal::kBidiRule},
        {UIDNA_ERROR_CONTEXTJ | UIDNA_ERROR_CONTEXTO_PUNCTUATION | UIDNA_ERROR_CONTEXTO_DIGITS,
         NameRefusal::kContextRule},
        {UIDNA_ERROR_EMPTY_LABEL, NameRefusal::kEmptyLabel},
        {UIDNA_ERROR_LABEL_TOO_LONG, NameRefusal::kLabelTooLong},
        {UIDNA_ERROR_DOMAIN_NAME_TOO_LONG, NameRefusal::kNameTooLong},
        {UIDNA_ERROR_PUNYCODE | UIDNA_ERROR_LABEL_HAS_DOT | UIDNA_ERROR_INVALID_ACE_LABEL,
         NameRefusal::kBadAceLabel},
    };
    if (errors == 0) return NameRefusal::kNone;
    for (const Rule& rule : kRules) {
        if ((errors & rule.bits) != 0) return rule.refusal;
    }
    // A check a later ICU adds is still a refusal.
    return NameRefusal::kDisallowedCharacter;
}

// The IDNA2008 rules (RFC 5891-5893) on the mapped name, which UTS #46
// relaxes: it lets symbols and emoji through, IDNA2008 does not.
NameRefusal RefusalOfIdna2008(const std::string& mapped) {
    char* ascii = nullptr;
    const int rc = idn2_lookup_u8(reinterpret_cast<const std::uint8_t*>(mapped.c_str()),
                                  reinterpret_cast<std::uint8_t**>(&ascii), IDN2_NO_TR46);
    idn2_free(ascii);
    switch (rc) {
        case IDN2_OK:
            return NameRefusal::kNone;
        case IDN2_MALLOC:
            throw std::bad_alloc();
        case IDN2_2HYPHEN:
        case IDN2_HYPHEN_STARTEND:
            return NameRefusal::kHyphenPlacement;
        case IDN2_LEADING_COMBINING:
            return NameRefusal::kLeadingCombiningMark;
        case IDN2_BIDI:
            return NameRefusal::kBidiRule;
        case IDN2_CONTEXTJ:
        case IDN2_CONTEXTJ_NO_RULE:
        case IDN2_CONTEXTO:
        case IDN2_CONTEXTO_NO_RULE:
            return NameRefusal::kContextRule;
        case IDN2_TOO_BIG_LABEL:
        case IDN2_PUNYCODE_BIG_OUTPUT:
            return NameRefusal::kLabelTooLong;
        case IDN2_TOO_BIG_DOMAIN:
            return NameRefusal::kNameTooLong;
        case IDN2_INVALID_ALABEL:
        case IDN2_UALABEL_MISMATCH:
        case IDN2_DOT_IN_LABEL:
        case IDN2_ALABEL_ROUNDTRIP_FAILED:
        case IDN2_PUNYCODE_BAD_INPUT:
        case IDN2_PUNYCODE_OVERFLOW:
            return NameRefusal::kBadAceLabel;
        default:  // disallowed, unassigned, not NFC, not UTF-8
            return NameRefusal::kDisallowedCharacter;
    }
}

// The "xn--" form of a label that holds more than ASCII, or nothing when it
// cannot fit in a label. `label` is well-formed UTF-8 (ICU's output).
std::optional<std::string> EncodeLabel(std::string_view label) {
    std::u32string code_points;
    for (std::size_t i = 0; i < label.size();) {
        if (code_points.size() == kMaxEncodableCodePoints) return std::nullopt;
        UChar32 c;
        U8_NEXT(label.data(), i, label.size(), c);
        code_points.push_back(static_cast<char32_t>(c));
    }
    std::string ascii(kAcePrefix);
    for (const char32_t unit : TPunyClass().Encode(code_points)) {
        ascii.push_back(static_cast<char>(unit));
    }
    if (ascii.size() > kMaxLabelBytes) return std::nullopt;
    return ascii;
}

TypedName Refused(NameRefusal refusal) { return TypedName{refusal, {}, {}}; }

}  // namespace

TypedName MapTypedName(std::string_view typed) {
    if (IsAscii(typed))
        return TypedName{NameRefusal::kNone, std::string(typed), std::string(typed)};
    if (typed.size() > kMaxTypedBytes) return Refused(NameRefusal::kNameTooLong);

    Uts46Result uts46 = MapUts46(typed);
    if (const NameRefusal refusal = RefusalOfUts46(uts46.errors); refusal != NameRefusal::kNone) {
        return Refused(refusal);
    }

    std::string ascii;
    std::string_view rest = uts46.mapped;
    for (;;) {
        const std::size_t dot = rest.find('.');
        const std::string_view label = rest.substr(0, dot);
        if (IsAscii(label)) {
            if (label.size() > kMaxLabelBytes) return Refused(NameRefusal::kLabelTooLong);
            ascii += label;
        } else {
            const std::optional<std::string> encoded = EncodeLabel(label);
            if (!encoded) return Refused(NameRefusal::kLabelTooLong);
            ascii += *encoded;
        }
        if (dot == std::string_view::npos) break;
        ascii += '.';
        rest.remove_prefix(dot + 1);
    }
    const bool final_dot = ascii.ends_with('.');
    if (ascii.size() - (final_dot ? 1 : 0) > kMaxNameBytes)
        return Refused(NameRefusal::kNameTooLong);

    if (const NameRefusal refusal = RefusalOfIdna2008(uts46.mapped);
        refusal != NameRefusal::kNone) {
        return Refused(refusal);
    }
    return TypedName{NameRefusal::kNone, std::move(uts46.mapped), std::move(ascii)};
}

}  // namespace torvane::puny
