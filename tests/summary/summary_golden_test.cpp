// Summaries of real answers against reviewed golden files
// (tests/data/summary/golden, UTF-8; TORVANE_UPDATE_GOLDEN=1 rewrites them):
// each case is the answers of one run, read as the run reads them (port 43:
// DecodeAnswer, then the lines; RDAP: the body as received), merged and laid
// out for a fixed "now".
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "encoding/answer_utf8.h"
#include "query/text_lines.h"
#include "summary/port43_facts.h"
#include "summary/rdap_facts.h"
#include "summary/summarize.h"
#include "summary/summary_lines.h"

namespace torvane::summary {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(TORVANE_TEST_DATA);
const fs::path kGolden = kData / "summary" / "golden";

constexpr std::chrono::sys_seconds kNow = std::chrono::sys_days{std::chrono::year{2026} / 12 / 9};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Answer {
    const char* file;    // under tests/data
    const char* server;  // as the block header names it
    Origin origin;
    const char* query = "";  // what a port-43 server was asked
};

struct GoldenCase {
    const char* name;  // the golden file's name, without ".txt"
    Subject subject;
    std::vector<Answer> answers;
};

constexpr Origin kRdap = Origin::rdap;

constexpr Origin kPort43 = Origin::port43;

// The recorded answers: RDAP in the RDAP tests' folder and ours, port 43 in
// ours (one subfolder per server) and, for the two answers only these cases
// read, the decoding tests' copy of the same shared set.
#define RDAP_ANSWER(name) "rdap/answers/" name
#define SUMMARY_RDAP(name) "summary/rdap/" name
#define WHOIS(server, name) "summary/whois/" server "/" name, server, kPort43
#define DECODING_WHOIS(server, name) "encoding/whois/" server "/" name, server, kPort43

const std::vector<GoldenCase>& Cases() {
    static const std::vector<GoldenCase> cases = {
        // RDAP alone, one answer each.
        {"rdap_verisign_google.com",
         Subject::domain,
         {{RDAP_ANSWER("rdap.verisign.com__domain_google.com_2021.json"), "rdap.verisign.com",
           kRdap}}},
        {"rdap_verisign_themarquetry.com",
         Subject::domain,
         {{SUMMARY_RDAP("rdap.verisign.com__domain_themarquetry.com_2022.json"),
           "rdap.verisign.com", kRdap}}},
        {"rdap_markmonitor_google.com",
         Subject::domain,
         {{RDAP_ANSWER("rdap.markmonitor.com__domain_google.com_2021.json"), "rdap.markmonitor.com",
           kRdap}}},
        {"rdap_namecheap_bitcoin.org",
         Subject::domain,
         {{RDAP_ANSWER("rdap.namecheap.com__domain_bitcoin.org_2021.json"), "rdap.namecheap.com",
           kRdap}}},
        {"rdap_nic.fr_lemonde.fr",
         Subject::domain,
         {{RDAP_ANSWER("rdap.nic.fr__domain_lemonde.fr_2024.json"), "rdap.nic.fr", kRdap}}},
        {"rdap_flexireg_home.moscow",
         Subject::domain,
         {{SUMMARY_RDAP("flexireg.net__domain_home.moscow_2024.json"), "flexireg.net", kRdap}}},
        {"rdap_nic.tube_you.tube",
         Subject::domain,
         {{SUMMARY_RDAP("rdap.nic.tube__domain_you.tube_2021.json"), "rdap.nic.tube", kRdap}}},
        {"rdap_norid_norway.no",
         Subject::domain,
         {{SUMMARY_RDAP("rdap.norid.no__domain_norway.no_2021.json"), "rdap.norid.no", kRdap}}},
        {"rdap_arin_ip_2001-4860",
         Subject::network,
         {{RDAP_ANSWER("rdap.arin.net__ip_2001-4860-4860--8888_2021.json"), "rdap.arin.net",
           kRdap}}},
        {"rdap_arin_ip_13.64.0.0",
         Subject::network,
         {{SUMMARY_RDAP("rdap.arin.net__ip_13.64.0.0_2022.json"), "rdap.arin.net", kRdap}}},
        {"rdap_arin_autnum_13335",
         Subject::asNumber,
         {{RDAP_ANSWER("rdap.arin.net__autnum_13335_2021.json"), "rdap.arin.net", kRdap}}},
        {"rdap_ripe_ip_193.0.6.139",
         Subject::network,
         {{SUMMARY_RDAP("rdap.db.ripe.net__ip_193.0.6.139_2020.json"), "rdap.db.ripe.net", kRdap}}},
        {"rdap_ripe_autnum_1234",
         Subject::asNumber,
         {{RDAP_ANSWER("rdap.db.ripe.net__autnum_1234_2020.json"), "rdap.db.ripe.net", kRdap}}},
        {"rdap_apnic_ip_1.1.1.1",
         Subject::network,
         {{RDAP_ANSWER("rdap.apnic.net__ip_1.1.1.1_2020.json"), "rdap.apnic.net", kRdap}}},
        {"rdap_apnic_autnum_4608",
         Subject::asNumber,
         {{RDAP_ANSWER("rdap.apnic.net__autnum_4608_2020.json"), "rdap.apnic.net", kRdap}}},
        {"rdap_lacnic_ip_179.0.0.0",
         Subject::network,
         {{RDAP_ANSWER("rdap.lacnic.net__ip_179.0.0.0-23_2020.json"), "rdap.lacnic.net", kRdap}}},
        {"rdap_afrinic_ip_41.0.0.0",
         Subject::network,
         {{SUMMARY_RDAP("rdap.afrinic.net__ip_41.0.0.0_2020.json"), "rdap.afrinic.net", kRdap}}},
        {"rdap_afrinic_autnum_36864",
         Subject::asNumber,
         {{RDAP_ANSWER("rdap.afrinic.net__autnum_36864_2020.json"), "rdap.afrinic.net", kRdap}}},
        // gTLD registry and registrar over port 43, 2014 (thin, several
        // matches before the domain), 2017-2020 and 2025 forms.
        {"com_verisign2014_markmonitor2017",
         Subject::domain,
         {{WHOIS("whois.verisign-grs.com", "google.com_2014_multiple-matches.txt"), "google.com"},
          {WHOIS("whois.markmonitor.com", "google.com_2017.txt"), "google.com"}}},
        {"com_verisign2020_markmonitor2019",
         Subject::domain,
         {{WHOIS("whois.verisign-grs.com", "google.com_2020.txt"), "google.com"},
          {DECODING_WHOIS("whois.markmonitor.com", "google.com_2019.txt"), "google.com"}}},
        {"xyz_2025_abc.xyz",
         Subject::domain,
         {{WHOIS("whois.nic.xyz", "abc.xyz_2025.txt"), "abc.xyz"}}},
        // JPRS, Japanese and English, UTF-8 and ISO-2022-JP.
        {"jp_google.jp_utf8_2015",
         Subject::domain,
         {{DECODING_WHOIS("whois.jprs.jp", "google.jp_utf8_2015.txt"), "google.jp"}}},
        {"jp_google.jp_utf8_2026",
         Subject::domain,
         {{WHOIS("whois.jprs.jp", "google.jp_utf8_2026_lock-status.txt"), "google.jp"}}},
        {"jp_google.jp_en_2013",
         Subject::domain,
         {{WHOIS("whois.jprs.jp", "google.jp_en_2013.txt"), "google.jp"}}},
        {"jp_google.co.jp_iso2022jp_2014",
         Subject::domain,
         {{WHOIS("whois.jprs.jp", "google.co.jp_iso2022jp_2014.txt"), "google.co.jp"}}},
        {"jp_u-tokyo.ac.jp_utf8_2026",
         Subject::domain,
         {{WHOIS("whois.jprs.jp", "u-tokyo.ac.jp_utf8_2026.txt"), "u-tokyo.ac.jp"}}},
        {"jp_titech.ac.jp_en_2023",
         Subject::domain,
         {{WHOIS("whois.jprs.jp", "titech.ac.jp_en_2023.txt"), "titech.ac.jp"}}},
        // JPNIC (a made-up answer in its published form) and the RIRs.
        {"jpnic_192.0.2.0",
         Subject::network,
         {{WHOIS("whois.nic.ad.jp", "192.0.2.0_made-up.txt"), "192.0.2.1"}}},
        {"jp_google.ne.jp_utf8_2026",
         Subject::domain,
         {{WHOIS("whois.jprs.jp", "google.ne.jp_utf8_2026.txt"), "google.ne.jp"}}},
        {"jp_ameblo.jp_iso2022jp_2014",
         Subject::domain,
         {{WHOIS("whois.jprs.jp", "ameblo.jp_iso2022jp_2014.txt"), "ameblo.jp"}}},
        {"arin_144_apnic",
         Subject::network,
         {{WHOIS("whois.arin.net", "referral-apnic_2013.txt"), "144.130.0.1"}}},
        {"apnic_171", Subject::network, {{WHOIS("whois.apnic.net", "171_2024.txt"), "171.0.0.1"}}},
        {"arin_4.0.0.0",
         Subject::network,
         {{WHOIS("whois.arin.net", "no-referral.txt"), "4.0.0.1"}}},
        {"arin_174_rwhois",
         Subject::network,
         {{WHOIS("whois.arin.net", "referral-rwhois_2024.txt"), "174.0.0.1"}}},
        {"ripe_inetnum_2013",
         Subject::network,
         {{WHOIS("whois.ripe.net", "inetnum_2013.txt"), "128.79.0.1"}}},
        {"lacnic_170",
         Subject::network,
         {{WHOIS("whois.lacnic.net", "170_2024.txt"), "170.0.0.1"}}},
        {"afrinic_105.158",
         Subject::network,
         {{WHOIS("whois.afrinic.net", "105.158_2021.txt"), "105.158.0.1"}}},
        // ccTLD registries.
        {"au_google.com.au",
         Subject::domain,
         {{WHOIS("whois.auda.org.au", "google.com.au_2018.txt"), "google.com.au"}}},
        {"be_google.be",
         Subject::domain,
         {{WHOIS("whois.dns.be", "google.be_2014.txt"), "google.be"}}},
        {"cn_cnnic.cn",
         Subject::domain,
         {{WHOIS("whois.cnnic.cn", "cnnic.cn_utf8.txt"), "cnnic.cn"}}},
        {"de_google.de",
         Subject::domain,
         {{WHOIS("whois.denic.de", "google.de_2020.txt"), "google.de"}}},
        {"de_xn--fw-via.de",
         Subject::domain,
         {{WHOIS("whois.denic.de", "xn--fw-via.de_utf8.txt"), "xn--fw-via.de"}}},
        {"fr_google.fr",
         Subject::domain,
         {{WHOIS("whois.nic.fr", "google.fr_2014.txt"), "google.fr"}}},
        {"kr_google.kr",
         Subject::domain,
         {{WHOIS("whois.kr", "google.kr_utf8_2020.txt"), "google.kr"}}},
        {"nl_app.nl", Subject::domain, {{WHOIS("whois.sidn.nl", "app.nl_2025.txt"), "app.nl"}}},
        {"tw_cabco.com.tw",
         Subject::domain,
         {{WHOIS("whois.twnic.net.tw", "cabco.com.tw_utf8.txt"), "cabco.com.tw"}}},
        {"uk_google.co.uk",
         Subject::domain,
         {{WHOIS("whois.nic.uk", "google.co.uk_2018.txt"), "google.co.uk"}}},
        // Port 43 and RDAP of the same name: agreeing facts name every
        // source; the registry's and the registrar's expiry and DNSSEC differ.
        {"com_port43_rdap_google.com",
         Subject::domain,
         {{WHOIS("whois.verisign-grs.com", "google.com_2020.txt"), "google.com"},
          {RDAP_ANSWER("rdap.verisign.com__domain_google.com_2021.json"), "rdap.verisign.com",
           kRdap},
          {RDAP_ANSWER("rdap.markmonitor.com__domain_google.com_2021.json"), "rdap.markmonitor.com",
           kRdap}}},
        // Registry and registrar over RDAP: the expiry dates disagree.
        {"rdap_verisign_markmonitor_google.com",
         Subject::domain,
         {{RDAP_ANSWER("rdap.verisign.com__domain_google.com_2021.json"), "rdap.verisign.com",
           kRdap},
          {RDAP_ANSWER("rdap.markmonitor.com__domain_google.com_2021.json"), "rdap.markmonitor.com",
           kRdap}}},
    };
    return cases;
}

std::vector<RawFact> FactsOf(const Answer& answer) {
    std::string raw = ReadFile(kData / answer.file);
    EXPECT_FALSE(raw.empty()) << answer.file;
    if (answer.origin == Origin::rdap) return ReadRdapFacts(raw);
    const query::TLines lines =
        query::TLines::FromText(encoding::DecodeAnswer(std::move(raw), answer.server));
    return ReadPort43Facts(lines, answer.query);
}

std::string GoldenText(const GoldenCase& c) {
    std::vector<AnswerFacts> answers;
    for (const Answer& answer : c.answers) {
        answers.push_back(AnswerFacts{Source{answer.server, answer.origin}, FactsOf(answer)});
    }
    std::string text;
    for (const std::string& line : SummaryLines(Summarize(c.subject, answers), kNow))
        text += line + "\n";
    return text;
}

TEST(SummaryGolden, RealAnswersMatchReviewedSummaries) {
    const bool update = std::getenv("TORVANE_UPDATE_GOLDEN") != nullptr;
    for (const GoldenCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::string actual = GoldenText(c);
        // Every case is a registration; an empty summary means a reader lost it.
        EXPECT_FALSE(actual.empty());
        const fs::path golden = kGolden / (std::string(c.name) + ".txt");
        if (update) {
            std::ofstream(golden, std::ios::binary) << actual;
            continue;
        }
        ASSERT_TRUE(fs::exists(golden)) << golden;
        if (actual != ReadFile(golden)) {
            const fs::path dump = fs::current_path() / (std::string(c.name) + ".actual");
            std::ofstream(dump, std::ios::binary) << actual;
            ADD_FAILURE() << "summary differs from " << golden << "; actual in " << dump;
        }
    }
}

TEST(SummaryGolden, EveryGoldenFileHasItsCase) {
    std::vector<std::string> names;
    for (const GoldenCase& c : Cases()) names.push_back(std::string(c.name) + ".txt");
    for (const auto& entry : fs::directory_iterator(kGolden)) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end())
            << name << " has no case";
    }
}

}  // namespace
}  // namespace torvane::summary
