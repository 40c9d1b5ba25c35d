// DecodeAnswer on every real answer of the shared fixture set, against
// today's CP932 conversion shown as UTF-8, and its rules one by one.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "encoding/answer_text.h"
#include "encoding/answer_utf8.h"
#include "encoding/cp932_utf8.h"
#include "encoding/to_utf8.h"
#include "iconv_reference.h"
#include "test_text.h"

namespace torvane::encoding {
namespace {

namespace fs = std::filesystem;
using testing::IconvExact;
using testing::Repeat;
using testing::T;

const fs::path kWhois = fs::path(TORVANE_TEST_DATA) / "encoding" / "whois";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "server/name.txt" for every answer.
std::vector<std::string> AnswerFiles() {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(kWhois)) {
        if (entry.path().extension() != ".txt") continue;
        const fs::path relative = fs::relative(entry.path(), kWhois);
        if (*relative.begin() == "LICENSES") continue;
        files.push_back(relative.generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ServerOf(const std::string& file) { return file.substr(0, file.find('/')); }

// The answer's characters as glibc iconv reads its code, JIS X 0208 the way
// CP932 reads it (ISO-2022-JP through iconv's CP932), independently of the
// decoders under test.
std::string RealText(const std::string& raw, const std::string& file) {
    if (file.find("_latin1") != std::string::npos) return *IconvExact("ISO-8859-1", "UTF-8", raw);
    if (raw.find('\x1B') != std::string::npos) {
        return *IconvExact("CP932", "UTF-8", *IconvExact("ISO-2022-JP", "CP932", raw));
    }
    return *IconvExact("UTF-8", "UTF-8", raw);
}

// The answers whose characters today's CP932 conversion loses or misreads.
// UTF-8 whose first multi-byte sequence lies past the detector's 512-byte
// window is read as Shift_JIS.
const std::set<std::string> kLostToday = {
    "whois.cnnic.cn/cnnic.cn_utf8.txt",                          // 联, 络 not in CP932
    "whois.denic.de/xn--fw-via.de_utf8.txt",                     // ä read as katakana
    "whois.iana.org/rakuten.co.jp_2025.txt",                     // JPRS part past 512 bytes
    "whois.iana.org/sony.jp_2025.txt",                           // the same
    "whois.kr/google.kr_utf8_2020.txt",                          // all Hangul
    "whois.markmonitor.com/google.com_2019.txt",                 // ’ past 512 bytes
    "whois.registro.br/exemplo-acao.com.br_latin1_made-up.txt",  // Latin-1 read as Shift_JIS
    "whois.twnic.net.tw/cabco.com.tw_utf8.txt",                  // 份 not in CP932
};

class FixtureDecodeTest : public ::testing::TestWithParam<std::string> {};

TEST_P(FixtureDecodeTest, GivesTodaysCharactersOrTheRealOnesWhereTodayLostThem) {
    const std::string raw = ReadFile(kWhois / GetParam());
    ASSERT_FALSE(raw.empty());
    const std::string today = Cp932ToUtf8(ConvertAnswerText(raw));
    const std::string real = RealText(raw, GetParam());
    const std::string decoded = DecodeAnswer(raw, ServerOf(GetParam()));
    EXPECT_EQ(decoded, real);
    EXPECT_EQ(today == real, kLostToday.count(GetParam()) == 0);
    if (today == real) {
        EXPECT_EQ(decoded, today);
    }
}

INSTANTIATE_TEST_SUITE_P(SharedWhoisSet, FixtureDecodeTest, ::testing::ValuesIn(AnswerFiles()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

TEST(FixtureDecodeSetTest, HoldsEveryAnswerOfTheSharedSetAndTheMadeUpOne) {
    EXPECT_EQ(AnswerFiles().size(), 60u);
}

std::string DecodeFile(const std::string& file) {
    return DecodeAnswer(ReadFile(kWhois / file), ServerOf(file));
}

TEST(LostCharactersTest, KoreanOfKrnicIsKeptWhereCp932ShowedQuestionMarks) {
    const std::string file = "whois.kr/google.kr_utf8_2020.txt";
    const std::string decoded = DecodeFile(file);
    EXPECT_NE(decoded.find("도메인이름"), std::string::npos);
    EXPECT_NE(decoded.find("구글코리아유한회사"), std::string::npos);
    EXPECT_NE(Cp932ToUtf8(ConvertAnswerText(ReadFile(kWhois / file))).find("?????"),
              std::string::npos);
    EXPECT_EQ(decoded.find('?'), std::string::npos);
}

TEST(LostCharactersTest, CnnicNameIsWhole) {
    EXPECT_NE(DecodeFile("whois.cnnic.cn/cnnic.cn_utf8.txt").find("Registrant: 中国互联网络信息中心\n"),
              std::string::npos);
}

TEST(LostCharactersTest, DenicUmlautIsNotHalfWidthKatakana) {
    const std::string file = "whois.denic.de/xn--fw-via.de_utf8.txt";
    EXPECT_NE(DecodeFile(file).find("Domain: fäw.de"), std::string::npos);
    EXPECT_NE(Cp932ToUtf8(ConvertAnswerText(ReadFile(kWhois / file))).find("fﾃ､w.de"),
              std::string::npos);
}

TEST(LostCharactersTest, MadeUpNicBrAnswerDecodesAsLatin1ThroughTheServerTable) {
    const std::string file = "whois.registro.br/exemplo-acao.com.br_latin1_made-up.txt";
    const std::string raw = ReadFile(kWhois / file);
    ASSERT_FALSE(IsValidUtf8(raw));
    EXPECT_NE(DecodeFile(file).find("person:      João Conceição Gonçalves\n"), std::string::npos);
    // From a server outside the table the same bytes are read as Shift_JIS.
    EXPECT_EQ(DecodeAnswer(raw, "whois.example.net"), SjisToUtf8(raw));
}

// No answer of the set holds this Hungarian name; it stands here in both
// codes a .hu contact may come in.
TEST(LostCharactersTest, HungarianNameSurvivesInUtf8AndInLatin1FromNicHu) {
    const std::string utf8 = "person:     Bláthy Ottó\n";
    EXPECT_EQ(DecodeAnswer(utf8, "whois.nic.hu"), utf8);
    EXPECT_EQ(DecodeAnswer(utf8, ""), utf8);
    EXPECT_EQ(Cp932ToUtf8(ConvertAnswerText(utf8)).find("Bláthy"), std::string::npos);
    EXPECT_EQ(DecodeAnswer("person:     Bl\xE1thy Ott\xF3\n", "whois.nic.hu"), utf8);
}

TEST(ServerTableTest, HasOneRowPerServerInLowerCase) {
    const auto rows = ServerAnswerCodes();
    EXPECT_EQ(rows.size(), 8u);
    std::set<std::string_view> servers;
    for (const auto& row : rows) {
        servers.insert(row.server);
        EXPECT_TRUE(std::none_of(row.server.begin(), row.server.end(),
                                 [](char c) { return c >= 'A' && c <= 'Z'; }))
            << row.server;
        EXPECT_EQ(FindServerAnswerCode(row.server), &row.code);
    }
    EXPECT_EQ(servers.size(), rows.size());
}

TEST(ServerTableTest, MatchesHostsWithoutRegardToCaseOrAFinalDot) {
    ASSERT_NE(FindServerAnswerCode("WHOIS.Registro.BR."), nullptr);
    EXPECT_EQ(*FindServerAnswerCode("whois.registro.br."), AnswerCode::latin1);
    EXPECT_EQ(*FindServerAnswerCode("whois.kg"), AnswerCode::windows1251);
    EXPECT_EQ(FindServerAnswerCode("registro.br"), nullptr);
    EXPECT_EQ(FindServerAnswerCode("whois.registro.br.example"), nullptr);
    EXPECT_EQ(FindServerAnswerCode(""), nullptr);
    EXPECT_EQ(FindServerAnswerCode("."), nullptr);
}

struct RuleCase {
    const char* name;
    std::string raw;
    std::string server;
    std::string expected;
};

class DecodeRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(DecodeRuleTest, Decodes) {
    EXPECT_EQ(DecodeAnswer(GetParam().raw, GetParam().server), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DecodeRuleTest,
    ::testing::Values(
        RuleCase{"Utf16LeMark", T("\xFF\xFE" "a\0\xE4\0\x3D\xD8\x00\xDE"), "", "aä😀"},
        RuleCase{"Utf16BeMark", T("\xFE\xFF\0a\x30\x42"), "whois.nic.hu", "aあ"},
        RuleCase{"Utf8MarkCutOffAndMended", "\xEF\xBB\xBF" "a\xE9" "b", "", "a\uFFFDb"},
        RuleCase{"Utf8MarkAloneIsACharacter", "\xEF\xBB\xBF", "", "\xEF\xBB\xBF"},
        RuleCase{"ValidUtf8BeatsTheServerTable", "f\xC3\xA4w", "whois.registro.br", "fäw"},
        RuleCase{"TwoByteUtf8IsNotTakenForKatakana", "\xC3\xA4", "", "ä"},
        RuleCase{"AsciiWithControls", T("a\0\x07\x7F\r\n"), "whois.kg", T("a\0\x07\x7F\r\n")},
        RuleCase{"Windows1251FromWhoisKg", "\xCF\xF0\xE8\xE2\xE5\xF2 \x98", "whois.kg",
                 "Привет \uFFFD"},
        RuleCase{"Iso2022Jp", "\x1B$B$\"\x1B(B\r\n", "whois.nic.hu", "あ\r\n"},
        RuleCase{"EucJp", "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xC7\xA4\xB9", "", "日本語です"},
        RuleCase{"ShiftJis", "\x93\xFA\x96\x7B\x8C\xEA", "", "日本語"},
        RuleCase{"EucOrSjisIsShiftJis", "\xB1\xB2", "", "ｱｲ"},
        RuleCase{"Utf8SeenInTheLeadingBytesIsMended",
                 "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E text \xFF", "", "日本語 text \uFFFD"},
        RuleCase{"ByteNoCodeExplainsBecomesReplacement", "a\x80" "b", "", "a\uFFFDb"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeAnswerTest, ReturnsUtf8AndAsciiAnswersWithoutACopy) {
    for (const std::string& text :
         {Repeat("Domain: f\xC3\xA4w.de\n", 100), Repeat("Domain: example.com\n", 100)}) {
        std::string raw = text;
        const char* bytes = raw.data();
        const std::string decoded = DecodeAnswer(std::move(raw), "whois.registro.br");
        EXPECT_EQ(decoded, text);
        EXPECT_EQ(decoded.data(), bytes);
    }
}

}  // namespace
}  // namespace torvane::encoding
