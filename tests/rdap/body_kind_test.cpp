// What an RDAP body holds: every real answer is RDAP, and the bodies that
// misbehaving services send (pages, plain text, compressed streams, cut-off
// documents) each get their kind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "coding_testing.h"
#include "rdap/body_kind.h"
#include "rdap_test_data.h"

namespace torvane::rdap {
namespace {

namespace fs = std::filesystem;
using torvane::testing::kRdapData;
using torvane::testing::ReadFile;

TEST(BodyKind, EveryRealAnswerIsRdapWhateverItsMediaType) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(kRdapData / "answers")) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::string answer = ReadFile(entry.path());
        EXPECT_EQ(ClassifyBody(answer, "application/rdap+json"), BodyKind::kRdap);
        EXPECT_EQ(ClassifyBody(answer, "text/html; charset=iso-8859-1"), BodyKind::kRdap);
        EXPECT_EQ(ClassifyBody(answer, ""), BodyKind::kRdap);
        // Cut anywhere inside, it is a cut-off document.
        EXPECT_EQ(ClassifyBody(answer.substr(0, answer.size() / 2), "application/rdap+json"),
                  BodyKind::kCutJson);
        ++count;
    }
    EXPECT_GE(count, 9);
}

TEST(BodyKind, EachBodyGetsItsKind) {
    const std::string verisign =
        ReadFile(kRdapData / "answers" / "rdap.verisign.com__domain_google.com_2021.json");
    const std::string text64 = "\x01" + std::string(63, 'a');
    const struct {
        const char* name;
        std::string body;
        const char* contentType;
        BodyKind kind;
    } cases[] = {
        {"an error answer", R"({"errorCode":404,"title":"Not Found"})", "application/rdap+json",
         BodyKind::kRdap},
        {"search results", R"({"domainSearchResults":[]})", "application/rdap+json",
         BodyKind::kRdap},
        {"only a conformance list", R"({"rdapConformance":["rdap_level_0"]})", "",
         BodyKind::kRdap},
        {"an RDAP member of the wrong type", R"({"objectClassName":5})", "", BodyKind::kRdap},
        {"behind a byte-order mark and spaces", "\xEF\xBB\xBF \r\n{\"objectClassName\":\"domain\"}",
         "application/json", BodyKind::kRdap},
        {"a Latin-1 byte in a string", "{\"objectClassName\":\"entity\",\"handle\":\"M\xFCller\"}",
         "", BodyKind::kRdap},
        {"an empty object", "{}", "application/rdap+json", BodyKind::kOtherJson},
        {"RDAP members only deeper down", R"({"data":{"objectClassName":"domain"}})", "",
         BodyKind::kOtherJson},
        {"an array", R"([{"objectClassName":"domain"}])", "application/rdap+json",
         BodyKind::kOtherJson},
        {"a bare number declared JSON", "42", "application/json", BodyKind::kOtherJson},
        {"a bare number as text", "42", "text/plain", BodyKind::kText},
        {"nested 10,000 deep", std::string(10000, '[') + std::string(10000, ']'), "",
         BodyKind::kOtherJson},
        {"cut inside a string", "{\"objectClassName\":\"dom", "", BodyKind::kCutJson},
        {"cut inside a UTF-8 character", "{\"n\":\"\xE3\x81", "", BodyKind::kCutJson},
        {"cut after a member", "{\"objectClassName\":\"domain\",", "", BodyKind::kCutJson},
        {"cut inside a literal", "[tr", "", BodyKind::kCutJson},
        {"braces around prose", "{ Service moved }", "text/plain", BodyKind::kText},
        {"JSON then more", "{}{}", "application/json", BodyKind::kText},
        {"a page declared HTML", "Service moved to https://rdap.example/", "text/html",
         BodyKind::kHtml},
        {"a page declared XHTML", "moved", "Application/XHTML+XML", BodyKind::kHtml},
        {"a page by its doctype", "\r\n  <!DOCTYPE html><html><body>Moved</body></html>",
         "text/plain", BodyKind::kHtml},
        {"a page behind a byte-order mark", "\xEF\xBB\xBF<html></html>", "", BodyKind::kHtml},
        {"plain text", "Service moved\r\n", "text/plain", BodyKind::kText},
        {"Shift_JIS text", "\x83\x54\x81\x5B\x83\x72\x83\x58\x92\x86\x8E\x7E\r\n", "",
         BodyKind::kText},
        {"ISO-2022-JP text", "\x1B$B%5!<%S%9\x1B(B\r\n", "", BodyKind::kText},
        {"one control byte in 64", text64, "", BodyKind::kText},
        {"one control byte in 63", text64.substr(0, 63), "", BodyKind::kBinary},
        {"a NUL byte", std::string("Service moved\0", 14), "text/plain", BodyKind::kBinary},
        {"gzip declared HTML", torvane::testing::Gzip(verisign), "text/html", BodyKind::kBinary},
        {"gzip declared JSON", torvane::testing::Gzip(verisign), "application/rdap+json",
         BodyKind::kBinary},
        {"a PNG image", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "", BodyKind::kBinary},
        {"UTF-16 text", std::string("\xFF\xFE<\0h\0t\0m\0l\0>\0", 14), "text/html",
         BodyKind::kBinary},
        {"nothing", "", "application/rdap+json", BodyKind::kEmpty},
        {"only line breaks", " \r\n\r\n", "text/html", BodyKind::kEmpty},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyBody(c.body, c.contentType), c.kind) << c.name;
    }
}

}  // namespace
}  // namespace torvane::rdap
