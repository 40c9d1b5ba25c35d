#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>

#include "query/ascii_text.h"
#include "query/directory_data.h"
#include "query/server_directory.h"
#include "query/well_known_servers.h"

namespace torvane::query {
namespace {

using Outcome = ServerChoice::Outcome;

std::set<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The rows each kind must have, as the directory's users rely on them.
const std::set<std::string> kServerKeys = Words(
    ".aero .arpa .biz .com .coop .edu .gov .info .int .mil .museum .name .net .org .pro .ac .ad "
    ".ae .af .ag .ai .al .am .as .at .au .az .ba .be .bg .bj .bm .br .bt .bv .by .bz .ca .cc .cd "
    ".ch .ci .ck .cl .cn .cx .cy .cz .de .dk .dm .do .dz .ee .eg .es .fi .fj .fo .fr .ga .gb .gd "
    ".ge .gf .gg .gi .gl .gm .gr .gs .gw .gy .hk .hm .hn .hr .hu .id .ie .il .in .io .ir .is .it "
    ".je .jo .jp .ke .kg .kh .ki .kr .kz .la .li .lk .lt .lu .ly .ma .md .mg .mk .mm .mn .ms .mt "
    ".mx .my .na .ng .nl .no .nu .nz .pk .pl .pm .pr .pt .pw .re .ro .ru .sa .sb .sc .se .sg .sh "
    ".si .sj .sk .sm .so .sr .st .su .tc .tf .th .tj .tk .tl .tm .tn .to .tr .tv .tw .ua .ug .uk "
    ".us .uz .va .vc .ve .vg .wf .ws .yt .yu");
const std::set<std::string> kWebKeys = Words(
    ".an .ao .ar .bb .bd .bf .bh .bi .bn .bo .bs .cg .cm .co .cr .dj .ec .et .fk .fm .gh .gn .gp "
    ".gq .gt .gu .im .ky .lb .lc .lr .lv .mc .mh .ml .mo .mp .mq .mr .mu .mw .nc .ne .nf .ni .np "
    ".nr .om .pa .pe .ph .pn .py .qa .rw .sd .sn .sv .sy .td .tg .tp .tt .tz .um .uy .vi .vn .vu "
    ".za .zm");
const std::set<std::string> kNoneKeys = Words(
    ".aq .aw .ax .bw .cf .cs .cu .cv .eh .er .fx .ht .iq .jm .km .kn .kp .kw .ls .mv .mz .pf .pg "
    ".ps .sl .sz .ye .zr .zw");
const std::set<std::string> kRipeKeys = Words(
    ".ad .al .az .ba .bv .by .cy .dz .eg .es .fo .ga .gb .ge .gl .gm .gr .hr .jo .md .mk .mt .sj "
    ".sk .sm .tn .va .yu");

std::string_view Entry(std::string_view key) {
    for (const auto& row : kTopLevelRows)
        if (row.key == key) return row.value;
    return {};
}

TEST(ServerDirectory, TopLevelTableHasEveryRowWithItsKind) {
    EXPECT_EQ(kServerKeys.size(), 165u);
    EXPECT_EQ(kWebKeys.size(), 71u);
    EXPECT_EQ(kNoneKeys.size(), 29u);
    std::set<std::string> keys;
    std::set<std::string_view> hosts;
    for (const auto& row : kTopLevelRows) {
        const std::string key(row.key);
        EXPECT_TRUE(keys.insert(key).second) << "duplicate " << key;
        const EntryKind kind = ClassifyEntry(row.value);
        if (kind == EntryKind::Server) hosts.insert(row.value);
        EXPECT_EQ(kind == EntryKind::Server, kServerKeys.count(key) == 1) << key;
        EXPECT_EQ(kind == EntryKind::WebPage, kWebKeys.count(key) == 1) << key;
        EXPECT_EQ(kind == EntryKind::None, kNoneKeys.count(key) == 1) << key;
        EXPECT_EQ(kRipeKeys.count(key) == 1, row.value == kRipeServer) << key;
    }
    EXPECT_EQ(keys.size(), 265u);
    EXPECT_EQ(hosts.size(), 131u);
    // Generic domains first, then the country domains in alphabetical order.
    EXPECT_EQ(kTopLevelRows[0].key, ".aero");
    EXPECT_EQ(kTopLevelRows[15].key, ".ac");
    EXPECT_TRUE(std::is_sorted(kTopLevelRows.begin() + 15, kTopLevelRows.end(),
                               [](auto& a, auto& b) { return a.key < b.key; }));
}

TEST(ServerDirectory, NamedRowsHoldTheWellKnownServers) {
    EXPECT_EQ(Entry(".jp"), kJprsServer);
    EXPECT_EQ(Entry(".arpa"), kInternicServer);
    EXPECT_EQ(Entry(".int"), kIanaServer);
    EXPECT_EQ(Entry(".gg"), Entry(".je"));
    EXPECT_EQ(Entry(".ru"), Entry(".su"));
    EXPECT_EQ(Entry(".gs"), Entry(".vg"));
    EXPECT_EQ(Entry(".hn"), Entry(".vc"));
}

TEST(ServerDirectory, SuffixTableIsAscendingWithItsKinds) {
    ASSERT_EQ(kSuffixRows.size(), 34u);
    EXPECT_TRUE(std::is_sorted(kSuffixRows.begin(), kSuffixRows.end(),
                               [](auto& a, auto& b) { return a.key < b.key; }));
    std::set<std::string_view> webPages;
    for (const auto& row : kSuffixRows) {
        if (ClassifyEntry(row.value) == EntryKind::WebPage) webPages.insert(row.key);
        EXPECT_NE(ClassifyEntry(row.value), EntryKind::None) << row.key;
        const std::string_view domain = LastLabel(row.key);
        EXPECT_NE(std::find(kSuffixTopLevelDomains.begin(), kSuffixTopLevelDomains.end(), domain),
                  kSuffixTopLevelDomains.end())
            << row.key;
    }
    EXPECT_EQ(webPages, (std::set<std::string_view>{".co.za", ".com.uy"}));
}

TEST(ServerDirectory, SuggestionsAreSortedDistinctHostsWithoutTheComValue) {
    const TServerDirectory directory;
    const auto& list = directory.Suggestions();
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_LT(CompareIgnoreCase(list[i - 1], list[i]), 0) << list[i - 1] << " / " << list[i];
    for (const auto& host : list) {
        EXPECT_EQ(ClassifyEntry(host), EntryKind::Server) << host;
        EXPECT_NE(host, Entry(".com"));
    }
    for (const auto& design : DesignSuggestions())
        EXPECT_NE(std::find(list.begin(), list.end(), design), list.end()) << design;
    EXPECT_NE(std::find(list.begin(), list.end(), kJpnicServer), list.end());
    EXPECT_NE(std::find(list.begin(), list.end(), "whois.centralnic.net"), list.end());
}

struct Selection {
    std::string query;
    std::string display;
    bool manual;
    std::string manualHost;
    Outcome outcome;
    std::string value;  // expected value, or a key of the top-level table as "=.key"
};

TEST(SelectWhoisServer, ChoosesOneOfFiveOutcomes) {
    const TServerDirectory directory;
    const std::string ac_uk(kSuffixRows[0].value);
    const Selection cases[] = {
        {"example.co.jp", "host.example.co.jp", false, "whois.", Outcome::Server, "=.jp"},
        {"example.co.uk", "example.co.uk", false, "", Outcome::Server, "=.uk"},
        {"example.ac.uk", "example.ac.uk", false, "", Outcome::Server, ac_uk},
        {"example.gov.uk", "example.gov.uk", false, "", Outcome::Server, ac_uk},
        {"example.com.au", "example.com.au", false, "", Outcome::Server, "whois.auda.org.au"},
        {"example.au", "example.au", false, "", Outcome::Server, "=.au"},
        {"example.co.za", "example.co.za", false, "", Outcome::WebPage,
         "http://www.registry.net.za/"},
        {"example.ac.za", "example.ac.za", false, "", Outcome::Server, "whois.ac.za"},
        {"example.CO.za", "example.CO.za", false, "", Outcome::WebPage, "=.za"},  // case-sensitive
        {"example.uk.com", "example.uk.com", false, "", Outcome::Server, "whois.centralnic.net"},
        {"example.COM", "example.COM", false, "", Outcome::Server, "=.com"},
        {"example.xyz", "example.xyz", false, "", Outcome::None, ""},
        {"localhost", "localhost", false, "", Outcome::None, ""},
        {"example.aq", "example.aq", false, "", Outcome::None, ""},
        {"http://example.jp/", "example.jp", false, "", Outcome::None, ""},  // last label .jp/
        {"example.jp", "example.jp", true, "whois.", Outcome::NoManualServer, ""},
        {"example.jp", "example.jp", true, "  ", Outcome::NoManualServer, ""},
        {"example.jp", "example.jp", true, " whois.example.net ", Outcome::Server,
         "whois.example.net"},
        {"192.0.2.1", "192.0.2.1", false, "", Outcome::Address, ""},
        {"192.0.2.1", "192.0.2.1", true, "whois.example.net", Outcome::Server, "whois.example.net"},
    };
    for (const auto& c : cases) {
        const ServerChoice choice =
            SelectWhoisServer(directory, c.query, c.display, c.manual, c.manualHost);
        EXPECT_EQ(choice.outcome, c.outcome) << c.query;
        const std::string expected =
            c.value.starts_with("=") ? std::string(Entry(c.value.substr(1))) : c.value;
        EXPECT_EQ(choice.value, expected) << c.query;
    }
}

}  // namespace
}  // namespace torvane::query
