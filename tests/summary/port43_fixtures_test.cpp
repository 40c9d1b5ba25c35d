// The facts of the recorded answers: for each real answer (and the made-up
// JPNIC one), the facts an administrator looks up, read as the run reads
// them (decoded to UTF-8 first, ISO-2022-JP included), and no field the
// answer does not state.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/answer_utf8.h"
#include "port43_testing.h"

namespace torvane::summary {
namespace {

using testing::Fact;

const std::filesystem::path kWhoisData =
    std::filesystem::path(TORVANE_TEST_DATA) / "summary" / "whois";

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct FixtureCase {
    std::string_view file;   // under tests/data/summary/whois; its folder is the server
    std::string_view query;  // as the run asks that server
    // Single-valued fields: the first value read. List fields: every value,
    // in order. A field not named here must not be read at all.
    std::vector<Fact> facts;
};

// clang-format off
const FixtureCase kCases[] = {
    {"whois.afrinic.net/105.158_2021.txt", "105.158.0.1", {
        {Field::range, "105.158.0.0 - 105.158.255.255"}, {Field::netName, "ADSL_Maroc_telecom"},
        {Field::holder, "ADSL_Maroc_telecom"}, {Field::country, "MA"}}},
    {"whois.apnic.net/171_2024.txt", "171.0.0.1", {
        {Field::abuse, "abuse@starhub.com"}, {Field::range, "171.0.0.0 - 171.1.255.255"},
        {Field::netName, "STARHUBINTERNET-SG"}, {Field::country, "SG"},
        {Field::holder, "Starhub Ltd."}}},
    {"whois.arin.net/no-referral.txt", "4.2.2.1", {
        {Field::range, "4.0.0.0 - 4.255.255.255"}, {Field::cidr, "4.0.0.0/8"},
        {Field::netName, "LVLT-ORG-4-8"}, {Field::allocated, "1992-12-01"},
        {Field::holder, "Level 3 Communications, Inc."}, {Field::country, "US"},
        {Field::abuse, "security@level3.com"}}},
    // ARIN's query form; four prefixes on one CIDR line; the org's empty RegDate.
    {"whois.arin.net/referral-apnic_2013.txt", "n 144.134.121.81", {
        {Field::range, "144.130.0.0 - 144.140.255.255"}, {Field::cidr, "144.132.0.0/14"},
        {Field::cidr, "144.136.0.0/14"}, {Field::cidr, "144.130.0.0/15"},
        {Field::cidr, "144.140.0.0/16"}, {Field::netName, "APNIC-ERX-144-130-0-0"},
        {Field::allocated, "2004-01-07"},
        {Field::holder, "Asia Pacific Network Information Centre"}, {Field::country, "AU"},
        {Field::abuse, "search-apnic-not-arin@apnic.net"}}},
    {"whois.arin.net/referral-rwhois_2024.txt", "174.0.0.1", {
        {Field::range, "174.0.0.0 - 174.7.255.255"}, {Field::cidr, "174.0.0.0/13"},
        {Field::netName, "SHAW-COMM"}, {Field::allocated, "2008-11-19"},
        {Field::holder, "Shaw Communications Inc."}, {Field::country, "CA"},
        {Field::abuse, "internet.abuse@sjrb.ca"}}},
    {"whois.auda.org.au/google.com.au_2018.txt", "google.com.au", {
        {Field::registrar, "MarkMonitor Corporate Services Inc"},
        {Field::status, "clientDeleteProhibited"}, {Field::status, "clientUpdateProhibited"},
        {Field::status, "serverDeleteProhibited"}, {Field::status, "serverRenewProhibited"},
        {Field::status, "serverUpdateProhibited"}, {Field::nameServer, "NS1.GOOGLE.COM"},
        {Field::nameServer, "NS2.GOOGLE.COM"}, {Field::nameServer, "NS3.GOOGLE.COM"},
        {Field::nameServer, "NS4.GOOGLE.COM"}, {Field::dnssec, "unsigned"},
        {Field::registrant, "Google INC"}}},
    {"whois.cnnic.cn/cnnic.cn_utf8.txt", "cnnic.cn", {
        {Field::status, "serverDeleteProhibited"}, {Field::status, "serverUpdateProhibited"},
        {Field::status, "serverTransferProhibited"}, {Field::registrant, "中国互联网络信息中心"},
        {Field::registrar, "北京中科三方网络技术有限公司"}, {Field::nameServer, "a.cnnic.cn"},
        {Field::nameServer, "b.cnnic.cn"}, {Field::nameServer, "c.cnnic.cn"},
        {Field::nameServer, "d.cnnic.cn"}, {Field::nameServer, "e.cnnic.cn"},
        {Field::created, "2003-03-10 19:06:34"}, {Field::expires, "2018-03-10 19:06:34"},
        {Field::dnssec, "unsigned"}}},
    {"whois.denic.de/google.de_2020.txt", "google.de", {
        {Field::nameServer, "ns1.google.com"}, {Field::nameServer, "ns2.google.com"},
        {Field::nameServer, "ns3.google.com"}, {Field::nameServer, "ns4.google.com"},
        {Field::status, "connect"}, {Field::updated, "2018-03-12T21:44:25+01:00"}}},
    // The record names the IDN in Unicode; its Domain-Ace line in the form asked.
    {"whois.denic.de/xn--fw-via.de_utf8.txt", "xn--fw-via.de", {
        {Field::nameServer, "ns1.evanzo.com"}, {Field::nameServer, "ns2.evanzo.com"},
        {Field::status, "connect"}, {Field::updated, "2012-11-14T11:44:02+01:00"}}},
    {"whois.dns.be/google.be_2014.txt", "google.be", {
        {Field::status, "NOT AVAILABLE"}, {Field::created, "Tue Dec 12 2000"},
        {Field::registrant, "Not shown, please visit www.dns.be for webbased whois.", true},
        {Field::registrar, "MarkMonitor Inc."}, {Field::nameServer, "ns4.google.com"},
        {Field::nameServer, "ns3.google.com"}, {Field::nameServer, "ns1.google.com"},
        {Field::nameServer, "ns2.google.com"}}},
    // IANA's /8 is a range too; the caller decides whether IANA's answers count.
    {"whois.iana.org/171.txt", "171.0.0.1", {
        {Field::range, "171.0.0.0 - 171.255.255.255"}}},
    // IANA's record of "JP" says nothing about rakuten.co.jp; JPRS's after it does.
    {"whois.iana.org/rakuten.co.jp_2025.txt", "rakuten.co.jp", {
        {Field::registrant, "楽天グループ株式会社"}, {Field::nameServer, "ns02.rakuten.co.jp"},
        {Field::nameServer, "ns04.rakuten.co.jp"}, {Field::nameServer, "ns05.rakuten.co.jp"},
        {Field::nameServer, "ns06.rakuten.co.jp"}, {Field::nameServer, "ns01.rakuten.co.jp"},
        {Field::nameServer, "ns03.rakuten.co.jp"}, {Field::status, "Connected (2026/02/28)"},
        {Field::expires, "2026/02/28"}, {Field::status, "AgentChangeLocked"},
        {Field::created, "1997/02/07"}, {Field::updated, "2025/03/01 01:02:22 (JST)"}}},
    {"whois.jprs.jp/ameblo.jp_iso2022jp_2014.txt", "ameblo.jp", {
        {Field::registrant, "株式会社　サイバーエージェント"}, {Field::nameServer, "ns-1218.awsdns-24.org"},
        {Field::nameServer, "ns-124.awsdns-15.com"},
        {Field::nameServer, "ns-2038.awsdns-62.co.uk"},
        {Field::nameServer, "ns-863.awsdns-43.net"}, {Field::created, "2004/07/30"},
        {Field::expires, "2015/07/31"}, {Field::status, "Active"},
        {Field::updated, "2014/08/01 01:05:11 (JST)"}}},
    {"whois.jprs.jp/example.jp_utf8_reserved.txt", "example.jp", {
        {Field::status, "Reserved"}, {Field::updated, "2001/02/21 00:00:00 (JST)"}}},
    {"whois.jprs.jp/google.co.jp_iso2022jp_2014.txt", "google.co.jp", {
        {Field::registrant, "グーグル株式会社"}, {Field::nameServer, "ns1.google.com"},
        {Field::nameServer, "ns2.google.com"}, {Field::nameServer, "ns3.google.com"},
        {Field::nameServer, "ns4.google.com"}, {Field::status, "Connected (2015/03/31)"},
        {Field::expires, "2015/03/31"}, {Field::created, "2001/03/22"},
        {Field::updated, "2014/04/01 01:18:23 (JST)"}}},
    {"whois.jprs.jp/google.jp_en_2013.txt", "google.jp/e", {
        {Field::registrant, "Google Inc."}, {Field::nameServer, "ns1.google.com"},
        {Field::nameServer, "ns2.google.com"}, {Field::nameServer, "ns3.google.com"},
        {Field::nameServer, "ns4.google.com"}, {Field::created, "2005/05/30"},
        {Field::expires, "2014/05/31"}, {Field::status, "Active"},
        {Field::updated, "2013/06/01 01:05:07 (JST)"}}},
    {"whois.jprs.jp/google.jp_utf8_2026_lock-status.txt", "google.jp", {
        {Field::registrant, "Google LLC"}, {Field::nameServer, "ns1.google.com"},
        {Field::nameServer, "ns2.google.com"}, {Field::nameServer, "ns3.google.com"},
        {Field::nameServer, "ns4.google.com"}, {Field::created, "2005/05/30"},
        {Field::expires, "2027/05/31"}, {Field::status, "Active"},
        {Field::status, "DomainTransferLocked"}, {Field::status, "AgentChangeLocked"},
        {Field::updated, "2026/06/01 01:05:03 (JST)"}}},
    {"whois.jprs.jp/google.ne.jp_utf8_2026.txt", "google.ne.jp", {
        {Field::registrant, "グーグル合同会社"}, {Field::nameServer, "ns1.google.com"},
        {Field::nameServer, "ns2.google.com"}, {Field::nameServer, "ns3.google.com"},
        {Field::nameServer, "ns4.google.com"}, {Field::status, "Connected (2026/09/30)"},
        {Field::expires, "2026/09/30"}, {Field::status, "AgentChangeLocked"},
        {Field::created, "2003/09/11"}, {Field::updated, "2026/06/11 16:08:44 (JST)"}}},
    {"whois.jprs.jp/jprs.jp_iso2022jp_2014.txt", "jprs.jp", {
        {Field::registrant, "株式会社日本レジストリサービス"}, {Field::nameServer, "ns1.jprs.jp"},
        {Field::nameServer, "ns2.jprs.jp"}, {Field::nameServer, "ns3.jprs.jp"},
        {Field::dnssec, "24907 8 2 ( 97C38581102DE3195FD3422F233891D6 2F34748B1251F33A0DFCD39E9E4040DE )"},
        {Field::created, "2001/02/02"}, {Field::expires, "2015/02/28"}, {Field::status, "Active"},
        {Field::updated, "2014/03/01 01:05:11 (JST)"}}},
    // "No match!!" and routes only: nothing.
    {"whois.jprs.jp/nomatch_utf8_2026.txt", "ahoo.co.jp", {}},
    {"whois.jprs.jp/titech.ac.jp_en_2023.txt", "titech.ac.jp/e", {
        {Field::registrant, "Tokyo Institute of Technology"},
        {Field::nameServer, "ns.fujisawa.wide.ad.jp"}, {Field::nameServer, "ns1.noc.titech.ac.jp"},
        {Field::nameServer, "ns2.noc.titech.ac.jp"}, {Field::status, "Connected (2024/03/31)"},
        {Field::expires, "2024/03/31"}, {Field::updated, "2023/04/01 01:04:55 (JST)"}}},
    {"whois.jprs.jp/u-tokyo.ac.jp_utf8_2026.txt", "u-tokyo.ac.jp", {
        {Field::registrant, "東京大学"}, {Field::nameServer, "dns1.nc.u-tokyo.ac.jp"},
        {Field::nameServer, "dns2.nc.u-tokyo.ac.jp"}, {Field::nameServer, "dns3.nc.u-tokyo.ac.jp"},
        {Field::nameServer, "dns-x.sinet.ad.jp"}, {Field::status, "Connected (2027/03/31)"},
        {Field::expires, "2027/03/31"}, {Field::updated, "2026/04/01 01:03:07 (JST)"}}},
    {"whois.kr/google.kr_utf8_2020.txt", "google.kr", {
        {Field::registrant, "구글코리아유한회사"}, {Field::created, "2007. 03. 02."},
        {Field::updated, "2010. 10. 04."}, {Field::expires, "2021. 03. 02."},
        {Field::registrar, "(주)후이즈(http://whois.co.kr)"}, {Field::dnssec, "미서명"},
        {Field::nameServer, "ns1.google.com"}, {Field::nameServer, "ns2.google.com"}}},
    {"whois.lacnic.net/170_2024.txt", "170.0.0.1", {
        {Field::cidr, "170.0.0.0/22"}, {Field::abuse, "noc@coopercitrus.com.br"},
        {Field::holder, "Coopercitrus Cooperativa de Produtores Rurais"}, {Field::country, "BR"},
        {Field::allocated, "20160509"}}},
    {"whois.markmonitor.com/google.com_2017.txt", "google.com", {
        {Field::updated, "2017-09-07T08:50:36-0700"}, {Field::created, "1997-09-15T00:00:00-0700"},
        {Field::expires, "2020-09-13T21:00:00-0700"}, {Field::registrar, "MarkMonitor, Inc."},
        {Field::registrarIanaId, "292"}, {Field::abuse, "abusecomplaints@markmonitor.com"},
        {Field::status, "clientUpdateProhibited"}, {Field::status, "clientTransferProhibited"},
        {Field::status, "clientDeleteProhibited"}, {Field::status, "serverUpdateProhibited"},
        {Field::status, "serverTransferProhibited"}, {Field::status, "serverDeleteProhibited"},
        {Field::registrant, "Google Inc."}, {Field::nameServer, "ns4.google.com"},
        {Field::nameServer, "ns1.google.com"}, {Field::nameServer, "ns3.google.com"},
        {Field::nameServer, "ns2.google.com"}, {Field::dnssec, "unsigned"}}},
    {"whois.nic.ad.jp/192.0.2.0_made-up.txt", "192.0.2.1", {
        {Field::cidr, "192.0.2.0/24"}, {Field::netName, "EXAMPLE-NET"},
        {Field::holder, "例示ネットワーク株式会社"}, {Field::allocated, "2010/04/01"}}},
    {"whois.nic.fr/google.fr_2014.txt", "google.fr", {
        {Field::status, "ACTIVE"}, {Field::registrant, "Google Ireland Holdings"},
        {Field::registrar, "MARKMONITOR Inc."}, {Field::created, "27/07/2000"},
        {Field::updated, "30/12/2011"}, {Field::nameServer, "ns1.google.com"},
        {Field::nameServer, "ns2.google.com"}, {Field::nameServer, "ns3.google.com"},
        {Field::nameServer, "ns4.google.com"}}},
    {"whois.nic.uk/google.co.uk_2018.txt", "google.co.uk", {
        {Field::registrar, "Markmonitor Inc. t/a MarkMonitor Inc. [Tag = MARKMONITOR]"},
        {Field::created, "14-Feb-1999"}, {Field::expires, "14-Feb-2019"},
        {Field::updated, "13-Jan-2018"}, {Field::status, "Registered until expiry date."},
        {Field::nameServer, "ns1.google.com"}, {Field::nameServer, "ns2.google.com"},
        {Field::nameServer, "ns3.google.com"}, {Field::nameServer, "ns4.google.com"}}},
    {"whois.nic.xyz/abc.xyz_2025.txt", "abc.xyz", {
        {Field::updated, "2025-03-10T15:22:23.0Z"}, {Field::created, "2014-03-20T12:59:17.0Z"},
        {Field::expires, "2026-03-20T23:59:59.0Z"}, {Field::registrar, "MarkMonitor, Inc (TLDs)"},
        {Field::registrarIanaId, "292"}, {Field::status, "clientTransferProhibited"},
        {Field::status, "clientUpdateProhibited"}, {Field::status, "clientDeleteProhibited"},
        {Field::nameServer, "NS2.GOOGLE.COM"}, {Field::nameServer, "NS4.GOOGLE.COM"},
        {Field::nameServer, "NS3.GOOGLE.COM"}, {Field::nameServer, "NS1.GOOGLE.COM"},
        {Field::dnssec, "unsigned"}, {Field::abuse, "registryescalations@markmonitor.com"}}},
    {"whois.ripe.net/AS62041_routes.txt", "-i origin AS62041", {}},
    // No organisation: the inetnum's descr is the holder.
    {"whois.ripe.net/inetnum_2013.txt", "128.79.0.1", {
        {Field::range, "128.79.0.0 - 128.79.63.0"}, {Field::netName, "BOUYGTEL-ISP-CABLE"},
        {Field::holder, "Pool for Broadband CABLE customers"}, {Field::country, "FR"},
        {Field::abuse, "abuse_box@bouyguestelecom.fr"}}},
    {"whois.sidn.nl/app.nl_2025.txt", "app.nl", {
        {Field::status, "active"}, {Field::registrar, "Hosting Secure"},
        {Field::abuse, "abuse@hostingsecure.com"}, {Field::dnssec, "yes"},
        {Field::nameServer, "ns1.hoasted.nl"}, {Field::nameServer, "ns2.hoasted.eu"},
        {Field::nameServer, "ns3.hoasted.com"}, {Field::created, "1998-02-20"},
        {Field::updated, "2025-09-12"}}},
    {"whois.twnic.net.tw/cabco.com.tw_utf8.txt", "cabco.com.tw", {
        {Field::status, "ok"}, {Field::registrant, "誠麗實業股份有限公司"},
        {Field::expires, "2022-07-25 00:00:00 (UTC+8)"},
        {Field::created, "2002-07-07 01:46:06 (UTC+8)"}, {Field::nameServer, "vdns3.seed.net.tw"},
        {Field::nameServer, "vdns4.seed.net.tw"}, {Field::registrar, "SEEDNET"}}},
    // 45 host records before the domain's: only the record of the query counts.
    {"whois.verisign-grs.com/google.com_2014_multiple-matches.txt", "=google.com", {
        {Field::registrar, "MARKMONITOR INC."}, {Field::nameServer, "NS1.GOOGLE.COM"},
        {Field::nameServer, "NS2.GOOGLE.COM"}, {Field::nameServer, "NS3.GOOGLE.COM"},
        {Field::nameServer, "NS4.GOOGLE.COM"}, {Field::status, "clientDeleteProhibited"},
        {Field::status, "clientTransferProhibited"}, {Field::status, "clientUpdateProhibited"},
        {Field::status, "serverDeleteProhibited"}, {Field::status, "serverTransferProhibited"},
        {Field::status, "serverUpdateProhibited"}, {Field::updated, "20-jul-2011"},
        {Field::created, "15-sep-1997"}, {Field::expires, "14-sep-2020"}}},
    {"whois.verisign-grs.com/google.com_2020.txt", "google.com", {
        {Field::updated, "2019-09-09T15:39:04Z"}, {Field::created, "1997-09-15T04:00:00Z"},
        {Field::expires, "2028-09-14T04:00:00Z"}, {Field::registrar, "MarkMonitor Inc."},
        {Field::registrarIanaId, "292"}, {Field::abuse, "abusecomplaints@markmonitor.com"},
        {Field::status, "clientDeleteProhibited"}, {Field::status, "clientTransferProhibited"},
        {Field::status, "clientUpdateProhibited"}, {Field::status, "serverDeleteProhibited"},
        {Field::status, "serverTransferProhibited"}, {Field::status, "serverUpdateProhibited"},
        {Field::nameServer, "NS1.GOOGLE.COM"}, {Field::nameServer, "NS2.GOOGLE.COM"},
        {Field::nameServer, "NS3.GOOGLE.COM"}, {Field::nameServer, "NS4.GOOGLE.COM"},
        {Field::dnssec, "unsigned"}}},
    {"whois.verisign-grs.com/google.net_2014_whois-server-line.txt", "google.net", {
        {Field::registrar, "MARKMONITOR INC."}, {Field::nameServer, "NS1.GOOGLE.COM"},
        {Field::nameServer, "NS2.GOOGLE.COM"}, {Field::nameServer, "NS3.GOOGLE.COM"},
        {Field::nameServer, "NS4.GOOGLE.COM"}, {Field::status, "clientDeleteProhibited"},
        {Field::status, "clientTransferProhibited"}, {Field::status, "clientUpdateProhibited"},
        {Field::status, "serverDeleteProhibited"}, {Field::status, "serverTransferProhibited"},
        {Field::status, "serverUpdateProhibited"}, {Field::updated, "11-feb-2014"},
        {Field::created, "15-mar-1999"}, {Field::expires, "15-mar-2015"}}},
    {"whois.verisign-grs.com/nomatch_com_2020.txt", "zx5v7d4v2k50l3pq.com", {}},
};
// clang-format on

TEST(Port43Fixtures, EachRecordedAnswerGivesTheFactsItStates) {
    for (const FixtureCase& c : kCases) {
        SCOPED_TRACE(c.file);
        const std::filesystem::path path = kWhoisData / c.file;
        std::string raw = ReadFile(path);
        ASSERT_FALSE(raw.empty()) << path;
        const std::string server = path.parent_path().filename().string();
        const std::vector<Fact> read = testing::Facts(
            query::TLines::FromText(encoding::DecodeAnswer(std::move(raw), server)), c.query);

        std::map<Field, std::vector<Fact>> wanted, got;
        for (const Fact& fact : c.facts) wanted[fact.field].push_back(fact);
        for (const Fact& fact : read) got[fact.field].push_back(fact);
        for (const auto& [field, facts] : got) {
            EXPECT_TRUE(wanted.contains(field)) << "not stated: " << facts.front();
        }
        for (const auto& [field, facts] : wanted) {
            const auto it = got.find(field);
            if (it == got.end()) {
                ADD_FAILURE() << "not read: " << facts.front();
            } else if (ListField(field)) {
                EXPECT_EQ(it->second, facts);
            } else {
                EXPECT_EQ(it->second.front(), facts.front());
            }
        }
    }
}

TEST(Port43Fixtures, EveryAnswerInTheFolderHasItsCase) {
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kWhoisData)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const std::string file =
            std::filesystem::relative(entry.path(), kWhoisData).generic_string();
        EXPECT_TRUE(std::any_of(std::begin(kCases), std::end(kCases), [&](const FixtureCase& c) {
            return c.file == file;
        })) << file;
    }
    EXPECT_EQ(files, std::size(kCases));
}

}  // namespace
}  // namespace torvane::summary
