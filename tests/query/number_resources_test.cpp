#include "query/number_resources.h"

#include <gtest/gtest.h>

#include <string>

namespace torvane::query {
namespace {

struct Typed {
    std::string line;
    QueryKind kind;
    std::string text;     // RecognizedQuery::text
    std::string display;  // IPv6 only: Ipv6DisplayText
};

TEST(RecognizeQuery, TellsTheKindsApart) {
    const Typed cases[] = {
        {"2001:db8::1", QueryKind::IPv6, "2001:db8::1", "2001:db8::1"},
        {"2001:0DB8:0000:0000:0000:0000:0000:0001", QueryKind::IPv6, "2001:db8::1", "2001:db8::1"},
        {"2001:db8:0:0:1:0:0:1", QueryKind::IPv6, "2001:db8::1:0:0:1", "2001:db8::1:0:0:1"},
        {"2001:db8:0:1:1:1:1:1", QueryKind::IPv6, "2001:db8:0:1:1:1:1:1", "2001:db8:0:1:1:1:1:1"},
        {"1:2:3:4:5:6:7::", QueryKind::IPv6, "1:2:3:4:5:6:7:0", "1:2:3:4:5:6:7:0"},
        {"::", QueryKind::IPv6, "::", "::"},
        {"::ffff:192.0.2.1", QueryKind::IPv6, "::ffff:192.0.2.1", "::ffff:192.0.2.1"},
        {"0:0:0:0:0:ffff:c000:201", QueryKind::IPv6, "::ffff:192.0.2.1", "::ffff:192.0.2.1"},
        {"64:ff9b::192.0.2.33", QueryKind::IPv6, "64:ff9b::c000:221", "64:ff9b::c000:221"},
        {"2001:200::/23", QueryKind::IPv6, "2001:200::", "2001:200::/23"},
        {"[2001:db8::]/32", QueryKind::IPv6, "2001:db8::", "2001:db8::/32"},
        {" [2001:db8::1] ", QueryKind::IPv6, "2001:db8::1", "2001:db8::1"},
        {"fe80::1%eth0", QueryKind::IPv6, "fe80::1", "fe80::1"},
        {"[fe80::1%25eth0]", QueryKind::IPv6, "fe80::1", "fe80::1"},
        {"https://[2001:db8::1]/", QueryKind::IPv6, "2001:db8::1", "2001:db8::1"},
        {"https://[2001:db8::1]:8443/x", QueryKind::IPv6, "2001:db8::1", "2001:db8::1"},
        {"http://user@[::1]/", QueryKind::IPv6, "::1", "::1"},
        {"::/129", QueryKind::Name, "::", ""},  // the classic cut, not an address
        {"mailto:noc@[2001:db8::53]", QueryKind::IPv6, "2001:db8::53", "2001:db8::53"},
        {"AS2497", QueryKind::AsNumber, "AS2497", ""},
        {"as0", QueryKind::AsNumber, "AS0", ""},
        {"aS4294967295", QueryKind::AsNumber, "AS4294967295", ""},
        {"AS1.2", QueryKind::AsNumber, "AS65538", ""},
        {"AS65535.65535", QueryKind::AsNumber, "AS4294967295", ""},
        {"AS", QueryKind::Name, "AS", ""},
        {"AS4294967296", QueryKind::Name, "AS4294967296", ""},
        {"AS00000000001", QueryKind::Name, "AS00000000001", ""},  // eleven digits
        {"AS65536.1", QueryKind::Name, "AS65536.1", ""},
        {"AS1.", QueryKind::Name, "AS1.", ""},
        {"AS 2497", QueryKind::Name, "AS 2497", ""},
        {"ASN123", QueryKind::Name, "ASN123", ""},
        {"12345", QueryKind::Name, "12345", ""},
        {"2001:db8::1::2", QueryKind::Name, "2001:db8::1::2", ""},
        {"1:2:3:4:5:6:7:8:9", QueryKind::Name, "1:2:3:4:5:6:7:8:9", ""},
        {"1:2:3:4:5:6:7", QueryKind::Name, "1:2:3:4:5:6:7", ""},
        {"1:2:3:4:5:6:7:8::", QueryKind::Name, "1:2:3:4:5:6:7:8::", ""},
        {":1::", QueryKind::Name, ":1::", ""},
        {"12345::", QueryKind::Name, "12345::", ""},
        {"::1.2.3.256", QueryKind::Name, "::1.2.3.256", ""},
        {"1.2.3.4::", QueryKind::Name, "1.2.3.4::", ""},
        {"fe80::1%", QueryKind::Name, "fe80::1%", ""},
        {"[2001:db8::1", QueryKind::Name, "[2001:db8::1", ""},
        {"example.com", QueryKind::Name, "example.com", ""},
        {"http://www.example.com:8080/", QueryKind::Name, "www.example.com:8080", ""},
        {"192.0.2.1", QueryKind::IPv4, "192.0.2.1", ""},
        {"http://192.0.2.1/", QueryKind::IPv4, "192.0.2.1", ""},
    };
    for (const auto& c : cases) {
        const RecognizedQuery query = RecognizeQuery(c.line);
        EXPECT_EQ(query.kind, c.kind) << c.line;
        EXPECT_EQ(query.text, c.text) << c.line;
        EXPECT_EQ(query.ipv6.has_value(), c.kind == QueryKind::IPv6) << c.line;
        if (query.ipv6) {
            EXPECT_EQ(Ipv6DisplayText(*query.ipv6), c.display) << c.line;
        }
    }
}

TEST(ParseIpv6Address, GivesTheBytesInNetworkOrder) {
    const auto address = ParseIpv6Address("2001:db8::ff:102");
    ASSERT_TRUE(address);
    const std::array<std::uint8_t, 16> expected = {0x20, 0x01, 0x0d, 0xb8, 0, 0,    0,    0,
                                                   0,    0,    0,    0,    0, 0xff, 0x01, 0x02};
    EXPECT_EQ(address->bytes, expected);
}

TEST(ClassifyQuery, JudgesCleanedLines) {
    EXPECT_EQ(ClassifyQuery("192.0.2.1"), QueryKind::IPv4);
    EXPECT_EQ(ClassifyQuery("2001:db8::1/64"), QueryKind::IPv6);
    EXPECT_EQ(ClassifyQuery("as2497"), QueryKind::AsNumber);
    EXPECT_EQ(ClassifyQuery("example.jp"), QueryKind::Name);
}

}  // namespace
}  // namespace torvane::query
