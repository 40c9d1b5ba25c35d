// What each reader gets for a mapped name, and what the report shows.

#include "puny/server_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "puny/typed_name.h"

namespace torvane::puny {
namespace {

struct ReaderCase {
    const char* what;
    std::string typed;
    std::string host;
    std::string sent;
};

void PrintTo(const ReaderCase& c, std::ostream* os) { *os << c.what; }

class NameForServerTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(NameForServerTest, SendsWhatTheServerReads) {
    const TypedName name = MapTypedName(GetParam().typed);
    ASSERT_FALSE(name.Refused());
    EXPECT_EQ(NameForServer(name, ReaderOf(GetParam().host)), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(
    Readers, NameForServerTest,
    ::testing::Values(
        // 例え in CP932: 97 E1 82 A6.
        ReaderCase{".jp registry gets a Japanese name in CP932", "例え.JP", "whois.jprs.jp",
                   "\x97\xE1\x82\xA6.jp"},
        ReaderCase{"JPNIC likewise, host in capitals", "例え.jp", "WHOIS.NIC.AD.JP",
                   "\x97\xE1\x82\xA6.jp"},
        ReaderCase{"Greek fits CP932 too", "ΑΒΓ.jp", "whois.jprs.jp",
                   "\x83\xBF\x83\xC0\x83\xC1.jp"},
        ReaderCase{"Hangul does not fit CP932: the xn-- form", "한국.jp", "whois.jprs.jp",
                   "xn--3e0b707e.jp"},
        ReaderCase{"a with umlaut does not fit CP932", "fäw.jp", "whois.nic.ad.jp",
                   "xn--fw-via.jp"},
        ReaderCase{"a kanji beyond CP932", "𠮷野家.jp", "whois.jprs.jp", "xn--fctt27jo60v.jp"},
        ReaderCase{"ASCII name as typed", "EXAMPLE.JP", "whois.jprs.jp", "EXAMPLE.JP"},
        ReaderCase{"a Japanese name under .com: the xn-- form", "例え.com",
                   "whois.verisign-grs.com", "xn--r8jz45g.com"},
        ReaderCase{"another host that ends like the registry's", "例え.jp", "xwhois.jprs.jp",
                   "xn--r8jz45g.jp"}));

TEST(Cp932FormTest, RefusesCharactersThatComeBackAsOthers) {
    // U+2016 goes to 81 61, which reads back as U+2225.
    EXPECT_EQ(Cp932Form("\u2016"), std::nullopt);
    EXPECT_EQ(Cp932Form("\uFFFD"), std::nullopt);
    EXPECT_EQ(Cp932Form("a?b"), "a?b");
    EXPECT_EQ(Cp932Form("ｱ"), "\xB1");
}

struct ReportCase {
    const char* what;
    std::string typed;
    std::string name;
    std::optional<std::string> puny;
};

void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.what; }

class ReportNamesTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportNamesTest, ShowsTheMappedNameAndItsXnForm) {
    const ReportNames names = ReportNamesOf(MapTypedName(GetParam().typed));
    EXPECT_EQ(names.name, GetParam().name);
    EXPECT_EQ(names.puny, GetParam().puny);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReportNamesTest,
    ::testing::Values(ReportCase{"Unicode name", "MÜNCHEN.de", "münchen.de", "xn--mnchen-3ya.de"},
                      ReportCase{"kanji name", "例え.com", "例え.com", "xn--r8jz45g.com"},
                      ReportCase{"ASCII name", "example.com", "example.com", std::nullopt},
                      ReportCase{"full-width letters that map to ASCII", "ｅｘａｍｐｌｅ．ｃｏｍ",
                                 "example.com", std::nullopt}));

}  // namespace
}  // namespace torvane::puny
