#include "view/result/sample_report.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "encoding/answer_text.h"
#include "encoding/code_page.h"
#include "query/text_lines.h"

namespace torvane::view {
namespace {

std::string Cp932(std::u16string_view text) { return encoding::Utf16ToCp932(text); }

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
    return query::SplitLines(encoding::ConvertAnswerText(std::move(raw)));
}

std::vector<std::string> SampleReport(const std::filesystem::path& answersDir) {
    std::vector<std::string> report = {
        Cp932(u"         【google.co.jp の調査結果】"),
        "",
        Cp932(u"{IPアドレス}"),
        "",
        "192.0.2.10  ns1.google.com",
        "",
        Cp932(u"{Punyコード}"),
        "",
        "google.co.jp",
        "",
    };
    for (const SavedAnswer& answer : kAnswers) {
        report.push_back(Cp932(u"{") + answer.server + Cp932(u" からの回答}"));
        report.emplace_back();
        const std::vector<std::string> lines = AnswerLines(answersDir / answer.file);
        report.insert(report.end(), lines.begin(), lines.end());
    }
    return report;
}

}  // namespace torvane::view
