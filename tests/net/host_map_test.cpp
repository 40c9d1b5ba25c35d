// Parsing and lookup of the host map.

#include "net/host_map.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace torvane::net {
namespace {

class HostMapTest : public ::testing::Test {
  protected:
    void TearDown() override { ClearHostMap(); }
};

TEST_F(HostMapTest, ParsesEntriesWithAndWithoutPort) {
    const auto entries =
        ParseHostMap(" whois.jprs.jp=127.0.0.1:4301 ,,whois.nic.ad.jp=localhost,x=[::1]:9");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].host, "whois.jprs.jp");
    EXPECT_EQ(entries[0].address, "127.0.0.1");
    EXPECT_EQ(entries[0].port, 4301);
    EXPECT_EQ(entries[1].address, "localhost");
    EXPECT_FALSE(entries[1].port.has_value());
    EXPECT_EQ(entries[2].address, "[::1]");
    EXPECT_EQ(entries[2].port, 9);
    EXPECT_TRUE(ParseHostMap("").empty());
}

TEST_F(HostMapTest, RejectsMalformedEntries) {
    for (const char* text : {"noequals", "=127.0.0.1:43", "a=", "a=:43", "a=1.2.3.4:0",
                             "a=1.2.3.4:65536", "a=1.2.3.4:4x", "ok=1.2.3.4:43,bad"}) {
        EXPECT_THROW(ParseHostMap(text), std::invalid_argument) << text;
    }
}

TEST_F(HostMapTest, LooksUpWithoutRegardToCaseAndLaterEntriesWin) {
    SetHostMap("Whois.Example=127.0.0.1:1000,whois.example=127.0.0.2:2000");
    const auto found = MappedHost("WHOIS.example");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->address, "127.0.0.2");
    EXPECT_EQ(found->port, 2000);
    EXPECT_FALSE(MappedHost("other.example"));
}

TEST_F(HostMapTest, AddReplacesAndClearEmpties) {
    SetHostMap("a=127.0.0.1:1");
    AddHostMapping({"A", "127.0.0.9", 9});
    ASSERT_TRUE(MappedHost("a"));
    EXPECT_EQ(MappedHost("a")->port, 9);
    ClearHostMap();
    EXPECT_FALSE(MappedHost("a"));
}

TEST_F(HostMapTest, BadTextLeavesTheMapUnchanged) {
    SetHostMap("a=127.0.0.1:1");
    EXPECT_THROW(SetHostMap("b=127.0.0.1:2,broken"), std::invalid_argument);
    EXPECT_TRUE(MappedHost("a"));
    EXPECT_FALSE(MappedHost("b"));
}

TEST_F(HostMapTest, ReadsTheEnvironmentVariableAndIgnoresItWhenMalformed) {
    setenv("TORVANE_HOST_MAP", "env.example=127.0.0.1:4343", 1);
    LoadHostMapFromEnvironment();
    ASSERT_TRUE(MappedHost("env.example"));
    EXPECT_EQ(MappedHost("env.example")->port, 4343);
    setenv("TORVANE_HOST_MAP", "env.example=127.0.0.1:4343,garbage", 1);
    LoadHostMapFromEnvironment();
    EXPECT_FALSE(MappedHost("env.example"));
    unsetenv("TORVANE_HOST_MAP");
}

}  // namespace
}  // namespace torvane::net
