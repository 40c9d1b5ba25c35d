// The label tables: each label of each format gives its field, in Japanese
// and English, with and without JPRS's letter prefix, in any case and
// spacing; and the labels that look alike but name something else give
// nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "port43_testing.h"

namespace torvane::summary {
namespace {

using testing::Fact;
using testing::Facts;

std::vector<Fact> Read(std::string_view answer, std::string_view query) {
    return Facts(query::TLines::FromText(std::string(answer)), query);
}

struct LabelCase {
    std::string_view answer;  // lines joined by '\n'
    Fact fact;                // among the facts read
};

void ExpectEachGivesItsFact(std::initializer_list<LabelCase> cases, std::string_view query) {
    for (const LabelCase& c : cases) {
        SCOPED_TRACE(c.answer);
        const std::vector<Fact> facts = Read(c.answer, query);
        EXPECT_NE(std::find(facts.begin(), facts.end(), c.fact), facts.end())
            << "wanted " << c.fact << ", read " << ::testing::PrintToString(facts);
    }
}

TEST(Port43Labels, IcannLabelsGiveTheirFields) {
    ExpectEachGivesItsFact(
        {
            {"Registrar: Example Registrar, Inc.", {Field::registrar, "Example Registrar, Inc."}},
            {"Sponsoring Registrar: EXAMPLE REGISTRAR", {Field::registrar, "EXAMPLE REGISTRAR"}},
            {"Registrar IANA ID: 1234", {Field::registrarIanaId, "1234"}},
            {"Sponsoring Registrar IANA ID: 1234", {Field::registrarIanaId, "1234"}},
            {"Registrant Organization: Example LLC", {Field::registrant, "Example LLC"}},
            {"Registrant Name: Jane Doe", {Field::registrant, "Jane Doe"}},
            {"Creation Date: 1997-09-15T04:00:00Z", {Field::created, "1997-09-15T04:00:00Z"}},
            {"Created On: 15-Sep-1997", {Field::created, "15-Sep-1997"}},
            {"Updated Date: 2019-09-09T15:39:04Z", {Field::updated, "2019-09-09T15:39:04Z"}},
            {"Registry Expiry Date: 2028-09-14T04:00:00Z",
             {Field::expires, "2028-09-14T04:00:00Z"}},
            {"Registrar Registration Expiration Date: 2028-09-13T00:00:00-0700",
             {Field::expires, "2028-09-13T00:00:00-0700"}},
            {"Expiration Date: 14-sep-2020", {Field::expires, "14-sep-2020"}},
            {"Domain Status: clientHold https://icann.org/epp#clientHold",
             {Field::status, "clientHold"}},
            {"Domain Status: clientHold (https://www.icann.org/epp#clientHold)",
             {Field::status, "clientHold"}},
            {"Status: ok", {Field::status, "ok"}},
            {"Name Server: NS1.EXAMPLE.NET", {Field::nameServer, "NS1.EXAMPLE.NET"}},
            {"DNSSEC: signedDelegation", {Field::dnssec, "signedDelegation"}},
            {"Registrar Abuse Contact Email: abuse@example.net",
             {Field::abuse, "abuse@example.net"}},
            {"Registrar Abuse Contact Phone: +1.5555550100", {Field::abuse, "+1.5555550100"}},
            // Case and spacing do not matter, nor the indent of thin registries.
            {"REGISTRAR IANA ID:   1234", {Field::registrarIanaId, "1234"}},
            {"registry   expiry date:2030-01-01T00:00:00Z",
             {Field::expires, "2030-01-01T00:00:00Z"}},
            {"   Name Server:\tns2.example.net", {Field::nameServer, "ns2.example.net"}},
            {"Registrar :  Example", {Field::registrar, "Example"}},
        },
        "example.com");
}

TEST(Port43Labels, JprsLabelsGiveTheirFieldsInJapaneseAndEnglish) {
    ExpectEachGivesItsFact(
        {
            {"[登録者名]  例示株式会社", {Field::registrant, "例示株式会社"}},
            {"[Registrant]  Example Co., Ltd.", {Field::registrant, "Example Co., Ltd."}},
            {"f. [組織名]  例示株式会社", {Field::registrant, "例示株式会社"}},
            {"g. [Organization]  Example Co., Ltd.", {Field::registrant, "Example Co., Ltd."}},
            {"c. [ネットワークサービス名]  例示ネット", {Field::registrant, "例示ネット"}},
            {"d. [Network Service Name]  Example Net", {Field::registrant, "Example Net"}},
            {"[登録年月日]  2001/03/22", {Field::created, "2001/03/22"}},
            {"[Created on]  2005/05/30", {Field::created, "2005/05/30"}},
            {"[Registered Date]  2005/05/30", {Field::created, "2005/05/30"}},
            {"[有効期限]  2027/05/31", {Field::expires, "2027/05/31"}},
            {"[Expires on]  2027/05/31", {Field::expires, "2027/05/31"}},
            {"[最終更新]  2026/06/01 01:05:03 (JST)",
             {Field::updated, "2026/06/01 01:05:03 (JST)"}},
            {"[Last Updated]  2013/06/01 01:05:07 (JST)",
             {Field::updated, "2013/06/01 01:05:07 (JST)"}},
            {"[Last Update]  2023/04/01 01:04:55 (JST)",
             {Field::updated, "2023/04/01 01:04:55 (JST)"}},
            {"[状態]  Active", {Field::status, "Active"}},
            {"[Status]  Active", {Field::status, "Active"}},
            {"[State]  Connected (2024/03/31)", {Field::status, "Connected (2024/03/31)"}},
            {"[ロック状態]  AgentChangeLocked", {Field::status, "AgentChangeLocked"}},
            {"[Lock Status]  DomainTransferLocked", {Field::status, "DomainTransferLocked"}},
            {"p. [ネームサーバ]  ns1.example.jp", {Field::nameServer, "ns1.example.jp"}},
            {"[Name Server]  ns1.example.jp", {Field::nameServer, "ns1.example.jp"}},
            {"s. [署名鍵]  12345 8 2 (", {Field::dnssec, "12345 8 2 ("}},
            {"[Signing Key]  12345 8 2 ( 0ABC )", {Field::dnssec, "12345 8 2 ( 0ABC )"}},
            // The expiry in a state's bracket; prefixes, case and spacing.
            {"[状態]  Connected (2015/03/31)", {Field::expires, "2015/03/31"}},
            {"A. [Registrant]  Upper Prefix", {Field::registrant, "Upper Prefix"}},
            {"g.[organization]  No Space", {Field::registrant, "No Space"}},
            {"[ Name  Server ]  ns2.example.jp", {Field::nameServer, "ns2.example.jp"}},
            {"[有効期限]\t2027/05/31", {Field::expires, "2027/05/31"}},
        },
        "example.jp");
}

TEST(Port43Labels, JpnicLabelsGiveNetworkAndAsFields) {
    ExpectEachGivesItsFact(
        {
            {"a. [IPネットワークアドレス]  192.0.2.0/24", {Field::cidr, "192.0.2.0/24"}},
            {"a. [Network Number]  192.0.2.0/24", {Field::cidr, "192.0.2.0/24"}},
            {"a. [IPネットワークアドレス]  192.0.2.0-192.0.2.127",
             {Field::range, "192.0.2.0-192.0.2.127"}},
            {"a. [IPネットワークアドレス]  192.0.2.0/24\nb. [ネットワーク名]  EXAMPLE-NET",
             {Field::netName, "EXAMPLE-NET"}},
            {"a. [Network Number]  192.0.2.0/24\nb. [Network Name]  EXAMPLE-NET",
             {Field::netName, "EXAMPLE-NET"}},
            {"a. [IPネットワークアドレス]  192.0.2.0/24\nf. [組織名]  例示株式会社",
             {Field::holder, "例示株式会社"}},
            {"a. [Network Number]  192.0.2.0/24\ng. [Organization]  Example Co.",
             {Field::holder, "Example Co."}},
            {"a. [IPネットワークアドレス]  192.0.2.0/24\n[割当年月日]  2010/04/01",
             {Field::allocated, "2010/04/01"}},
            {"a. [Network Number]  192.0.2.0/24\n[Assigned Date]  2010/04/01",
             {Field::allocated, "2010/04/01"}},
            {"a. [AS番号]  64496", {Field::asNumber, "64496"}},
            {"a. [AS Number]  64496", {Field::asNumber, "64496"}},
            {"a. [AS番号]  64496\nb. [AS名]  EXAMPLE-AS", {Field::asName, "EXAMPLE-AS"}},
            {"a. [AS Number]  64496\nb. [AS Name]  EXAMPLE-AS", {Field::asName, "EXAMPLE-AS"}},
            {"a. [AS番号]  64496\nf. [組織名]  例示株式会社", {Field::holder, "例示株式会社"}},
        },
        "192.0.2.1");
}

TEST(Port43Labels, RirFieldsGiveTheirFields) {
    ExpectEachGivesItsFact(
        {
            {"inetnum:  192.0.2.0 - 192.0.2.255", {Field::range, "192.0.2.0 - 192.0.2.255"}},
            {"inetnum:  170.0.0.0/22", {Field::cidr, "170.0.0.0/22"}},
            {"inet6num:  2001:db8::/32", {Field::cidr, "2001:db8::/32"}},
            {"inetnum: 192.0.2.0 - 192.0.2.255\nnetname:  EXAMPLE-NET",
             {Field::netName, "EXAMPLE-NET"}},
            {"inetnum: 192.0.2.0 - 192.0.2.255\ncountry:  JP", {Field::country, "JP"}},
            {"inetnum: 192.0.2.0 - 192.0.2.255\ndescr:  Example Net",
             {Field::holder, "Example Net"}},
            {"inetnum: 192.0.2.0/24\nowner:  Example SA", {Field::holder, "Example SA"}},
            {"inetnum: 192.0.2.0/24\ncreated:  20160509", {Field::allocated, "20160509"}},
            {"inetnum: 192.0.2.0 - 192.0.2.255\n\norganisation: ORG-EX1-RIPE\norg-name:  Example "
             "BV",
             {Field::holder, "Example BV"}},
            {"aut-num:  AS64496", {Field::asNumber, "AS64496"}},
            {"aut-num:  AS64496\nas-name:  EXAMPLE-AS", {Field::asName, "EXAMPLE-AS"}},
            {"role:  Example NOC\nabuse-mailbox:  abuse@example.net",
             {Field::abuse, "abuse@example.net"}},
            {"% Abuse contact for '192.0.2.0 - 192.0.2.255' is 'abuse@example.net'",
             {Field::abuse, "abuse@example.net"}},
            // ARIN
            {"NetRange:  192.0.2.0 - 192.0.2.255", {Field::range, "192.0.2.0 - 192.0.2.255"}},
            {"NetRange: 192.0.2.0 - 192.0.2.255\nCIDR:  192.0.2.0/25, 192.0.2.128/25",
             {Field::cidr, "192.0.2.128/25"}},
            {"NetRange: 192.0.2.0 - 192.0.2.255\nNetName:  EXAMPLE", {Field::netName, "EXAMPLE"}},
            {"NetRange: 192.0.2.0 - 192.0.2.255\nRegDate:  2008-11-19",
             {Field::allocated, "2008-11-19"}},
            {"NetRange: 192.0.2.0 - 192.0.2.255\n\nOrgName:  Example, Inc.\nCountry:  US",
             {Field::country, "US"}},
            {"NetRange: 192.0.2.0 - 192.0.2.255\n\nCustName:  Example Customer",
             {Field::holder, "Example Customer"}},
            {"NetRange: 192.0.2.0 - 192.0.2.255\n\nOrgAbuseHandle: EX-ARIN\nOrgAbuseEmail:  "
             "abuse@example.net",
             {Field::abuse, "abuse@example.net"}},
            {"ASNumber:  64496", {Field::asNumber, "64496"}},
            {"ASNumber:  64496\nASName:  EXAMPLE", {Field::asName, "EXAMPLE"}},
        },
        "192.0.2.1");
}

TEST(Port43Labels, CctldFormsGiveTheirFields) {
    ExpectEachGivesItsFact(
        {
            {"Domain: example.de\nNserver: ns1.example.de", {Field::nameServer, "ns1.example.de"}},
            {"Domain: example.de\nChanged: 2018-03-12T21:44:25+01:00",
             {Field::updated, "2018-03-12T21:44:25+01:00"}},
            {"Domain:\texample.be\nRegistered:\tTue Dec 12 2000",
             {Field::created, "Tue Dec 12 2000"}},
            {"Registrar:\n\tName:\t Example Registrar\n\tWebsite: http://example.net",
             {Field::registrar, "Example Registrar"}},
            {"Nameservers:\n\tns1.example.be\n\tns2.example.be",
             {Field::nameServer, "ns2.example.be"}},
            {"    Registrar:\n        Example Ltd [Tag = EXAMPLE]\n        URL: http://example.net",
             {Field::registrar, "Example Ltd [Tag = EXAMPLE]"}},
            {"    Relevant dates:\n        Expiry date:  14-Feb-2019",
             {Field::expires, "14-Feb-2019"}},
            {"    Registration status:\n        Registered until expiry date.",
             {Field::status, "Registered until expiry date."}},
            {"Abuse Contact:\n   +31.0000000000\n   abuse@example.nl",
             {Field::abuse, "abuse@example.nl"}},
            {"Domain nameservers:\n   ns1.example.nl", {Field::nameServer, "ns1.example.nl"}},
            {"Registrar Name: Example Corporate Services",
             {Field::registrar, "Example Corporate Services"}},
            {"Last Modified: 2018-07-14T17:53:43Z", {Field::updated, "2018-07-14T17:53:43Z"}},
            {"Registrant: Example Inc", {Field::registrant, "Example Inc"}},
            {"Registration Date: 2003-03-10 19:06:34", {Field::created, "2003-03-10 19:06:34"}},
            {"Expiration Time: 2018-03-10 19:06:34", {Field::expires, "2018-03-10 19:06:34"}},
            {"등록인                      : 예시주식회사", {Field::registrant, "예시주식회사"}},
            {"등록일                      : 2007. 03. 02.", {Field::created, "2007. 03. 02."}},
            {"최근 정보 변경일            : 2010. 10. 04.", {Field::updated, "2010. 10. 04."}},
            {"사용 종료일                 : 2021. 03. 02.", {Field::expires, "2021. 03. 02."}},
            {"등록대행자                  : 예시(http://example.kr)",
             {Field::registrar, "예시(http://example.kr)"}},
            {"   호스트이름               : ns1.example.kr", {Field::nameServer, "ns1.example.kr"}},
            {"Authorized Agency           : Example Corp.", {Field::registrar, "Example Corp."}},
            {"   Host Name                : ns1.example.kr", {Field::nameServer, "ns1.example.kr"}},
            {"   Record expires on 2022-07-25 00:00:00 (UTC+8)",
             {Field::expires, "2022-07-25 00:00:00 (UTC+8)"}},
            {"   Record created on 2002-07-07 01:46:06 (UTC+8)",
             {Field::created, "2002-07-07 01:46:06 (UTC+8)"}},
            {"   Registrant:\n      例示股份有限公司\n      Example Co.,LTD",
             {Field::registrant, "例示股份有限公司"}},
            {"Registration Service Provider: EXAMPLE", {Field::registrar, "EXAMPLE"}},
        },
        "example.de example.be");
}

TEST(Port43Labels, LookalikeLabelsGiveNothingOfTheField) {
    const struct {
        std::string_view answer;
        Field field;  // no fact of it
    } cases[] = {
        {"Registrant Street: 1 Example Way", Field::registrant},
        {"Admin Organization: Example LLC", Field::registrant},
        {"Tech Name: Jane Doe", Field::registrant},
        {"Registrar URL: http://www.example.net", Field::registrar},
        {"Registrar WHOIS Server: whois.example.net", Field::registrar},
        {"Registrar IANA ID: not applicable", Field::registrarIanaId},
        {"[名前]  例示株式会社", Field::registrant},
        {"[Email]  contact@example.jp", Field::abuse},
        {"e. [そしきめい]  れいじかぶしきがいしゃ", Field::registrant},
        {"[接続年月日]  2001/03/22", Field::created},
        {"[状態]  To be suspended (2026/01/31)", Field::expires},
        // RIR attributes outside the objects they count in.
        {"inetnum: 192.0.2.0 - 192.0.2.255\nstatus:  ASSIGNED PA", Field::status},
        {"inetnum: 192.0.2.0 - 192.0.2.255\ne-mail:  noc@example.net", Field::abuse},
        {"inetnum: 192.0.2.0 - 192.0.2.255\n\nrole:  Example NOC\ncountry:  ZZ", Field::country},
        {"inetnum: 192.0.2.0 - 192.0.2.255\n\nperson:  Jane Doe\ncreated:  2020-01-01",
         Field::allocated},
        {"route:  192.0.2.0/24\ndescr:  Example route", Field::holder},
        {"NetRange: 192.0.2.0 - 192.0.2.255\n\nOrgName: Example\nRegDate:  1998-05-22",
         Field::allocated},
        {"inetnum: 192.0.2.0/24\nnserver:  ns1.example.net", Field::nameServer},
        {"inetnum: 192.0.2.0/24\naut-num:  AS64496", Field::asNumber},
        {"inetnum: 192.0.2.0/24\nchanged:  20180127", Field::updated},
        {"domain: example.com\n\nregistrar: EXAMPLE\nregistered:  10/01/2002", Field::created},
        {"Registrar Technical Contacts:\n\tName:\tExample\n\tOrganisation:\tExample",
         Field::registrar},
        {"Registrant:\n\tName:\tExample\n\nRegistrar Technical Contacts:\n\tOrganisation:\tOther",
         Field::holder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const std::vector<Fact> facts = Read(c.answer, "192.0.2.1 example.com");
        EXPECT_TRUE(testing::Values(facts, c.field).empty()) << ::testing::PrintToString(facts);
    }
}

TEST(Port43Labels, TextThatIsNoLabelGivesNothing) {
    for (std::string_view answer : {
             "Domain Information: [ドメイン情報]",
             "[ JPRS database provides information on network administration. Its use is    ]",
             "m. [登録担当者]  EX0001JP",
             "For more information on Whois status codes, please visit https://icann.org/epp",
             ">>> Last update of whois database: 2020-08-07T16:16:10Z <<<",
             "No match for \"EXAMPLE.COM\".",
             "% No abuse contact registered for 192.0.2.0 - 192.0.2.255",
             "    WHOIS lookup made at 18:52:38 14-Jul-2018",
             "to: (1) allow, enable, or otherwise support the transmission of mass",
         }) {
        SCOPED_TRACE(answer);
        const std::vector<Fact> facts = Read(answer, "192.0.2.1 example.com");
        EXPECT_TRUE(facts.empty()) << ::testing::PrintToString(facts);
    }
}

}  // namespace
}  // namespace torvane::summary
