// The bootstrap lookups on the shipped snapshot, on small files for the
// matching rules, and the user copies on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "rdap/bootstrap.h"
#include "rdap/bootstrap_store.h"
#include "rdap_test_data.h"

namespace torvane::rdap {
namespace {

namespace fs = std::filesystem;
using torvane::testing::ReadFile;
using namespace std::chrono_literals;

const fs::path kSnapshot = TORVANE_RDAP_SNAPSHOT;

void WriteFile(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string File(std::string_view publication, std::string_view services) {
    return "{\"publication\": \"" + std::string(publication) + "\", \"services\": [" + std::string(services) + "]}";
}

std::string Answer(const std::optional<std::string>& url) { return url.value_or("(none)"); }

TEST(RdapBootstrap, SnapshotFindsEachRegistry) {
    const Bootstrap bootstrap = LoadBootstrap(kSnapshot, {});
    const struct {
        std::string query;
        std::string expected;
    } domains[] = {
        {"google.com", "https://rdap.verisign.com/com/v1/"},
        {"WWW.Example.TOKYO.", "https://rdap.gmoregistry.net/rdap/"},
        {"example.co.jp", "(none)"},
        {"xn--fiqs8s.xn--kpry57d", "https://ccrdap.twnic.tw/taiwan/"},
        {"example.co.uk", "https://rdap.nominet.uk/uk/"},
        {"example.kg", "http://rdap.cctld.kg/"},
        {"com.example", "(none)"},
    };
    for (const auto& [query, expected] : domains) EXPECT_EQ(Answer(bootstrap.ServiceForDomain(query)), expected) << query;

    const struct {
        std::string address;
        std::string expected;
    } addresses[] = {
        {"1.1.1.1", "https://rdap.apnic.net/"},
        {"41.0.0.1", "https://rdap.afrinic.net/rdap/"},
        {"8.8.8.8", "https://rdap.arin.net/registry/"},
        {"193.0.6.139", "https://rdap.db.ripe.net/"},
        {"179.0.0.1", "https://rdap.lacnic.net/rdap/"},
        {"127.0.0.1", "(none)"},
        {"2001:4860:4860::8888", "https://rdap.arin.net/registry/"},
        {"2001:200::1", "https://rdap.apnic.net/"},
        {"2a00::1", "https://rdap.db.ripe.net/"},
        {"2c0f:fb50::1", "https://rdap.afrinic.net/rdap/"},
        {"2800:3f0::1", "https://rdap.lacnic.net/rdap/"},
        {"::1", "(none)"},
    };
    for (const auto& [address, expected] : addresses) {
        const auto v4 = ParseIpv4(address);
        const auto url = v4 ? bootstrap.ServiceForIpv4(*v4) : bootstrap.ServiceForIpv6(ParseIpv6(address).value());
        EXPECT_EQ(Answer(url), expected) << address;
    }

    const struct {
        std::uint32_t number;
        std::string expected;
    } autnums[] = {
        {13335, "https://rdap.arin.net/registry/"}, {2043, "https://rdap.db.ripe.net/"},
        {4608, "https://rdap.apnic.net/"},          {36864, "https://rdap.afrinic.net/rdap/"},
        {28000, "https://rdap.lacnic.net/rdap/"},   {4294967295u, "(none)"},
    };
    for (const auto& [number, expected] : autnums) EXPECT_EQ(Answer(bootstrap.ServiceForAutnum(number)), expected) << number;

    EXPECT_EQ(bootstrap.File(BootstrapKind::dns).publication, "2026-07-23T02:00:03Z");
}

TEST(RdapBootstrap, LongestMatchAndHttpsWin) {
    const Bootstrap bootstrap(
        ParseBootstrapFile(BootstrapKind::dns, File("1", R"([["uk"], ["https://uk.example"]],
            [["CO.UK"], ["http://co.example/", "https://co.example/"]], [["org"], ["ftp://org.example/"]])")),
        ParseBootstrapFile(BootstrapKind::ipv4, File("1", R"([["10.0.0.0/8"], ["https://a.example/"]],
            [["10.1.0.0/16"], ["https://b.example/"]], [["0.0.0.0/0"], ["https://all.example/"]])")),
        ParseBootstrapFile(BootstrapKind::ipv6, File("1", R"([["2001:db8::/32"], ["https://a.example/"]],
            [["2001:db8:8000::/33"], ["https://b.example/"]])")),
        ParseBootstrapFile(BootstrapKind::asn, File("1", R"([["1-10", "64496"], ["https://a.example/"]])")));
    EXPECT_EQ(Answer(bootstrap.ServiceForDomain("a.co.uk")), "https://co.example/");
    EXPECT_EQ(Answer(bootstrap.ServiceForDomain("a.uk")), "https://uk.example/");
    EXPECT_EQ(Answer(bootstrap.ServiceForDomain("a.org")), "(none)");
    EXPECT_EQ(Answer(bootstrap.ServiceForIpv4(*ParseIpv4("10.1.2.3"))), "https://b.example/");
    EXPECT_EQ(Answer(bootstrap.ServiceForIpv4(*ParseIpv4("10.2.2.3"))), "https://a.example/");
    EXPECT_EQ(Answer(bootstrap.ServiceForIpv4(*ParseIpv4("11.0.0.1"))), "https://all.example/");
    EXPECT_EQ(Answer(bootstrap.ServiceForIpv6(*ParseIpv6("2001:db8:8000::1"))), "https://b.example/");
    EXPECT_EQ(Answer(bootstrap.ServiceForIpv6(*ParseIpv6("2001:db8:7fff::1"))), "https://a.example/");
    EXPECT_EQ(Answer(bootstrap.ServiceForAutnum(64496)), "https://a.example/");
    EXPECT_EQ(Answer(bootstrap.ServiceForAutnum(11)), "(none)");
}

TEST(RdapBootstrap, MalformedFilesThrowSayingWhy) {
    const struct {
        BootstrapKind kind;
        std::string text;
        std::string message;
    } cases[] = {
        {BootstrapKind::dns, "<html>", "dns.json: not JSON"},
        {BootstrapKind::dns, std::string(100, '[') + std::string(100, ']'), "deeper than"},
        {BootstrapKind::dns, "[]", "not a JSON object"},
        {BootstrapKind::dns, R"({"services": []})", "no \"publication\""},
        {BootstrapKind::dns, R"({"publication": "1", "services": {}})", "no \"services\""},
        {BootstrapKind::dns, File("1", R"(["com"])"), "services[0] is not a pair"},
        {BootstrapKind::dns, File("1", R"([[1], ["https://x/"]])"), "services[0][0][0] is not a string"},
        {BootstrapKind::ipv4, File("1", R"([["10.0.0.0/33"], ["https://x/"]])"), "not a prefix"},
        {BootstrapKind::ipv6, File("1", R"([["2001:db8::"], ["https://x/"]])"), "ipv6.json: services[0][0][0] is not a prefix"},
        {BootstrapKind::asn, File("1", R"([["9-1"], ["https://x/"]])"), "not an AS range"},
    };
    for (const auto& [kind, text, message] : cases) {
        try {
            ParseBootstrapFile(kind, text);
            ADD_FAILURE() << "accepted " << text.substr(0, 60);
        } catch (const BootstrapError& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
}

class RdapBootstrapFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("torvane-rdap-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(shipped_);
        for (const BootstrapKind kind : kBootstrapKinds) {
            fs::copy_file(kSnapshot / BootstrapFileName(kind), shipped_ / BootstrapFileName(kind));
        }
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    fs::path shipped_ = fs::temp_directory_path() / ("torvane-rdap-" + std::to_string(::getpid())) / "shipped";
    fs::path user_ = fs::temp_directory_path() / ("torvane-rdap-" + std::to_string(::getpid())) / "user";
};

TEST_F(RdapBootstrapFolders, NewerUserCopyWinsAndBrokenOnesAreIgnored) {
    const std::string newer = File("2099-01-01T00:00:00Z", R"([["com"], ["https://newer.example/"]])");
    const std::string older = File("2000-01-01T00:00:00Z", R"([["1.0.0.0/8"], ["https://older.example/"]])");
    ASSERT_TRUE(StoreBootstrapFile(user_, BootstrapKind::dns, newer));
    ASSERT_TRUE(StoreBootstrapFile(user_, BootstrapKind::ipv4, older));
    WriteFile(user_ / "asn.json", "{\"publication\": \"2099-");
    const Bootstrap bootstrap = LoadBootstrap(shipped_, user_);
    EXPECT_EQ(Answer(bootstrap.ServiceForDomain("a.com")), "https://newer.example/");
    EXPECT_EQ(Answer(bootstrap.ServiceForIpv4(*ParseIpv4("1.1.1.1"))), "https://rdap.apnic.net/");
    EXPECT_EQ(bootstrap.File(BootstrapKind::asn).publication, "2026-03-14T14:00:01Z");

    WriteFile(shipped_ / "ipv6.json", "not json");
    EXPECT_THROW(LoadBootstrap(shipped_, user_), BootstrapError);
    fs::remove(shipped_ / "ipv6.json");
    EXPECT_THROW(LoadBootstrap(shipped_, user_), BootstrapError);
}

TEST_F(RdapBootstrapFolders, StoreIsAllOrNothingAndRefreshFollowsTheFileTime) {
    const auto now = fs::file_time_type::clock::now();
    EXPECT_TRUE(RefreshDue(user_, BootstrapKind::dns, now));
    const std::string good = ReadFile(kSnapshot / "dns.json");
    ASSERT_TRUE(StoreBootstrapFile(user_, BootstrapKind::dns, good));
    EXPECT_FALSE(StoreBootstrapFile(user_, BootstrapKind::dns, good.substr(0, good.size() / 2)));
    EXPECT_FALSE(StoreBootstrapFile(user_, BootstrapKind::asn, good));  // a dns file is no asn file
    EXPECT_EQ(ReadFile(user_ / "dns.json"), good);
    EXPECT_FALSE(fs::exists(user_ / "asn.json"));
    EXPECT_EQ(std::distance(fs::directory_iterator(user_), fs::directory_iterator()), 1);

    const auto written = fs::last_write_time(user_ / "dns.json");
    EXPECT_FALSE(RefreshDue(user_, BootstrapKind::dns, written + 24h * 6));
    EXPECT_TRUE(RefreshDue(user_, BootstrapKind::dns, written + 24h * 7));
    EXPECT_FALSE(StoreBootstrapFile(user_ / "dns.json", BootstrapKind::dns, good));  // folder is a file
}

TEST(RdapQueryUrls, AreBuiltOnTheBase) {
    EXPECT_EQ(DomainQueryUrl("https://rdap.verisign.com/com/v1/", "GOOGLE.COM"),
              "https://rdap.verisign.com/com/v1/domain/GOOGLE.COM");
    EXPECT_EQ(DomainQueryUrl("https://r.example/rdap", "a b/c?.jp"), "https://r.example/rdap/domain/a%20b%2Fc%3F.jp");
    EXPECT_EQ(Ipv4QueryUrl("https://rdap.apnic.net/", *ParseIpv4("1.1.1.1")), "https://rdap.apnic.net/ip/1.1.1.1");
    EXPECT_EQ(Ipv6QueryUrl("https://r.example", *ParseIpv6("2001:4860:4860:0:0:0:0:8888")),
              "https://r.example/ip/2001:4860:4860::8888");
    EXPECT_EQ(AutnumQueryUrl("https://r.example/", 4294967295u), "https://r.example/autnum/4294967295");
}

TEST(RdapAddresses, ParseAndFormat) {
    const struct {
        std::string text;
        std::string formatted;  // empty: refused
    } cases[] = {
        {"::", "::"},
        {"::1", "::1"},
        {"2001:DB8:0:0:1:0:0:1", "2001:db8::1:0:0:1"},
        {"2001:db8:0:1:1:1:1:1", "2001:db8:0:1:1:1:1:1"},
        {"::ffff:192.0.2.1", "::ffff:192.0.2.1"},
        {"1:2:3:4:5:6:7:8:9", ""},
        {"1::2::3", ""},
        {"12345::", ""},
        {"::1%eth0", ""},
        {"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:0"},
    };
    for (const auto& [text, formatted] : cases) {
        const auto address = ParseIpv6(text);
        EXPECT_EQ(address ? FormatIpv6(*address) : "", formatted) << text;
    }
    for (const char* bad : {"1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "01234.1.1.1", "1.2.3.4 ", ""}) {
        EXPECT_FALSE(ParseIpv4(bad).has_value()) << bad;
    }
    EXPECT_EQ(FormatIpv4(ParseIpv4("192.0.2.255").value()), "192.0.2.255");
}

}  // namespace
}  // namespace torvane::rdap
