#include "query/registries.h"

#include <gtest/gtest.h>

#include <string>

#include "query/well_known_servers.h"

namespace torvane::query {
namespace {

TEST(RirFromRdapUrl, NamesTheRegistryByHost) {
    const std::pair<std::string, std::optional<Rir>> cases[] = {
        {"https://rdap.arin.net/registry/", Rir::Arin},
        {"http://rdap.arin.net/registry/", Rir::Arin},
        {"https://rdap.db.ripe.net/", Rir::RipeNcc},
        {"https://rdap.apnic.net/", Rir::Apnic},
        {"https://rdap.lacnic.net/rdap/", Rir::Lacnic},
        {"https://RDAP.AFRINIC.NET:443/rdap/", Rir::Afrinic},
        {"rdap.apnic.net", Rir::Apnic},
        {"https://rdap.example.net/arin.net/", std::nullopt},
        {"https://notarin.net/", std::nullopt},
        {"https://arin.net.example/", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [url, rir] : cases) EXPECT_EQ(RirFromRdapUrl(url), rir) << url;
}

TEST(WhoisServerOf, UsesTheWellKnownServers) {
    EXPECT_EQ(WhoisServerOf(Rir::Afrinic), "whois.afrinic.net");
    EXPECT_EQ(WhoisServerOf(Rir::Apnic), kApnicServer);
    EXPECT_EQ(WhoisServerOf(Rir::Arin), kArinServer);
    EXPECT_EQ(WhoisServerOf(Rir::Lacnic), "whois.lacnic.net");
    EXPECT_EQ(WhoisServerOf(Rir::RipeNcc), kRipeServer);
}

TEST(WhoisQueryFor, AsksEachRegistryInItsOwnForm) {
    const RecognizedQuery as = RecognizeQuery("as2497");
    const std::pair<std::string_view, std::string> cases[] = {
        {kRipeServer, "AS2497"},      {kApnicServer, "AS2497"}, {kAfrinicServer, "AS2497"},
        {kLacnicServer, "AS2497"},    {kJpnicServer, "AS2497"}, {kArinServer, "a 2497"},
        {"WHOIS.ARIN.NET", "a 2497"},
    };
    for (const auto& [server, expected] : cases)
        EXPECT_EQ(WhoisQueryFor(server, as), expected) << server;
    EXPECT_EQ(WhoisQueryFor(kArinServer, RecognizeQuery("2001:DB8:0::1/48")), "2001:db8::1");
}

}  // namespace
}  // namespace torvane::query
