// How ReadPort43Facts picks what an answer says about the query: the record
// of the name asked, the most specific network, the holder and the abuse
// contact by the objects that give them; withheld values as redacted once;
// and the caps on lines and values.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "port43_testing.h"
#include "unicode/utf8_walk.h"

namespace torvane::summary {
namespace {

using testing::Fact;
using testing::Facts;
using testing::Values;

// A thin registry's answer: host records the query matched, then the domain.
const query::TLines kThinAnswer = {
    "   Server Name: EXAMPLE.COM.EVIL.NET",
    "   Registrar: HOST REGISTRAR",
    "",
    "   Domain Name: EXAMPLE.COM",
    "   Registrar: DOMAIN REGISTRAR",
    "   Name Server: NS1.EXAMPLE.COM",
    "",
    "   Domain Name: EXAMPLE.COM.AU",
    "   Registrar: OTHER REGISTRAR",
};

TEST(Port43Facts, ReadsTheRecordTheQueryNames) {
    const struct {
        std::string_view query;
        std::vector<std::string> registrars;
    } cases[] = {
        {"example.com", {"DOMAIN REGISTRAR"}},
        {"EXAMPLE.COM.", {"DOMAIN REGISTRAR"}},
        {"=example.com", {"DOMAIN REGISTRAR"}},
        {"domain example.com", {"DOMAIN REGISTRAR"}},
        {"example.com.au", {"OTHER REGISTRAR"}},
        {"example.com.evil.net", {}},  // a host record says nothing of a domain
        {"example.org", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        EXPECT_EQ(Values(Facts(kThinAnswer, c.query), Field::registrar), c.registrars);
    }
}

TEST(Port43Facts, AnotherSpellingOfTheRecordsNameCounts) {
    // DENIC names an IDN in Unicode, then in its ASCII form.
    const query::TLines answer = {"Domain: fäw.de", "Domain-Ace: xn--fw-via.de",
                                  "Nserver: ns1.example.de"};
    EXPECT_EQ(Values(Facts(answer, "xn--fw-via.de"), Field::nameServer),
              std::vector<std::string>{"ns1.example.de"});
    EXPECT_EQ(Values(Facts(answer, "-T dn,ace fäw.de"), Field::nameServer),
              std::vector<std::string>{"ns1.example.de"});
    EXPECT_TRUE(Facts(answer, "other.de").empty());
}

TEST(Port43Facts, JprsQueriesNameTheirRecord) {
    const query::TLines answer = {"Domain Information:", "[Domain Name]  EXAMPLE.JP",
                                  "[Expires on]  2027/05/31"};
    EXPECT_EQ(Values(Facts(answer, "example.jp/e"), Field::expires),
              std::vector<std::string>{"2027/05/31"});
    EXPECT_TRUE(Facts(answer, "other.jp/e").empty());
}

TEST(Port43Facts, AnArinAnswerGivesItsMostSpecificNetwork) {
    const query::TLines answer = {
        "NetRange:       192.0.0.0 - 192.0.255.255",
        "CIDR:           192.0.0.0/16",
        "NetName:        PARENT-NET",
        "RegDate:        1990-01-01",
        "",
        "OrgName:        Parent Networks",
        "Country:        US",
        "",
        "OrgAbuseHandle: PA-ARIN",
        "OrgAbuseEmail:  abuse@parent.example",
        "",
        "NetRange:       192.0.2.0 - 192.0.2.255",
        "CIDR:           192.0.2.0/24",
        "NetName:        CHILD-NET",
        "RegDate:        2014-03-14",
        "",
        "CustName:       Child Customer",
        "Country:        CA",
    };
    EXPECT_EQ(Facts(answer, "192.0.2.1"), (std::vector<Fact>{
                                              {Field::range, "192.0.2.0 - 192.0.2.255"},
                                              {Field::cidr, "192.0.2.0/24"},
                                              {Field::netName, "CHILD-NET"},
                                              {Field::allocated, "2014-03-14"},
                                              {Field::holder, "Child Customer"},
                                              {Field::country, "CA"},
                                          }));
}

TEST(Port43Facts, RpslFactsComeFromTheNetworksObjectsNotTheRoutesAfter) {
    const query::TLines answer = {
        "% Information related to '192.0.2.0 - 192.0.2.255'",
        "",
        "% Abuse contact for '192.0.2.0 - 192.0.2.255' is 'abuse@example.net'",
        "",
        "inetnum:        192.0.2.0 - 192.0.2.255",
        "netname:        EXAMPLE-NET",
        "descr:          Example network",
        "country:        NL",
        "",
        "role:           Example NOC",
        "country:        ZZ",
        "abuse-mailbox:  abuse@example.net",
        "",
        "% Information related to '192.0.2.0/24AS64496'",
        "",
        "route:          192.0.2.0/24",
        "descr:          Example route",
        "created:        2014-03-21T05:14:59Z",
    };
    EXPECT_EQ(Facts(answer, "192.0.2.1"), (std::vector<Fact>{
                                              {Field::abuse, "abuse@example.net"},
                                              {Field::range, "192.0.2.0 - 192.0.2.255"},
                                              {Field::netName, "EXAMPLE-NET"},
                                              {Field::holder, "Example network"},
                                              {Field::country, "NL"},
                                          }));
}

TEST(Port43Facts, TheOrganisationsNameIsTheHolderBeforeAnyDescr) {
    const query::TLines answer = {
        "inetnum:        192.0.2.0 - 192.0.2.255",
        "descr:          First description",
        "descr:          Second description",
        "org:            ORG-EX1-AP",
        "",
        "organisation:   ORG-EX1-AP",
        "org-name:       Example Pte Ltd",
    };
    EXPECT_EQ(Values(Facts(answer, "192.0.2.1"), Field::holder),
              std::vector<std::string>{"Example Pte Ltd"});
}

TEST(Port43Facts, HandlesLeadToTheirContactsNameOrMail) {
    // AFNIC's holder-c and LACNIC's abuse-c name a contact further down.
    const query::TLines afnic = {
        "domain:      example.fr",         "holder-c:    EX1-FRNIC",    "",
        "nic-hdl:     EX1-FRNIC",          "type:        ORGANIZATION", "contact:     Example SAS",
        "e-mail:      contact@example.fr",
    };
    EXPECT_EQ(Values(Facts(afnic, "example.fr"), Field::registrant),
              std::vector<std::string>{"Example SAS"});

    const query::TLines lacnic = {
        "inetnum:     192.0.2.0/24", "abuse-c:     EXC1",        "owner:       Example Ltda",   "",
        "nic-hdl-br:  EXC1",         "person:      Example NOC", "e-mail:      noc@example.br",
    };
    EXPECT_EQ(Values(Facts(lacnic, "192.0.2.1"), Field::abuse),
              std::vector<std::string>{"noc@example.br"});

    const query::TLines dangling = {"domain:      example.fr", "holder-c:    NONE-FRNIC"};
    EXPECT_TRUE(Facts(dangling, "example.fr").empty());
}

TEST(Port43Facts, AFallbackCountsOnlyWhereTheAnswerGivesNothingBetter) {
    EXPECT_EQ(Values(Facts({"Registrant Name: Jane Doe", "Registrant Organization: Example LLC"}),
                     Field::registrant),
              std::vector<std::string>{"Example LLC"});
    EXPECT_EQ(Values(Facts({"Registrant Name: Jane Doe", "Registrant Name: John Doe"}),
                     Field::registrant),
              std::vector<std::string>{"Jane Doe"});
    EXPECT_EQ(Values(Facts({"Registrar Abuse Contact Phone: +1.5555550100",
                            "Registrar Abuse Contact Email: abuse@example.net"}),
                     Field::abuse),
              std::vector<std::string>{"abuse@example.net"});
    EXPECT_EQ(Values(Facts({"Registrar Abuse Contact Phone: +1.5555550100",
                            "Registrar Abuse Contact Email:"}),
                     Field::abuse),
              std::vector<std::string>{"+1.5555550100"});
    // A generic .jp name's [有効期限] stands; the state's bracket only fills in.
    EXPECT_EQ(
        Values(Facts({"[有効期限]  2027/05/31", "[状態]  Connected (2027/04/30)"}), Field::expires),
        std::vector<std::string>{"2027/05/31"});
}

TEST(Port43Facts, WithheldValuesAreOneRedactedFact) {
    const struct {
        std::vector<std::string> lines;
        Fact fact;
    } cases[] = {
        {{"Registrant Organization: REDACTED FOR PRIVACY"},
         {Field::registrant, "REDACTED FOR PRIVACY", true}},
        {{"Registrant Name: REDACTED FOR PRIVACY", "Registrant Organization: REDACTED FOR PRIVACY"},
         {Field::registrant, "REDACTED FOR PRIVACY", true}},
        {{"Registrant Name: Redacted for privacy", "Registrant Organization: Data Protected"},
         {Field::registrant, "Data Protected", true}},
        {{"Registrant Organization: Not Disclosed"}, {Field::registrant, "Not Disclosed", true}},
        {{"[登録者名]  非公開", "[Registrant]  非公開"}, {Field::registrant, "非公開", true}},
        {{"Registrant:", "\tNot shown, please visit www.dns.be for webbased whois."},
         {Field::registrant, "Not shown, please visit www.dns.be for webbased whois.", true}},
        {{"Registrant Organization: Please query the RDDS service of the Registrar of Record "
          "identified in this output for information on how to contact the Registrant, Admin, or "
          "Tech contact of the queried domain name."},
         {Field::registrant,
          "Please query the RDDS service of the Registrar of Record identified in this output for "
          "information on how to contact the Registrant, Admin, or Tech contact of the queried "
          "domain name.",
          true}},
        {{"Registrar Abuse Contact Email: REDACTED"}, {Field::abuse, "REDACTED", true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.front());
        EXPECT_EQ(Facts(query::TLines(c.lines), "example.com"), (std::vector<Fact>{c.fact}));
    }
}

TEST(Port43Facts, IsRedactedKnowsTheWithholdingTextsAndNoNames) {
    for (std::string_view text :
         {"REDACTED FOR PRIVACY", "Redacted for privacy", "  redacted  ", "REDACTED",
          "Data Protected", "Data protected, not disclosed", "Not Disclosed", "非公開",
          "（非公開）", "Please query the RDDS service of the Registrar of Record...",
          "Not shown, please visit www.dns.be for webbased whois.", "Withheld for Privacy ehf",
          "GDPR Masked", "Statutory Masking Enabled", "Ano Nymous"}) {
        EXPECT_TRUE(IsRedacted(text)) << text;
    }
    for (std::string_view text :
         {"", "Google LLC", "Domains By Proxy, LLC", "MarkMonitor Inc.", "株式会社公開",
          "Redwood Data Inc.", "abuse@example.net", "clientTransferProhibited"}) {
        EXPECT_FALSE(IsRedacted(text)) << text;
    }
}

TEST(Port43Facts, EmptyValuesAndPlaceholdersGiveNothing) {
    EXPECT_TRUE(Facts({"Registrar:", "Registrar URL:", "[状態]", "[状態]   ", "[登録者名]  　",
                       "Registrant Organization: -", "DNSSEC: N/A", "Name Server:\t"})
                    .empty());
}

TEST(Port43Facts, ValuesLoseControlsAndTheURLsAfterAStatus) {
    EXPECT_EQ(Facts({"Registrar: Example\x01 \x1B[31mRegistrar\x7F",
                     "Domain Status: ok https://icann.org/epp#ok",
                     "Name Server: A.DNS.EXAMPLE 192.0.2.53 2001:db8::53"}),
              (std::vector<Fact>{{Field::registrar, "Example [31mRegistrar"},
                                 {Field::status, "ok"},
                                 {Field::nameServer, "A.DNS.EXAMPLE"}}));
}

TEST(Port43Facts, ASigningKeyGoesOnOverItsIndentedLines) {
    EXPECT_EQ(Values(Facts({"[Signing Key]                   24907 8 2 (",
                            "                                97C38581102DE319",
                            "                                2F34748B1251F33A )",
                            "[登録年月日]                    2001/02/02"}),
                     Field::dnssec),
              std::vector<std::string>{"24907 8 2 ( 97C38581102DE319 2F34748B1251F33A )"});
}

TEST(Port43Facts, OnlyTheHeadOfAnAnswerIsRead) {
    std::vector<std::string> lines(kMaxScannedLines - 1, "Comment: filler");
    lines.push_back("Registrar: Last Read");
    lines.push_back("Registrar IANA ID: 1234");
    const std::vector<Fact> facts = Facts(query::TLines(lines), "example.com");
    EXPECT_EQ(facts, (std::vector<Fact>{{Field::registrar, "Last Read"}}));
}

TEST(Port43Facts, LongValuesAreCutAtACharacter) {
    std::string name;
    for (int i = 0; i < 400; ++i) name += "登";  // three bytes each
    const std::vector<Fact> facts = Facts({"Registrant Organization: " + name});
    ASSERT_EQ(facts.size(), 1u);
    EXPECT_LE(facts[0].value.size(), kMaxValueBytes);
    EXPECT_GT(facts[0].value.size(), kMaxValueBytes - 3);
    EXPECT_TRUE(unicode::IsValidUtf8(facts[0].value));

    // A megabyte line costs no more than its head.
    const std::vector<Fact> cidrs = Facts({"NetRange: 192.0.2.0 - 192.0.2.255",
                                           "CIDR: " + std::string(1 << 20, ',') + "192.0.2.0/24"},
                                          "192.0.2.1");
    EXPECT_EQ(Values(cidrs, Field::cidr), std::vector<std::string>{});
}

}  // namespace
}  // namespace torvane::summary
