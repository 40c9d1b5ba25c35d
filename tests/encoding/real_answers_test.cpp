// Real JPRS answers (ISO-2022-JP and UTF-8) through ConvertAnswerText,
// against CP932 texts that glibc iconv made from the same files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "encoding/answer_text.h"
#include "encoding/unicode_codes.h"
#include "test_text.h"

namespace torvane::encoding {
namespace {

namespace fs = std::filesystem;

const fs::path kAnswers = fs::path(TORVANE_TEST_DATA) / "encoding" / "answers";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> AnswerNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kAnswers)) {
        if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TextCode CodeNamedIn(const std::string& name) {
    if (name.find("_iso2022jp") != std::string::npos) return TextCode::tcJis;
    if (name.find("_utf8") != std::string::npos) return TextCode::tcUtf8;
    return TextCode::tcAscii;
}

class RealAnswerTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RealAnswerTest, ConvertsToTheSameCp932TextAsIconv) {
    const std::string raw = ReadFile(kAnswers / (GetParam() + ".txt"));
    const std::string expected = ReadFile(kAnswers / (GetParam() + ".cp932"));
    ASSERT_FALSE(raw.empty());
    EXPECT_EQ(DetectTextCode(raw), CodeNamedIn(GetParam()));
    EXPECT_EQ(ConvertAnswerText(raw), expected);
}

INSTANTIATE_TEST_SUITE_P(Jprs, RealAnswerTest, ::testing::ValuesIn(AnswerNames()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

TEST(RealAnswerSetTest, HoldsBothJapaneseCodesOfTheRegistry) {
    const auto names = AnswerNames();
    const auto count = [&](TextCode code) {
        return std::count_if(names.begin(), names.end(),
                             [&](const std::string& n) { return CodeNamedIn(n) == code; });
    };
    EXPECT_EQ(count(TextCode::tcJis), 8);
    EXPECT_EQ(count(TextCode::tcUtf8), 10);
}

}  // namespace
}  // namespace torvane::encoding
