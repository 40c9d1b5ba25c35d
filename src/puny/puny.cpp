#include "puny/puny.h"

#include <stdexcept>

namespace torvane::puny {
namespace {

// Counters are signed 32-bit; a step that would leave that range ends the
// encoding instead of wrapping into a wrong result.
std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
    std::int32_t sum;
    if (__builtin_add_overflow(a, b, &sum)) throw std::overflow_error("Punycode overflow");
    return sum;
}

std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
    std::int32_t product;
    if (__builtin_mul_overflow(a, b, &product)) throw std::overflow_error("Punycode overflow");
    return product;
}

// The smallest unit of the label that is >= n; kMaxInt if there is none.
template <typename Unit>
std::int32_t MinAtLeast(std::int32_t n, std::basic_string_view<Unit> label) {
    std::int32_t m = kMaxInt;
    for (const Unit unit : label) {
        const auto code = static_cast<std::int32_t>(unit);
        if (code >= n && code < m) m = code;
    }
    return m;
}

// RFC 3492, 6.3, on any unit type: UTF-16 code units or code points.
// Throws std::overflow_error when a counter would leave 32 bits.
template <typename Unit>
std::basic_string<Unit> EncodeUnits(std::basic_string_view<Unit> label) {
    const auto length = static_cast<std::int32_t>(label.size());
    std::int32_t n = kInitialN;
    std::int32_t bias = kInitialBias;
    std::int32_t b = 0;
    std::basic_string<Unit> output;
    for (const Unit unit : label) {
        if (static_cast<std::int32_t>(unit) < n) {
            output.push_back(unit);
            ++b;
        }
    }
    if (b > 0 && b < length) output.push_back(static_cast<Unit>(kDelimiter));

    std::int32_t h = b;
    std::int32_t delta = 0;
    while (h < length) {
        const std::int32_t m = MinAtLeast(n, label);
        delta = CheckedAdd(delta, CheckedMul(m - n, h + 1));
        n = m;
        for (const Unit unit : label) {
            const auto code = static_cast<std::int32_t>(unit);
            if (code < n) {
                delta = CheckedAdd(delta, 1);
            } else if (code == n) {
                std::int32_t q = delta;
                for (std::int32_t k = kBase;; k += kBase) {
                    const std::int32_t t = k <= bias + kTMin   ? kTMin
                                           : k >= bias + kTMax ? kTMax
                                                               : k - bias;
                    if (q < t) break;
                    output.push_back(
                        static_cast<Unit>(TPunyClass::EncodeDigit(t + (q - t) % (kBase - t))));
                    q = (q - t) / (kBase - t);
                }
                output.push_back(static_cast<Unit>(TPunyClass::EncodeDigit(q)));
                bias = TPunyClass::Adapt(delta, h + 1, h == b);
                delta = 0;
                ++h;
            }
        }
        delta = CheckedAdd(delta, 1);
        ++n;
    }
    return output;
}

}  // namespace

std::int32_t TPunyClass::Adapt(std::int32_t delta, std::int32_t numpoints, bool firsttime) {
    delta = firsttime ? delta / kDamp : delta / 2;
    delta += delta / numpoints;
    std::int32_t k = 0;
    while (delta > ((kBase - kTMin) * kTMax) / 2) {
        delta /= kBase - kTMin;
        k += kBase;
    }
    return k + ((kBase - kTMin + 1) * delta) / (delta + kSkew);
}

char16_t TPunyClass::EncodeDigit(std::int32_t d) {
    return static_cast<char16_t>(d < 26 ? u'a' + d : u'0' + (d - 26));
}

std::int32_t TPunyClass::MinCodeAtLeast(std::int32_t n, std::u16string_view label) {
    return MinAtLeast(n, label);
}

std::int32_t TPunyClass::MinCodeAtLeast(std::int32_t n, std::u32string_view label) {
    return MinAtLeast(n, label);
}

std::u16string TPunyClass::Encode(std::u16string_view label) const {
    try {
        return EncodeUnits(label);
    } catch (...) {
        return std::u16string(label);
    }
}

std::u32string TPunyClass::Encode(std::u32string_view label) const {
    try {
        return EncodeUnits(label);
    } catch (...) {
        return std::u32string(label);
    }
}

}  // namespace torvane::puny
