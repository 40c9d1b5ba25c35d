// The RDAP reader, the merge, the lines and the JSON of the summary, on
// small made-up answers for the rules the real ones do not all show.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "rdap/render.h"
#include "summary/port43_facts.h"
#include "summary/rdap_facts.h"
#include "summary/summarize.h"
#include "summary/summary_json.h"
#include "summary/summary_lines.h"
#include "unicode/cells.h"

namespace torvane::summary {
namespace {

using namespace std::chrono;

constexpr sys_seconds kNow = sys_days{year{2026} / 12 / 9};

// The values `facts` hold for `field`, in order.
std::vector<std::string> Values(const std::vector<RawFact>& facts, Field field) {
    std::vector<std::string> values;
    for (const RawFact& fact : facts) {
        if (fact.field == field)
            values.push_back(fact.redacted ? "<redacted> " + fact.value : fact.value);
    }
    return values;
}

using Strings = std::vector<std::string>;

TEST(ReadRdapFacts, GivesNothingForWhatIsNoRegistrationObject) {
    const std::string cases[] = {
        "",
        "<html>Not found</html>",
        "[{\"objectClassName\":\"domain\",\"ldhName\":\"a.com\"}]",
        R"({"errorCode":404,"title":"Not Found"})",
        R"({"domainSearchResults":[{"objectClassName":"domain","status":["active"]}]})",
        R"({"objectClassName":"nameserver","ldhName":"ns1.example.com","status":["active"]})",
        R"({"objectClassName":"entity","handle":"X","status":["active"]})",
        // Nested past the depth limit: not read at all.
        R"({"objectClassName":"domain","status":["active"],"x":)" +
            std::string(rdap::kMaxAnswerDepth, '[') + std::string(rdap::kMaxAnswerDepth, ']') + "}",
    };
    for (const std::string& json : cases)
        EXPECT_TRUE(ReadRdapFacts(json).empty()) << json.substr(0, 60);
}

struct HolderCase {
    const char* what;
    std::string json;
    Strings registrant;
};

TEST(ReadRdapFacts, ReadsTheRegistrantOrItsRedaction) {
    const auto domain = [](const std::string& members) {
        return R"({"objectClassName":"domain",)" + members + "}";
    };
    const HolderCase cases[] = {
        {"organisation before name",
         domain(
             R"("entities":[{"roles":["registrant"],"vcardArray":["vcard",[["fn",{},"text","J. Doe"],)"
             R"(["org",{},"text","Example Inc."]]]}])"),
         {"Example Inc."}},
        {"name without organisation",
         domain(
             R"("entities":[{"roles":["Registrant"],"vcardArray":["vcard",[["fn",{},"text","J. Doe"]]]}])"),
         {"J. Doe"}},
        {"a given organisation despite a redaction remark",
         domain(
             R"("entities":[{"roles":["registrant"],"remarks":[{"title":"REDACTED FOR PRIVACY"}],)"
             R"("vcardArray":["vcard",[["org",{},"text","Google LLC"]]]}])"),
         {"Google LLC"}},
        {"an empty card with a redaction remark",
         domain(
             R"("entities":[{"roles":["registrant"],"remarks":[{"title":"REDACTED FOR PRIVACY"}],)"
             R"("vcardArray":["vcard",[["version",{},"text","4.0"]]]}])"),
         {"<redacted> REDACTED FOR PRIVACY"}},
        {"RFC 9537: an emptied organisation",
         domain(
             R"("entities":[{"roles":["registrant"],"vcardArray":["vcard",[["org",{},"text",""]]]}],)"
             R"("redacted":[{"name":{"type":"Registrant Organization"},"method":"emptyValue"}])"),
         {"<redacted> Registrant Organization"}},
        {"RFC 9537: a replaced name",
         domain(
             R"("entities":[{"roles":["registrant"],"vcardArray":["vcard",[["fn",{},"text","Withheld"]]]}],)"
             R"("redacted":[{"name":{"type":"Registrant Name"},"method":"replacementValue",)"
             R"("reason":{"description":"Server policy"}}])"),
         {"<redacted> Server policy"}},
        {"a value that says it is withheld",
         domain(
             R"("entities":[{"roles":["registrant"],"vcardArray":["vcard",[["fn",{},"text","REDACTED FOR PRIVACY"]]]}])"),
         {"<redacted> REDACTED FOR PRIVACY"}},
        {"no registrant entity",
         domain(
             R"("entities":[{"roles":["technical"],"remarks":[{"title":"REDACTED FOR PRIVACY"}]}])"),
         {}},
    };
    for (const HolderCase& c : cases) {
        EXPECT_EQ(Values(ReadRdapFacts(c.json), Field::registrant), c.registrant) << c.what;
    }
}

struct AbuseCase {
    const char* what;
    std::string entities;
    Strings abuse;
};

TEST(ReadRdapFacts, FindsTheNearestAbuseContact) {
    const AbuseCase cases[] = {
        {"mail before phone",
         R"([{"roles":["abuse"],"vcardArray":["vcard",[["tel",{},"uri","tel:+1.555"],["email",{},"text","a@x.example"]]]}])",
         {"a@x.example"}},
        {"the address typed abuse among several",
         R"([{"roles":["abuse"],"vcardArray":["vcard",[["email",{"type":"email"},"text","ops@x.example"],)"
         R"(["email",{"type":"abuse"},"text","abuse@x.example"]]]}])",
         {"abuse@x.example"}},
        {"a voice number without its tel: scheme, never a fax",
         R"([{"roles":["abuse"],"vcardArray":["vcard",[["tel",{"type":"fax"},"uri","tel:+1.999"],)"
         R"(["tel",{},"uri","fax:+1.998"],["tel",{"type":"voice"},"uri","tel:+1.2083895740"]]]}])",
         {"+1.2083895740"}},
        {"nested in the registrar",
         R"([{"roles":["registrar"],"vcardArray":["vcard",[["fn",{},"text","R"]]],)"
         R"("entities":[{"roles":["abuse"],"vcardArray":["vcard",[["email",{},"text","abuse@r.example"]]]}]}])",
         {"abuse@r.example"}},
        {"the top level before a nested one",
         R"([{"roles":["registrant"],"entities":[{"roles":["abuse"],"vcardArray":["vcard",[["email",{},"text","deep@x.example"]]]}]},)"
         R"({"roles":["noc","abuse"],"vcardArray":["vcard",[["email",{},"text","top@x.example"]]]}])",
         {"top@x.example"}},
        {"an abuse entity without contact is passed over",
         R"([{"roles":["abuse"],"vcardArray":["vcard",[["fn",{},"text",""]]]},)"
         R"({"roles":["abuse"],"vcardArray":["vcard",[["email",{},"text","b@x.example"]]]}])",
         {"b@x.example"}},
        {"no abuse role",
         R"([{"roles":["technical"],"vcardArray":["vcard",[["email",{},"text","t@x.example"]]]}])",
         {}},
    };
    for (const AbuseCase& c : cases) {
        const std::string json =
            R"({"objectClassName":"ip network","entities":)" + c.entities + "}";
        EXPECT_EQ(Values(ReadRdapFacts(json), Field::abuse), c.abuse) << c.what;
    }
}

TEST(ReadRdapFacts, ReadsDomainFieldsAsGiven) {
    const auto facts = ReadRdapFacts(R"({"objectClassName":"domain","ldhName":"example.com",
        "entities":[{"roles":["registrar"],"vcardArray":["vcard",[["org",{},"text","Reg Inc."]]],
                     "publicIds":[{"type":"Other","identifier":"9"},{"type":"iana registrar id","identifier":292}]}],
        "events":[{"eventAction":"last update of RDAP database","eventDate":"2021-06-09T09:34:01Z"},
                  {"eventAction":"last update","eventDate":"2019-09-09T15:39:04.000+0000"},
                  {"eventAction":"expiration","eventDate":"2028-09-13T07:00:00.000+0000"},
                  {"eventAction":"expiration","eventDate":"2030-01-01T00:00:00Z"},
                  {"eventAction":"registration","eventDate":"1997-09-15T07:00:00.000+0000"}],
        "status":["client delete prohibited", 7, "active"],
        "nameservers":[{"ldhName":"NS1.EXAMPLE.COM"},{"unicodeName":"ns.例え.jp"},{"handle":"x"}],
        "secureDNS":{"delegationSigned":true}})");
    EXPECT_EQ(Values(facts, Field::registrar), Strings{"Reg Inc."});
    EXPECT_EQ(Values(facts, Field::registrarIanaId), Strings{"292"});
    EXPECT_EQ(Values(facts, Field::created), Strings{"1997-09-15T07:00:00.000+0000"});
    EXPECT_EQ(Values(facts, Field::updated), Strings{"2019-09-09T15:39:04.000+0000"});
    EXPECT_EQ(Values(facts, Field::expires), Strings{"2028-09-13T07:00:00.000+0000"});
    EXPECT_EQ(Values(facts, Field::status), (Strings{"client delete prohibited", "active"}));
    EXPECT_EQ(Values(facts, Field::nameServer), (Strings{"NS1.EXAMPLE.COM", "ns.例え.jp"}));
    EXPECT_EQ(Values(facts, Field::dnssec), Strings{"signedDelegation"});

    EXPECT_EQ(Values(ReadRdapFacts(
                         R"({"objectClassName":"domain","secureDNS":{"delegationSigned":false}})"),
                     Field::dnssec),
              Strings{"unsigned"});
    EXPECT_TRUE(
        Values(
            ReadRdapFacts(R"({"objectClassName":"domain","secureDNS":{"delegationSigned":"yes"}})"),
            Field::dnssec)
            .empty());
}

TEST(ReadRdapFacts, ReadsNetworksAndAsNumbers) {
    const auto network =
        ReadRdapFacts(R"({"objectClassName":"ip network","startAddress":"2001:db8::",
        "endAddress":"2001:db8:ffff:ffff:ffff:ffff:ffff:ffff","name":"NET-X","country":"JP",
        "cidr0_cidrs":[{"v6prefix":"2001:db8::","length":32},{"v4prefix":"192.0.2.0"}],
        "events":[{"eventAction":"registration","eventDate":"2005-03-14T11:31:08-05:00"}],
        "entities":[{"roles":["registrant"],"vcardArray":["vcard",[["fn",{},"text","Example KK"]]]}]})");
    EXPECT_EQ(Values(network, Field::range),
              Strings{"2001:db8:: - 2001:db8:ffff:ffff:ffff:ffff:ffff:ffff"});
    EXPECT_EQ(Values(network, Field::cidr), Strings{"2001:db8::/32"});
    EXPECT_EQ(Values(network, Field::netName), Strings{"NET-X"});
    EXPECT_EQ(Values(network, Field::country), Strings{"JP"});
    EXPECT_EQ(Values(network, Field::holder), Strings{"Example KK"});
    EXPECT_EQ(Values(network, Field::allocated), Strings{"2005-03-14T11:31:08-05:00"});

    const std::pair<const char*, Strings> autnums[] = {
        {R"("startAutnum":13335,"endAutnum":13335)", {"AS13335"}},
        {R"("startAutnum":4608,"endAutnum":4865)", {"AS4608 - AS4865"}},
        {R"("startAutnum":64512)", {"AS64512"}},
        {R"("handle":"AS1234")", {"AS1234"}},
        {R"("handle":"AS12X")", {}},
        {R"("startAutnum":-5)", {}},
    };
    for (const auto& [members, expected] : autnums) {
        const std::string json = R"({"objectClassName":"autnum",)" + std::string(members) + "}";
        EXPECT_EQ(Values(ReadRdapFacts(json), Field::asNumber), expected) << members;
    }
}

TEST(ReadRdapFacts, ValuesAreOneCleanCappedLine) {
    const std::string longName(kMaxValueBytes - 1, 'a');
    const auto facts =
        ReadRdapFacts(R"({"objectClassName":"ip network","name":"  NET\u0007X\r\nY\u0085Z  ",
        "country":"   ","entities":[{"roles":["registrant"],"vcardArray":["vcard",[["fn",{},"text",")" +
                      longName + R"(あ"]]]}]})");
    EXPECT_EQ(Values(facts, Field::netName), Strings{"NET X Y Z"});
    EXPECT_TRUE(Values(facts, Field::country).empty());
    // The three-byte character would pass the cap: cut before it, not inside.
    EXPECT_EQ(Values(facts, Field::holder), Strings{longName});
}

// Summaries from hand-made facts.
Source Port43(const char* server) { return {server, Origin::port43}; }
Source Rdap(const char* server) { return {server, Origin::rdap}; }

const Fact* FactOf(const Summary& summary, Field field) {
    for (const Fact& fact : summary.facts) {
        if (fact.field == field) return &fact;
    }
    return nullptr;
}

TEST(Summarize, MergesAgreeingValuesAndKeepsDisagreeingOnes) {
    const std::vector<AnswerFacts> answers = {
        {Port43("whois.verisign-grs.com"),
         {{Field::registrar, "MarkMonitor Inc."},
          {Field::expires, "2028-09-14T04:00:00Z"},
          {Field::created, "1997-09-15T04:00:00Z"},
          {Field::status, "clientDeleteProhibited https://icann.org/epp#clientDeleteProhibited"},
          {Field::nameServer, "NS1.GOOGLE.COM"},
          {Field::nameServer, "NS2.GOOGLE.COM"}}},
        {Port43("whois.markmonitor.com"),
         {{Field::registrar, "MarkMonitor, Inc."},
          {Field::expires, "2028-09-13T00:00:00-0700"},
          {Field::created, "1997-09-14T21:00:00-0700"},
          {Field::nameServer, "ns2.google.com."},
          {Field::nameServer, "ns1.google.com"}}},
        {Rdap("rdap.verisign.com"),
         {{Field::registrar, "MARKMONITOR INC"},
          {Field::expires, "2028-09-14T04:00:00Z"},
          {Field::created, "1997-09-15T04:00:00Z"},
          {Field::status, "client delete prohibited"}}},
    };
    const Summary summary = Summarize(Subject::domain, answers);

    const Fact* registrar = FactOf(summary, Field::registrar);
    ASSERT_NE(registrar, nullptr);
    ASSERT_EQ(registrar->values.size(), 1u);
    EXPECT_EQ(registrar->values[0].text, "MarkMonitor Inc.");
    EXPECT_EQ(registrar->values[0].sources,
              (std::vector<Source>{Port43("whois.verisign-grs.com"),
                                   Port43("whois.markmonitor.com"), Rdap("rdap.verisign.com")}));

    const Fact* expires = FactOf(summary, Field::expires);
    ASSERT_NE(expires, nullptr);
    ASSERT_EQ(expires->values.size(), 2u);  // the registrar's date is a day earlier
    EXPECT_EQ(expires->values[0].sources.size(), 2u);

    const Fact* created = FactOf(summary, Field::created);
    ASSERT_NE(created, nullptr);
    ASSERT_EQ(created->values.size(), 1u);  // the same instant in another zone
    EXPECT_EQ(created->values[0].sources.size(), 3u);

    const Fact* status = FactOf(summary, Field::status);
    ASSERT_NE(status, nullptr);
    ASSERT_EQ(status->values.size(), 1u);
    EXPECT_EQ(status->values[0].sources.size(), 2u);

    const Fact* servers = FactOf(summary, Field::nameServer);
    ASSERT_NE(servers, nullptr);
    ASSERT_EQ(servers->values.size(), 2u);
    EXPECT_EQ(servers->values[0].text, "NS1.GOOGLE.COM");
    EXPECT_EQ(servers->values[1].sources.size(), 2u);

    // Field order, whatever order the answers gave them in.
    for (std::size_t i = 1; i < summary.facts.size(); ++i) {
        EXPECT_LT(summary.facts[i - 1].field, summary.facts[i].field);
    }
}

TEST(Summarize, TakesTheFirstValueOfOneAnswerAndKeepsEveryListItem) {
    const std::vector<AnswerFacts> answers = {
        {Port43("whois.example"),
         {{Field::expires, "2027-01-01"},
          {Field::expires, "2029-01-01"},
          {Field::status, "ok"},
          {Field::status, "ok"},
          {Field::status, "clientHold"}}},
    };
    const Summary summary = Summarize(Subject::domain, answers);
    ASSERT_EQ(summary.facts.size(), 2u);
    ASSERT_EQ(summary.facts[0].values.size(), 1u);
    EXPECT_EQ(summary.facts[0].values[0].text, "2027-01-01");
    ASSERT_EQ(summary.facts[1].values.size(), 2u);
    EXPECT_EQ(summary.facts[1].values[0].sources.size(), 1u);  // one source, named once
}

TEST(Summarize, ShowsARedactionOnlyWhereNoSourceGivesTheValue) {
    const std::vector<AnswerFacts> withheld = {
        {Port43("whois.registry.example"), {{Field::registrant, "REDACTED FOR PRIVACY", true}}},
        {Rdap("rdap.registry.example"), {{Field::registrant, "Data Protected", true}}},
    };
    const Summary summary = Summarize(Subject::domain, withheld);
    ASSERT_EQ(summary.facts.size(), 1u);
    ASSERT_EQ(summary.facts[0].values.size(), 1u);
    EXPECT_TRUE(summary.facts[0].values[0].redacted);
    EXPECT_EQ(summary.facts[0].values[0].sources.size(), 2u);

    std::vector<AnswerFacts> given = withheld;
    given.push_back({Port43("whois.registrar.example"), {{Field::registrant, "Example Inc."}}});
    const Summary shown = Summarize(Subject::domain, given);
    ASSERT_EQ(shown.facts.size(), 1u);
    ASSERT_EQ(shown.facts[0].values.size(), 1u);
    EXPECT_FALSE(shown.facts[0].values[0].redacted);
    EXPECT_EQ(shown.facts[0].values[0].text, "Example Inc.");
}

TEST(Summarize, KeepsOnlyTheSubjectsFields) {
    const std::vector<AnswerFacts> answers = {
        {Port43("whois.example"),
         {{Field::registrar, "R"},
          {Field::netName, "NET"},
          {Field::asName, "ASN"},
          {Field::holder, "H"},
          {Field::allocated, "2001-01-01"},
          {Field::abuse, "a@x.example"}}},
    };
    const auto fields = [&](Subject subject) {
        std::vector<Field> out;
        for (const Fact& fact : Summarize(subject, answers).facts) out.push_back(fact.field);
        return out;
    };
    EXPECT_EQ(fields(Subject::domain), (std::vector<Field>{Field::registrar, Field::abuse}));
    EXPECT_EQ(fields(Subject::network),
              (std::vector<Field>{Field::netName, Field::holder, Field::allocated, Field::abuse}));
    EXPECT_EQ(fields(Subject::asNumber), (std::vector<Field>{Field::asName, Field::holder}));
    EXPECT_TRUE(Summarize(Subject::domain, {}).Empty());
}

Summary ExpirySummary(const char* date) {
    const std::vector<AnswerFacts> answers = {{Port43("whois.example"), {{Field::expires, date}}}};
    return Summarize(Subject::domain, answers);
}

TEST(SummaryLines, MarksTheExpiryInWordsOnceItIsNear) {
    const std::pair<const char*, const char*> cases[] = {
        {"2027-01-09T00:00:00Z", "残り 31 日"},
        {"2027-01-08T00:00:00Z", "【期限まで 30 日】"},
        {"2026-12-09", "【期限まで 0 日】"},
        {"2026-12-08T15:00:00Z", "【期限まで 0 日】"},  // midnight of the 9th in Japan
        {"2026-12-08T14:59:59Z", "【期限切れ】"},
        {"2026/12/08", "【期限切れ】"},
    };
    for (const auto& [date, mark] : cases) {
        const std::vector<std::string> lines = SummaryLines(ExpirySummary(date), kNow);
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_NE(lines[2].find(mark), std::string::npos) << lines[2];
        EXPECT_EQ(lines[2].find("残り") != std::string::npos,
                  std::string_view(mark).starts_with("残り"))
            << lines[2];
    }
    // A text that is no date is shown as it is, unmarked.
    const auto lines = SummaryLines(ExpirySummary("in a while"), kNow);
    EXPECT_EQ(lines[2].find("【"), std::string::npos);
}

TEST(SummaryLines, AlignsValuesAndNamesSources) {
    const std::vector<AnswerFacts> answers = {
        {Port43("whois.jprs.jp"),
         {{Field::registrant, "株式会社例"},
          {Field::created, "2001/03/22"},
          {Field::updated, "2014/08/01 01:05:11 (JST)"},
          {Field::nameServer, "ns1.example.jp"},
          {Field::nameServer, "ns2.example.jp"},
          {Field::dnssec, "unsigned"}}},
        {Rdap("rdap.example"), {{Field::registrant, "非公開", true}, {Field::dnssec, "Unsigned"}}},
    };
    const std::vector<std::string> lines = SummaryLines(Summarize(Subject::domain, answers), kNow);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], kSummaryTitle);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines.back(), "");
    std::size_t column = 0;
    for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
        const std::size_t colon = lines[i].find(" : ");
        ASSERT_NE(colon, std::string::npos) << lines[i];
        const std::size_t cells = unicode::TextCells(std::string_view(lines[i]).substr(0, colon));
        if (column == 0) column = cells;
        EXPECT_EQ(cells, column) << lines[i];
    }
    // The registrant is given, so the redaction is not shown.
    EXPECT_EQ(lines[2].find("株式会社例  [whois.jprs.jp ポート43]"), lines[2].find(" : ") + 3)
        << lines[2];
    // Japan time already: no second rendering of the same time.
    EXPECT_EQ(lines[3].find("JST"), std::string::npos) << lines[3];
    EXPECT_EQ(lines[4].find("2014/08/01 01:05:11 (JST)  ["), lines[4].find(" : ") + 3) << lines[4];
    // The second name server has its own line under a blank label.
    EXPECT_TRUE(lines[6].starts_with(" ")) << lines[6];
    EXPECT_NE(lines[7].find("unsigned  [whois.jprs.jp ポート43, rdap.example RDAP]"),
              std::string::npos)
        << lines[7];
}

TEST(SummaryLines, ShowsARedactionOnceAndNoControlCharacter) {
    Summary summary;
    summary.facts.push_back(
        {Field::registrant, {{"REDACTED FOR PRIVACY", true, {Port43("a"), Rdap("b")}}}});
    summary.facts.push_back({Field::netName, {{"NET\tX\x1b[31m\x7f", false, {Port43("c\nd")}}}});
    const std::vector<std::string> lines = SummaryLines(summary, kNow);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[2].find(std::string(kRedactedText) + "  [a ポート43, b RDAP]"),
              std::string::npos);
    EXPECT_EQ(lines[2].find("REDACTED"), std::string::npos);
    for (const std::string& line : lines) {
        for (const char c : line)
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7f) << line;
    }
}

TEST(SummaryJson, CarriesTheDatesDaysAndSources) {
    const std::vector<AnswerFacts> answers = {
        {Port43("whois.jprs.jp"), {{Field::expires, "2027/05/31"}, {Field::status, "Active"}}},
        {Rdap("rdap.example"),
         {{Field::expires, "2027-05-30T15:00:00Z"}, {Field::registrant, "x", true}}},
    };
    const nlohmann::json json = SummaryJson(Summarize(Subject::domain, answers), kNow);
    EXPECT_EQ(json["subject"], "domain");
    ASSERT_EQ(json["facts"].size(), 3u);
    const nlohmann::json& registrant = json["facts"][0];
    EXPECT_EQ(registrant["field"], "registrant");
    EXPECT_EQ(registrant["label"], "登録者");
    EXPECT_EQ(registrant["values"][0]["redacted"], true);
    EXPECT_FALSE(registrant["values"][0].contains("utc"));

    const nlohmann::json& expires = json["facts"][1];
    EXPECT_EQ(expires["field"], "expires");
    ASSERT_EQ(expires["values"].size(), 1u);  // a JPRS day and an instant of that day in Japan
    const nlohmann::json& value = expires["values"][0];
    EXPECT_EQ(value["text"], "2027/05/31");
    EXPECT_EQ(value["utc"], "2027-05-31");
    EXPECT_EQ(value["jst"], "2027-05-31");
    EXPECT_EQ(value["daysLeft"], 173);
    EXPECT_EQ(value["sources"],
              nlohmann::json::parse(R"([{"server":"whois.jprs.jp","protocol":"port43"},
                                        {"server":"rdap.example","protocol":"rdap"}])"));
    EXPECT_EQ(json["facts"][2]["field"], "status");
}

}  // namespace
}  // namespace torvane::summary
