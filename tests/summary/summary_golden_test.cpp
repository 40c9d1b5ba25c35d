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

constexpr std::chrono::sys_seconds kNow =
    std::chrono::sys_days{std::chrono::year{2026} / 12 / 9};

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

#define RDAP_ANSWER(name) "rdap/answers/" name
#define SUMMARY_RDAP(name) "summary/rdap/" name

const std::vector<GoldenCase>& Cases() {
    static const std::vector<GoldenCase> cases = {
        // RDAP alone, one answer each.
        {"rdap_verisign_google.com", Subject::domain,
         {{RDAP_ANSWER("rdap.verisign.com__domain_google.com_2021.json"), "rdap.verisign.com", kRdap}}},
        {"rdap_verisign_themarquetry.com", Subject::domain,
         {{SUMMARY_RDAP("rdap.verisign.com__domain_themarquetry.com_2022.json"), "rdap.verisign.com", kRdap}}},
        {"rdap_markmonitor_google.com", Subject::domain,
         {{RDAP_ANSWER("rdap.markmonitor.com__domain_google.com_2021.json"), "rdap.markmonitor.com", kRdap}}},
        {"rdap_namecheap_bitcoin.org", Subject::domain,
         {{RDAP_ANSWER("rdap.namecheap.com__domain_bitcoin.org_2021.json"), "rdap.namecheap.com", kRdap}}},
        {"rdap_nic.fr_lemonde.fr", Subject::domain,
         {{RDAP_ANSWER("rdap.nic.fr__domain_lemonde.fr_2024.json"), "rdap.nic.fr", kRdap}}},
        {"rdap_flexireg_home.moscow", Subject::domain,
         {{SUMMARY_RDAP("flexireg.net__domain_home.moscow_2024.json"), "flexireg.net", kRdap}}},
        {"rdap_nic.tube_you.tube", Subject::domain,
         {{SUMMARY_RDAP("rdap.nic.tube__domain_you.tube_2021.json"), "rdap.nic.tube", kRdap}}},
        {"rdap_norid_norway.no", Subject::domain,
         {{SUMMARY_RDAP("rdap.norid.no__domain_norway.no_2021.json"), "rdap.norid.no", kRdap}}},
        {"rdap_arin_ip_2001-4860", Subject::network,
         {{RDAP_ANSWER("rdap.arin.net__ip_2001-4860-4860--8888_2021.json"), "rdap.arin.net", kRdap}}},
        {"rdap_arin_ip_13.64.0.0", Subject::network,
         {{SUMMARY_RDAP("rdap.arin.net__ip_13.64.0.0_2022.json"), "rdap.arin.net", kRdap}}},
        {"rdap_arin_autnum_13335", Subject::asNumber,
         {{RDAP_ANSWER("rdap.arin.net__autnum_13335_2021.json"), "rdap.arin.net", kRdap}}},
        {"rdap_ripe_ip_193.0.6.139", Subject::network,
         {{SUMMARY_RDAP("rdap.db.ripe.net__ip_193.0.6.139_2020.json"), "rdap.db.ripe.net", kRdap}}},
        {"rdap_ripe_autnum_1234", Subject::asNumber,
         {{RDAP_ANSWER("rdap.db.ripe.net__autnum_1234_2020.json"), "rdap.db.ripe.net", kRdap}}},
        {"rdap_apnic_ip_1.1.1.1", Subject::network,
         {{RDAP_ANSWER("rdap.apnic.net__ip_1.1.1.1_2020.json"), "rdap.apnic.net", kRdap}}},
        {"rdap_apnic_autnum_4608", Subject::asNumber,
         {{RDAP_ANSWER("rdap.apnic.net__autnum_4608_2020.json"), "rdap.apnic.net", kRdap}}},
        {"rdap_lacnic_ip_179.0.0.0", Subject::network,
         {{RDAP_ANSWER("rdap.lacnic.net__ip_179.0.0.0-23_2020.json"), "rdap.lacnic.net", kRdap}}},
        {"rdap_afrinic_ip_41.0.0.0", Subject::network,
         {{SUMMARY_RDAP("rdap.afrinic.net__ip_41.0.0.0_2020.json"), "rdap.afrinic.net", kRdap}}},
        {"rdap_afrinic_autnum_36864", Subject::asNumber,
         {{RDAP_ANSWER("rdap.afrinic.net__autnum_36864_2020.json"), "rdap.afrinic.net", kRdap}}},
        // Registry and registrar over RDAP: the expiry dates disagree.
        {"rdap_verisign_markmonitor_google.com", Subject::domain,
         {{RDAP_ANSWER("rdap.verisign.com__domain_google.com_2021.json"), "rdap.verisign.com", kRdap},
          {RDAP_ANSWER("rdap.markmonitor.com__domain_google.com_2021.json"), "rdap.markmonitor.com", kRdap}}},
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
    for (const std::string& line : SummaryLines(Summarize(c.subject, answers), kNow)) text += line + "\n";
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
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name << " has no case";
    }
}

}  // namespace
}  // namespace torvane::summary
