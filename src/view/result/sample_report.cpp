#include "view/result/sample_report.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "encoding/answer_utf8.h"
#include "query/text_lines.h"

namespace torvane::view {
namespace {

struct SavedAnswer {
    const char* server;
    const char* file;
};

// The answers in the order a run over google.co.jp and google.com would show them.
constexpr SavedAnswer kAnswers[] = {
    {"whois.jprs.jp", "whois.jprs.jp/google.co.jp_iso2022jp_2014.txt"},
    {"whois.jprs.jp", "whois.jprs.jp/nomatch_utf8_2026.txt"},
    {"whois.verisign-grs.com", "whois.verisign-grs.com/google.com_2020.txt"},
    {"whois.markmonitor.com", "whois.markmonitor.com/google.com_2017.txt"},
};

}  // namespace

std::vector<std::string> AnswerLines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("ファイル " + file.string() + " を開けません.");
    std::string raw{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return query::SplitLines(
        encoding::DecodeAnswer(std::move(raw), file.parent_path().filename().string()));
}

std::vector<std::string> SampleReport(const std::filesystem::path& answersDir) {
    std::vector<std::string> report = {
        "         【google.co.jp の調査結果】",
        "",
        "{IPアドレス}",
        "",
        "192.0.2.10  ns1.google.com",
        "",
        "{Punyコード}",
        "",
        "google.co.jp",
        "",
    };
    for (const SavedAnswer& answer : kAnswers) {
        report.push_back(std::string("{") + answer.server + " からの回答}");
        report.emplace_back();
        const std::vector<std::string> lines = AnswerLines(answersDir / answer.file);
        report.insert(report.end(), lines.begin(), lines.end());
    }
    return report;
}

}  // namespace torvane::view
