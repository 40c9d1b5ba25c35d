// MapTypedName on names typed in many scripts: the mapped form as UTS #46
// gives it, and the ASCII-compatible form made by our encoder against
// libidn2's lookup (non-transitional), which maps and encodes on its own.

#include "puny/typed_name.h"

#include <gtest/gtest.h>
#include <idn2.h>

#include <optional>
#include <ostream>
#include <string>

namespace torvane::puny {
namespace {

// libidn2's ASCII-compatible form of a typed name; nothing when it refuses.
std::optional<std::string> Idn2Lookup(const std::string& typed) {
    char* output = nullptr;
    const int rc = idn2_lookup_u8(reinterpret_cast<const std::uint8_t*>(typed.c_str()),
                                  reinterpret_cast<std::uint8_t**>(&output), IDN2_NONTRANSITIONAL);
    std::optional<std::string> ascii;
    if (rc == IDN2_OK) ascii = output;
    idn2_free(output);
    return ascii;
}

struct ScriptCase {
    const char* what;
    std::string typed;
    std::string unicode;  // the mapped form, as UTS #46 has it
};

void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.what; }

std::string Repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

class TypedNameScriptTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(TypedNameScriptTest, MapsAsUts46AndEncodesAsLibidn2) {
    const ScriptCase& c = GetParam();
    const TypedName name = MapTypedName(c.typed);
    ASSERT_FALSE(name.Refused()) << static_cast<int>(name.refusal);
    EXPECT_EQ(name.unicode, c.unicode);
    const std::optional<std::string> reference = Idn2Lookup(c.typed);
    ASSERT_TRUE(reference.has_value()) << "libidn2 refuses " << c.typed;
    EXPECT_EQ(name.ascii, *reference);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, TypedNameScriptTest,
    ::testing::Values(
        ScriptCase{"Latin with umlaut (issue)", "münchen.de", "münchen.de"},
        ScriptCase{"Latin: three spellings, upper case", "FÄW.DE", "fäw.de"},
        ScriptCase{"Latin: three spellings, composed", "fäw.de", "fäw.de"},
        ScriptCase{"Latin: three spellings, decomposed", "fa\u0308w.de", "fäw.de"},
        ScriptCase{"Latin: acute and cedilla", "Façade-ÉCOLE.fr", "façade-école.fr"},
        ScriptCase{"Latin: sharp s stays (non-transitional)", "Straße.de", "straße.de"},
        ScriptCase{"Latin: Hungarian double acute", "Bláthy-Ottó-ő.hu", "bláthy-ottó-ő.hu"},
        ScriptCase{"Greek (issue)", "ελλάδα.gr", "ελλάδα.gr"},
        ScriptCase{"Greek capitals", "ΕΛΛΆΔΑ.GR", "ελλάδα.gr"},
        ScriptCase{"Greek final sigma stays (non-transitional)", "κόσμος.gr", "κόσμος.gr"},
        ScriptCase{"Cyrillic", "ПРИМЕР.рф", "пример.рф"},
        ScriptCase{"Arabic", "مثال.إختبار", "مثال.إختبار"},
        ScriptCase{"Arabic label under an ASCII one", "عربي.com", "عربي.com"},
        ScriptCase{"Persian with a joiner its context allows", "نامه\u200Cای.ir",
                   "نامه\u200Cای.ir"},
        ScriptCase{"Hebrew", "דוגמה.טעסט", "דוגמה.טעסט"},
        ScriptCase{"Devanagari", "उदाहरण.परीक्षा", "उदाहरण.परीक्षा"},
        ScriptCase{"Thai", "ตัวอย่าง.ไทย", "ตัวอย่าง.ไทย"},
        ScriptCase{"Hangul (issue)", "한국.kr", "한국.kr"},
        ScriptCase{"Hangul, two labels", "도메인.한국", "도메인.한국"},
        ScriptCase{"simplified Chinese", "中国互联网络信息中心.中国", "中国互联网络信息中心.中国"},
        ScriptCase{"traditional Chinese", "例子.測試", "例子.測試"},
        ScriptCase{"hiragana and kanji (issue)", "例え.com", "例え.com"},
        ScriptCase{"katakana", "ドメイン.jp", "ドメイン.jp"},
        ScriptCase{"half-width katakana become full-width", "ﾄﾞﾒｲﾝ.jp", "ドメイン.jp"},
        ScriptCase{"kanji", "日本語.jp", "日本語.jp"},
        ScriptCase{"kanji beyond U+FFFF", "𠮷野家.jp", "𠮷野家.jp"},
        ScriptCase{"Georgian", "საქართველო.გე", "საქართველო.გე"},
        ScriptCase{"Armenian", "Օրինակ.հայ", "օրինակ.հայ"},
        ScriptCase{"mixed scripts in one label", "Bücher-例え-книги.example",
                   "bücher-例え-книги.example"},
        ScriptCase{"full-width letters and dots become ASCII", "ＷＷＷ．例え。ｊｐ", "www.例え.jp"},
        ScriptCase{"a typed xn-- label beside a Unicode one", "xn--mnchen-3ya.Köln.de",
                   "münchen.köln.de"},
        ScriptCase{"final dot stays", "münchen.de.", "münchen.de."},
        ScriptCase{"label of 57 code points is 63 bytes encoded", Repeat("ä", 57) + ".de",
                   Repeat("ä", 57) + ".de"},
        ScriptCase{"name of 253 bytes encoded", "Ü." + Repeat(Repeat("a", 60) + ".", 4) + "a",
                   "ü." + Repeat(Repeat("a", 60) + ".", 4) + "a"}));

TEST(TypedNameTest, AsciiNameComesBackAsTyped) {
    for (const std::string typed : {"EXAMPLE.COM", "a..b", "_dmarc.example.com", "xn--zz.de", ""}) {
        const TypedName name = MapTypedName(typed);
        EXPECT_FALSE(name.Refused()) << typed;
        EXPECT_EQ(name.unicode, typed);
        EXPECT_EQ(name.ascii, typed);
    }
}

struct RefusalCase {
    const char* what;
    std::string typed;
    NameRefusal refusal;
    // libidn2's lookup lets empty labels through, and leaves the CONTEXTO
    // rules (middle dots, digits of two kinds) to registration.
    bool libidn2Refuses;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.what; }

class TypedNameRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(TypedNameRefusalTest, RefusesWithItsReason) {
    const RefusalCase& c = GetParam();
    const TypedName name = MapTypedName(c.typed);
    EXPECT_EQ(name.refusal, c.refusal);
    EXPECT_TRUE(name.unicode.empty());
    EXPECT_TRUE(name.ascii.empty());
    if (c.libidn2Refuses) {
        EXPECT_EQ(Idn2Lookup(c.typed), std::nullopt) << "libidn2 accepts " << c.typed;
    }
}

// U+4E00 onwards, each once.
std::string DistinctIdeographs(int count) {
    std::string text;
    for (char32_t c = 0x4E00; c < 0x4E00 + static_cast<char32_t>(count); ++c) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, TypedNameRefusalTest,
    ::testing::Values(
        RefusalCase{"emoji", "😀.com", NameRefusal::kDisallowedCharacter, true},
        RefusalCase{"emoji in a Latin label", "i❤ü.ws", NameRefusal::kDisallowedCharacter, true},
        RefusalCase{"symbol", "☕.de", NameRefusal::kDisallowedCharacter, true},
        RefusalCase{"space", "münchen .de", NameRefusal::kDisallowedCharacter, true},
        RefusalCase{"unassigned code point", "\u0378ü.gr", NameRefusal::kDisallowedCharacter, true},
        RefusalCase{"bytes that are not UTF-8", "\xFF\xFEü.de", NameRefusal::kDisallowedCharacter,
                    true},
        RefusalCase{"leading hyphen", "-münchen.de", NameRefusal::kHyphenPlacement, true},
        RefusalCase{"hyphens as 3rd and 4th", "ab--üc.de", NameRefusal::kHyphenPlacement, true},
        RefusalCase{"leading combining mark", "\u0301a.de", NameRefusal::kLeadingCombiningMark,
                    true},
        RefusalCase{"Latin inside a Hebrew label", "aעב.com", NameRefusal::kBidiRule, true},
        RefusalCase{"joiner between Latin letters", "a\u200Cb.com", NameRefusal::kContextRule,
                    true},
        RefusalCase{"katakana middle dot without kana", "a・b.jp", NameRefusal::kContextRule,
                    false},
        RefusalCase{"two dots in a row", "ü..de", NameRefusal::kEmptyLabel, false},
        RefusalCase{"leading dot", ".ü", NameRefusal::kEmptyLabel, false},
        RefusalCase{"label of 58 code points", Repeat("ä", 58) + ".de", NameRefusal::kLabelTooLong,
                    true},
        RefusalCase{"ASCII label of 64 bytes beside a Unicode one", Repeat("a", 64) + ".ü",
                    NameRefusal::kLabelTooLong, true},
        RefusalCase{"label of 20000 distinct code points", DistinctIdeographs(20000) + ".jp",
                    NameRefusal::kLabelTooLong, true},
        RefusalCase{"name of 254 bytes", "ü." + Repeat(Repeat("a", 60) + ".", 4) + "ab",
                    NameRefusal::kNameTooLong, true},
        RefusalCase{"typed text longer than any name", Repeat("ü", 40000) + ".de",
                    NameRefusal::kNameTooLong, true},
        RefusalCase{"xn-- label that is no Punycode", "xn--a.dé", NameRefusal::kBadAceLabel,
                    true}));

}  // namespace
}  // namespace torvane::puny
