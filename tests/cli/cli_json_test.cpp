// torvane-cli --json: the whole run as one document, parsed back.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <nlohmann/json.hpp>

#include "cli_test_support.h"

namespace torvane::cli {
namespace {

using namespace testing;
using testserver::ServerConfig;
using Json = nlohmann::json;

const std::string kVerisign = "whois.verisign-grs.com";
const std::string kMarkmonitor = "whois.markmonitor.com";

std::vector<ServerConfig> ComServers() {
    return {Server(kVerisign, {{"google.com", Fixture("google.com_2020.txt")}}),
            Server(kMarkmonitor, {{"google.com", Fixture("markmonitor_google.com_2019.txt")}})};
}

// The fact of `field` in a document's summary, or null.
Json FactOf(const Json& summary, const std::string& field) {
    for (const Json& fact : summary.at("facts"))
        if (fact.at("field") == field) return fact;
    return nullptr;
}

TEST(CliJson, APortFortyThreeRunIsOneDocumentWithItsBlocksAndSummary) {
    CliRun cli(ComServers());
    const ChildResult result = cli.Run({"--json", "https://www.google.com/"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const Json doc = Json::parse(result.out);
    EXPECT_EQ(doc.at("version"), 1);
    EXPECT_EQ(doc.at("input"), "https://www.google.com/");
    EXPECT_EQ(doc.at("name"), "www.google.com");
    EXPECT_EQ(doc.at("ascii"), "www.google.com");
    EXPECT_TRUE(doc.at("dns").is_object());
    // The registry referred the run to the registrar: one block is shown.
    ASSERT_EQ(doc.at("blocks").size(), 1u);
    const Json& block = doc.at("blocks")[0];
    EXPECT_EQ(block.at("server"), kMarkmonitor);
    EXPECT_EQ(block.at("protocol"), "port43");
    EXPECT_EQ(block.at("query"), "google.com");
    EXPECT_EQ(block.at("status"), "完了");
    EXPECT_EQ(block.at("header"), "{" + kMarkmonitor + " からの回答}");
    EXPECT_EQ(block.at("text").get<std::string>().rfind("Domain Name: google.com\n", 0), 0u);
    EXPECT_FALSE(block.contains("rdap"));

    const Json& summary = doc.at("summary");
    EXPECT_EQ(summary.at("subject"), "domain");
    const Json registrar = FactOf(summary, "registrar");
    ASSERT_FALSE(registrar.is_null());
    // The registry's answer referred the run on, unshown; its word counts.
    std::set<std::string> sources;
    for (const Json& value : registrar.at("values"))
        for (const Json& source : value.at("sources"))
            sources.insert(source.at("server").get<std::string>() + " " +
                           source.at("protocol").get<std::string>());
    EXPECT_EQ(sources, (std::set<std::string>{kMarkmonitor + " port43", kVerisign + " port43"}));
    // Registry and registrar disagree on the expiry: both values stand.
    const Json expires = FactOf(summary, "expires");
    ASSERT_FALSE(expires.is_null());
    EXPECT_EQ(expires.at("values").size(), 2u);

    const std::vector<std::string> report = doc.at("report");
    EXPECT_NE(std::find(report.begin(), report.end(), "{登録情報}"), report.end());
    EXPECT_EQ(doc.at("status"), "完了");
    EXPECT_EQ(doc.at("exitCode"), 0);
    EXPECT_EQ(result.out.back(), '\n');

    // The text output prints the same report, summary included.
    const ChildResult text = cli.Run({"https://www.google.com/"});
    std::string printed;
    for (const std::string& line : report) printed += line + "\n";
    EXPECT_EQ(text.out, printed);
}

TEST(CliJson, AnRdapBlockCarriesTheDocumentAsReceivedAndTheClassicRunNoSummary) {
    std::ifstream file(TORVANE_TEST_DATA "/rdap/answers/rdap.verisign.com__domain_google.com_2021.json",
                       std::ios::binary);
    const std::string registry{std::istreambuf_iterator<char>(file), {}};
    ServerConfig rdap = Server("rdap.registry.test");
    rdap.http.emplace();
    rdap.http->responses = {{"/domain/google.com", {200, registry}}};
    ServerConfig registrar = Server("rdap.markmonitor.com");
    registrar.http.emplace();  // nothing there: 404
    CliRun cli({rdap, registrar});
    const ChildResult result = cli.Run({"--json", "--rdap", "google.com"});
    const nlohmann::ordered_json doc = nlohmann::ordered_json::parse(result.out);
    ASSERT_GE(doc.at("blocks").size(), 1u);
    const nlohmann::ordered_json& block = doc.at("blocks")[0];
    EXPECT_EQ(block.at("protocol"), "rdap");
    EXPECT_EQ(block.at("server"), "rdap.registry.test");
    EXPECT_NE(block.at("query").get<std::string>().find("/domain/google.com"), std::string::npos);
    // Members in the order the service wrote them.
    EXPECT_EQ(block.at("rdap").dump(), nlohmann::ordered_json::parse(registry).dump());
    EXPECT_EQ(block.at("rdap").begin().key(), "objectClassName");
    EXPECT_FALSE(doc.at("summary").is_null());

    CliRun classic(ComServers());
    const Json off = Json::parse(classic.Run({"--json", "--no-fallback", "google.com"}).out);
    EXPECT_TRUE(off.at("summary").is_null());
    EXPECT_FALSE(off.at("blocks").empty());
}

}  // namespace
}  // namespace torvane::cli
