// The UTF-8 walker: ill-formed sequences against a table and against ICU's
// decoder (which follows the same maximal-subpart practice), valid text
// against iconv, and the property that a walk consumes every byte once.

#include <gtest/gtest.h>
#include <iconv.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <random>
#include <string>
#include <vector>

#include "unicode/utf8_walk.h"

namespace torvane::unicode {
namespace {

constexpr char32_t R = kReplacementCharacter;

struct Piece {
    char32_t value;
    int length;
    friend bool operator==(const Piece&, const Piece&) = default;
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
    return os << std::hex << "U+" << static_cast<unsigned>(p.value) << "/" << std::dec << p.length;
}

std::vector<Piece> Walk(std::string_view text) {
    std::vector<Piece> pieces;
    for (std::size_t pos = 0; pos < text.size();) {
        const DecodedChar c = DecodeUtf8At(text, pos);
        pieces.push_back({c.value, c.length});
        pos += c.length;
    }
    return pieces;
}

struct IllFormedCase {
    const char* name;
    std::string bytes;
    std::vector<Piece> pieces;
};

TEST(DecodeUtf8At, IllFormedSequencesBecomeOneReplacementPerMaximalSubpart) {
    const IllFormedCase cases[] = {
        {"stray continuation", "\x80", {{R, 1}}},
        {"two stray continuations", "\x80\xBF", {{R, 1}, {R, 1}}},
        {"C0 never starts a sequence", "\xC0\x80", {{R, 1}, {R, 1}}},
        {"C1 never starts a sequence", "\xC1\xBF", {{R, 1}, {R, 1}}},
        {"F5 never starts a sequence", "\xF5\x80\x80\x80", {{R, 1}, {R, 1}, {R, 1}, {R, 1}}},
        {"FF", "\xFF", {{R, 1}}},
        {"overlong three-byte slash", "\xE0\x80\xAF", {{R, 1}, {R, 1}, {R, 1}}},
        {"overlong four-byte", "\xF0\x8F\xBF\xBF", {{R, 1}, {R, 1}, {R, 1}, {R, 1}}},
        {"surrogate D800", "\xED\xA0\x80", {{R, 1}, {R, 1}, {R, 1}}},
        {"surrogate DFFF", "\xED\xBF\xBF", {{R, 1}, {R, 1}, {R, 1}}},
        {"past U+10FFFF", "\xF4\x90\x80\x80", {{R, 1}, {R, 1}, {R, 1}, {R, 1}}},
        {"two-byte cut by the end", "a\xC3", {{'a', 1}, {R, 1}}},
        {"three-byte cut by the end", "\xE3\x81", {{R, 2}}},
        {"four-byte cut by the end", "\xF0\x9F\x98", {{R, 3}}},
        {"cut by ASCII keeps the ASCII", "\xE3\x81z", {{R, 2}, {'z', 1}}},
        {"cut by a new lead keeps the next character", "\xE3\xE3\x81\x82", {{R, 1}, {0x3042, 3}}},
        {"cut four-byte then a kana", "\xF0\x9F\xE3\x81\x82", {{R, 2}, {0x3042, 3}}},
        // The example of the Unicode Standard, section 3.9, Table 3-8.
        {"the standard's example",
         "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
         {{'a', 1}, {R, 3}, {R, 2}, {R, 1}, {'b', 1}, {R, 1}, {'c', 1}, {R, 1}, {R, 1}, {'d', 1}}},
        {"Latin-1 ä between ASCII", "f\xE4w", {{'f', 1}, {R, 1}, {'w', 1}}},
        {"CP932 katakana a", "\x83\x41", {{R, 1}, {'A', 1}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Walk(c.bytes), c.pieces) << c.name;
    }
}

TEST(DecodeUtf8At, WellFormedEdgesDecodeToTheirValue) {
    const std::pair<std::string, Piece> cases[] = {
        {std::string(1, '\0'), {0, 1}},
        {"\x7F", {0x7F, 1}},
        {"\xC2\x80", {0x80, 2}},
        {"\xDF\xBF", {0x7FF, 2}},
        {"\xE0\xA0\x80", {0x800, 3}},
        {"\xED\x9F\xBF", {0xD7FF, 3}},
        {"\xEE\x80\x80", {0xE000, 3}},
        {"\xEF\xBB\xBF", {0xFEFF, 3}},
        {"\xEF\xBF\xBD", {0xFFFD, 3}},
        {"\xEF\xBF\xBF", {0xFFFF, 3}},
        {"\xF0\x90\x80\x80", {0x10000, 4}},
        {"\xF4\x8F\xBF\xBF", {0x10FFFF, 4}},
    };
    for (const auto& [bytes, piece] : cases) {
        const DecodedChar c = DecodeUtf8At(bytes, 0);
        EXPECT_EQ((Piece{c.value, c.length}), piece);
        EXPECT_TRUE(c.wellFormed) << piece;
    }
    // A U+FFFD in the text is well-formed; only a replacement for bad bytes is not.
    EXPECT_FALSE(DecodeUtf8At("\x80", 0).wellFormed);
}

// Every Unicode scalar value, encoded by iconv from UTF-32, walks back to itself.
TEST(DecodeUtf8At, EveryScalarValueMatchesIconvsEncoding) {
    std::u32string all;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if (c < 0xD800 || c > 0xDFFF) all += c;
    }
    iconv_t cd = iconv_open("UTF-8", "UTF-32LE");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string utf8(all.size() * 4, '\0');
    char* src = reinterpret_cast<char*>(all.data());
    std::size_t srcLeft = all.size() * 4;
    char* dst = utf8.data();
    std::size_t dstLeft = utf8.size();
    ASSERT_NE(iconv(cd, &src, &srcLeft, &dst, &dstLeft), static_cast<std::size_t>(-1));
    iconv_close(cd);
    utf8.resize(utf8.size() - dstLeft);

    std::size_t pos = 0, index = 0, mismatches = 0;
    while (pos < utf8.size() && index < all.size()) {
        const DecodedChar c = DecodeUtf8At(utf8, pos);
        if (c.value != all[index] || !c.wellFormed) ++mismatches;
        pos += c.length;
        ++index;
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_EQ(pos, utf8.size());
    EXPECT_EQ(index, all.size());
    EXPECT_EQ(ClassifyUtf8(utf8), Utf8Kind::MultiByte);

    std::string appended;
    for (char32_t c : all) AppendUtf8(appended, c);
    EXPECT_TRUE(appended == utf8);
}

// Random byte strings biased towards the bytes that matter, decoded by ICU's
// U8_NEXT_OR_FFFD, which replaces maximal subparts as the standard recommends.
TEST(DecodeUtf8At, RandomBytesDecodeAsIcuDecodesThem) {
    const unsigned char interesting[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                         0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE,
                                         0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xFF};
    std::mt19937 random(23);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(random() % 12, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(random() % 2 ? interesting[random() % std::size(interesting)]
                                               : random() % 256);
        }
        std::vector<Piece> icu;
        const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
        const int32_t length = static_cast<int32_t>(bytes.size());
        for (int32_t i = 0; i < length;) {
            const int32_t start = i;
            UChar32 c;
            U8_NEXT_OR_FFFD(s, i, length, c);
            icu.push_back({static_cast<char32_t>(c), i - start});
        }
        ASSERT_EQ(Walk(bytes), icu) << ::testing::PrintToString(bytes);
    }
}

// Every byte string of up to two bytes, and random longer ones: the pieces
// cover the text exactly, and a piece is well-formed exactly when encoding its
// value gives back its bytes.
TEST(DecodeUtf8At, AnyByteStringIsConsumedOnceAndWholly) {
    auto check = [](const std::string& bytes) {
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            const DecodedChar c = DecodeUtf8At(bytes, pos);
            if (c.length < 1 || c.length > 4 || pos + c.length > bytes.size()) return false;
            std::string encoded;
            AppendUtf8(encoded, c.value);
            const bool same = bytes.compare(pos, c.length, encoded) == 0;
            if (same != c.wellFormed) return false;
            if (!c.wellFormed && c.value != R) return false;
            pos += c.length;
        }
        return pos == bytes.size();
    };
    for (unsigned a = 0; a < 256; ++a) {
        ASSERT_TRUE(check(std::string(1, static_cast<char>(a)))) << a;
        for (unsigned b = 0; b < 256; ++b) {
            ASSERT_TRUE(check({static_cast<char>(a), static_cast<char>(b)})) << a << ' ' << b;
        }
    }
    std::mt19937 random(7);
    for (int round = 0; round < 50000; ++round) {
        std::string bytes(1 + random() % 9, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(random() % 4 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
        }
        ASSERT_TRUE(check(bytes)) << ::testing::PrintToString(bytes);
    }
}

TEST(ClassifyUtf8, TellsAsciiMultiByteAndIllFormedApart) {
    const std::pair<std::string, Utf8Kind> cases[] = {
        {"", Utf8Kind::Ascii},
        {"Domain Name: EXAMPLE.COM\r\n", Utf8Kind::Ascii},
        {std::string(100, 'x'), Utf8Kind::Ascii},
        {"f\xC3\xA4w.de", Utf8Kind::MultiByte},
        {std::string(40, 'x') + "\xE3\x81\x82", Utf8Kind::MultiByte},  // past the word loop
        {"\xEF\xBB\xBFplain", Utf8Kind::MultiByte},                     // byte-order mark
        {"f\xE4w.de", Utf8Kind::IllFormed},                             // Latin-1
        {"\x83\x41\x83\x43", Utf8Kind::IllFormed},                      // CP932
        {"\xE3\x81\x82\xE3\x81", Utf8Kind::IllFormed},                  // cut at the end
        {"\xED\xA0\x80", Utf8Kind::IllFormed},                          // surrogate
        {std::string(17, 'x') + "\xC0\xAF", Utf8Kind::IllFormed},
    };
    for (const auto& [text, kind] : cases) {
        EXPECT_EQ(ClassifyUtf8(text), kind) << ::testing::PrintToString(text);
        EXPECT_EQ(IsValidUtf8(text), kind != Utf8Kind::IllFormed);
    }
}

TEST(AppendUtf8, NonScalarValuesBecomeTheReplacementCharacter) {
    for (char32_t c : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}, char32_t{0xFFFFFFFF}}) {
        std::string out;
        AppendUtf8(out, c);
        EXPECT_EQ(out, "\xEF\xBF\xBD");
    }
}

// ICU's conversion with U+FFFD as substitute replaces the same maximal subparts.
std::string IcuMended(const std::string& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::u16string units(bytes.size() + 1, u'\0');
    int32_t unitCount = 0;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(units.data()), static_cast<int32_t>(units.size()),
                         &unitCount, bytes.data(), static_cast<int32_t>(bytes.size()), 0xFFFD,
                         nullptr, &status);
    std::string out(bytes.size() * 3 + 1, '\0');
    int32_t outLength = 0;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &outLength,
                reinterpret_cast<const UChar*>(units.data()), unitCount, &status);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    out.resize(static_cast<std::size_t>(outLength));
    return out;
}

TEST(MendUtf8, ReplacesWhatIcuReplacesAndKeepsValidTextAsItIs) {
    const std::string cases[] = {
        "",
        "plain ASCII line",
        "\xE4\xB8\xAD\xE5\x9B\xBD",  // 中国
        "f\xE4w.de",
        "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
        "\xED\xA0\x80\xF4\x90\x80\x80",
        "tail cut \xF0\x9F\x98",
        std::string("nul \0 inside", 12),
    };
    for (const auto& text : cases) {
        const std::string mended = MendUtf8(text);
        EXPECT_EQ(mended, IcuMended(text)) << ::testing::PrintToString(text);
        EXPECT_TRUE(IsValidUtf8(mended));
        if (IsValidUtf8(text)) {
            EXPECT_EQ(mended, text);
        }
    }
}

}  // namespace
}  // namespace torvane::unicode
