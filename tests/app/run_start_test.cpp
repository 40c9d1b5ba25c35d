// A press of the run button: header lines, DNS information, the server choice
// and its outcomes, cancel and the history, against loopback servers.

#include <gtest/gtest.h>

#include <QTimer>
#include <future>

#include "run_test_support.h"

namespace torvane::run {
namespace {

using namespace testing;

TEST(RunStart, BlankLineOnlyFocusesTheQueryBox) {
    RunHarness run({});
    run.window.report.Append("kept");
    run.window.query = "  \t ";
    run.controller->QueryButtonClick();
    EXPECT_TRUE(run.window.focused);
    EXPECT_EQ(run.window.Lines(), Lines{"kept"});
    EXPECT_TRUE(run.window.statuses.empty());
    EXPECT_FALSE(run.window.running);
}

TEST(RunStart, NameThatResolvesShowsItsAddressAndAsksTheRegisteredDomain) {
    RunHarness run({Server(kJprs, {{"example.co.jp", "Domain: EXAMPLE.CO.JP\r\n"}})});
    run.resolver.addresses["host.example.co.jp"] = "192.0.2.10";
    run.resolver.names["192.0.2.10"] = "rev.example.net";
    ASSERT_TRUE(run.Run("http://host.example.co.jp/index.html"));
    EXPECT_EQ(run.window.Lines(), (Lines{
                                      "         【host.example.co.jp の調査結果】",
                                      "",
                                      "{IPアドレス}",
                                      "",
                                      "192.0.2.10 (逆引きアドレス：rev.example.net)",
                                      "",
                                      "{whois.jprs.jp からの回答}",
                                      "",
                                      "Domain: EXAMPLE.CO.JP",
                                      "",
                                  }));
    EXPECT_EQ(run.Queries(kJprs), Lines{"example.co.jp\r\n"});
    EXPECT_EQ(run.window.captions.back(), "host.example.co.jp (192.0.2.10) の調査結果 - Torvane");
    EXPECT_EQ(run.window.Status(), "完了");
    // The bytes themselves, so that one conversion fault on both sides of the
    // comparison cannot hide.
    EXPECT_EQ(run.window.rawStatus, "\xE5\xAE\x8C\xE4\xBA\x86");
    EXPECT_FALSE(run.window.running);
    EXPECT_EQ(run.window.history, Lines{"http://host.example.co.jp/index.html"});
}

TEST(RunStart, InternationalNameShowsItsPunycodeOnlyWhenItResolves) {
    RunHarness run({Server(kJprs)});
    const std::string name = "日本語.jp";
    run.resolver.addresses["xn--wgv71a119e.jp"] = "192.0.2.20";
    ASSERT_TRUE(run.Run(name));
    EXPECT_EQ(
        run.window.Lines(),
        (Lines{"         【日本語.jp の調査結果】", "", "{IPアドレス}", "", "192.0.2.20", "",
               "{Punyコード}", "", "xn--wgv71a119e.jp", "", "{whois.jprs.jp からの回答}", "", ""}));
    // The WHOIS query carries the name in CP932, not its ASCII form.
    EXPECT_EQ(run.Queries(kJprs), Lines{Cp932(name) + "\r\n"});

    run.resolver.addresses.clear();
    ASSERT_TRUE(run.Run(name));
    EXPECT_EQ(run.window.Lines(), (Lines{"         【日本語.jp の調査結果】", "",
                                         "{whois.jprs.jp からの回答}", "", ""}));
}

TEST(RunStart, AddressWithAReverseNameAsksAboutThatName) {
    RunHarness run({Server(kJprs, {{"example.co.jp", "ok\n"}, {"www.example.co.jp", "all\n"}})});
    run.resolver.names["192.0.2.1"] = "www.example.co.jp";
    ASSERT_TRUE(run.Run("192.0.2.1"));
    EXPECT_EQ(run.window.Lines(),
              (Lines{"         【192.0.2.1 の調査結果】", "", "{ドメイン名}", "",
                     "www.example.co.jp", "", "{whois.jprs.jp からの回答}", "", "ok", ""}));
    EXPECT_EQ(run.window.captions.back(), "192.0.2.1 (www.example.co.jp) の調査結果 - Torvane");

    run.window.autoCorrect = false;
    ASSERT_TRUE(run.Run("192.0.2.1"));
    EXPECT_EQ(run.Queries(kJprs).back(), "www.example.co.jp\r\n");
}

TEST(RunStart, ReverseNameThatIsAnAddressIsTakenAsANameOnce) {
    RunHarness run({Server(kJpnic), Server(kApnic), Server(kArin)});
    run.resolver.names["192.0.2.1"] = "192.0.2.1";
    ASSERT_TRUE(run.Run("192.0.2.1"));
    EXPECT_EQ(run.Queries(kJpnic), Lines{"192.0.2.1\r\n"});
}

TEST(RunStart, AddressWithoutReverseNameAsksTheThreeRegistries) {
    Gate apnicGate, arinGate;
    RunHarness run(GatedRegistries(apnicGate, "apnic\n", arinGate, "arin\n"));
    run.window.query = "192.0.2.1";
    run.controller->QueryButtonClick();
    // Each registry answers once the one before it is shown.
    ASSERT_TRUE(run.WaitForLine("jpnic"));
    apnicGate.Open();
    ASSERT_TRUE(run.WaitForLine("apnic"));
    arinGate.Open();
    ASSERT_TRUE(run.WaitIdle());
    EXPECT_EQ(run.window.Lines(),
              (Lines{"         【192.0.2.1 の調査結果】", "", "{whois.nic.ad.jp からの回答}", "",
                     "jpnic", "", "{whois.apnic.net からの回答}", "", "apnic", "",
                     "{whois.arin.net からの回答}", "", "arin", ""}));
    EXPECT_EQ(run.controller->VisitedServers(), Lines{kArin});
}

// A resolver that answers only once the test opens its gate.
class GatedResolver : public TableResolver {
  public:
    std::string LookupHostAddress(const std::string& name) override {
        opened_.wait();
        return TableResolver::LookupHostAddress(name);
    }
    void Open() { gate_.set_value(); }

  private:
    std::promise<void> gate_;
    std::shared_future<void> opened_ = gate_.get_future().share();
};

TEST(RunStart, ASlowResolverLeavesTheEventLoopTurningAndCanBeCancelled) {
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "answered");
        RunHarness run({Server(kJprs, {{"example.jp", "ok\n"}})});
        GatedResolver resolver;
        resolver.addresses["example.jp"] = "192.0.2.7";
        TRunController controller(run.window, resolver, run.directory, run.HistoryFile());
        run.window.query = "example.jp";
        controller.QueryButtonClick();
        bool turned = false;
        QTimer::singleShot(0, [&] { turned = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return turned; }, 5000));
        EXPECT_EQ(run.window.Status(), "DNS 情報を取得しています...");
        EXPECT_FALSE(controller.Idle());
        const Lines head{"         【example.jp の調査結果】", ""};
        if (cancel) {
            controller.CancelButtonClick();
            EXPECT_TRUE(controller.Idle());
            EXPECT_FALSE(run.window.running);
            EXPECT_EQ(run.window.Status(), "中止");
            EXPECT_EQ(run.window.Lines(), head);
            resolver.Open();
        } else {
            resolver.Open();
            ASSERT_TRUE(QTest::qWaitFor([&] { return controller.Idle(); }, 15000));
            EXPECT_EQ(run.window.Lines(),
                      (Lines{head[0], head[1], "{IPアドレス}", "", "192.0.2.7", "",
                             "{whois.jprs.jp からの回答}", "", "ok", ""}));
        }
    }
}

struct OutcomeCase {
    std::string typed;
    bool manual;
    std::string manualHost;
    Lines report;
    std::string status;
};

TEST(RunStart, OutcomesWithoutALegEndTheRunAndLeaveTheHistory) {
    const OutcomeCase cases[] = {
        {"example.xyz",
         false,
         "",
         {"         【example.xyz の調査結果】", ""},
         "データベースが見つかりません"},
        {"www.example.co.za",
         false,
         "",
         {"         【www.example.co.za の調査結果】", "",
          "\"example.co.za\" についてのデータベースが見つかりません。",
          "http://www.registry.net.za/ を参考にしてください。"},
         "データベースが見つかりません"},
        {"example.jp", true, "whois.", {"         【example.jp の調査結果】", ""}, ""},
        // Refused by the mapping: no title, no lookup, no query.
        {"\xf0\x9f\x98\x80.jp", false, "", {}, "\xf0\x9f\x98\x80.jp はドメイン名として使えない文字を含みます"},
        {"https://例え..jp/", false, "", {},
         "例え..jp は空のラベルを含みます (ドットが続いているか先頭にあります)"},
    };
    for (const auto& c : cases) {
        RunHarness run({});
        run.window.manualServer = c.manual;
        run.window.manualHost = c.manualHost;
        ASSERT_TRUE(run.Run(c.typed));
        EXPECT_EQ(run.window.Lines(), c.report) << c.typed;
        EXPECT_EQ(run.window.Status(), c.status) << c.typed;
        EXPECT_FALSE(run.window.running);
        EXPECT_EQ(run.window.finishedRuns, 0) << c.typed;
        EXPECT_TRUE(run.window.history.empty()) << c.typed;
        EXPECT_FALSE(std::filesystem::exists(run.HistoryFile())) << c.typed;
    }
}

TEST(RunStart, ManualServerIsAskedForNamesAndAddressesAlike) {
    RunHarness run({Server("whois.example.net", {{"192.0.2.1", "manual\n"}})});
    run.window.manualServer = true;
    run.window.manualHost = " whois.example.net ";
    ASSERT_TRUE(run.Run("192.0.2.1"));
    EXPECT_EQ(run.Queries("whois.example.net"), Lines{"192.0.2.1\r\n"});
    EXPECT_EQ(run.window.Lines().at(2), "{whois.example.net からの回答}");
}

TEST(RunStart, CancelAbortsTheLegsAndResetsTheButtons) {
    auto silent = Server(kJprs);
    silent.hold = true;
    silent.silent = true;
    RunHarness run({silent});
    run.window.query = "example.jp";
    run.controller->QueryButtonClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.Servers().Connections(kJprs) == 1; }, 5000));
    EXPECT_TRUE(run.window.running);
    run.controller->CancelButtonClick();
    EXPECT_EQ(run.window.Status(), "中止");
    EXPECT_FALSE(run.window.running);
    EXPECT_TRUE(run.controller->Idle());
}

// What the user typed is kept whole in the history and the report, in any
// script; the DNS step asks the ASCII-compatible form.
TEST(RunStart, NamesInAnyScriptAreShownAndKeptAsTyped) {
    RunHarness run({Server("whois.denic.de"), Server("whois.kr")});
    run.resolver.addresses["xn--mnchen-3ya.de"] = "192.0.2.30";
    ASSERT_TRUE(run.Run("münchen.de"));
    EXPECT_EQ(run.window.Lines(),
              (Lines{"         【münchen.de の調査結果】", "", "{IPアドレス}", "", "192.0.2.30", "",
                     "{Punyコード}", "", "xn--mnchen-3ya.de", "", "{whois.denic.de からの回答}", "",
                     ""}));
    EXPECT_EQ(run.window.captions.back(), "münchen.de (192.0.2.30) の調査結果 - Torvane");
    ASSERT_TRUE(run.Run("한국.kr"));
    EXPECT_EQ(run.Queries("whois.kr"), Lines{"xn--3e0b707e.kr\r\n"});
    EXPECT_EQ(run.window.history, (Lines{"한국.kr", "münchen.de"}));
    std::ifstream file(run.HistoryFile(), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(file), {});
    EXPECT_EQ(bytes, "한국.kr\r\nmünchen.de\r\n");
}

TEST(RunStart, HistoryKeepsOneItemPerLineWhateverItsCase) {
    RunHarness run({Server(kJprs)});
    ASSERT_TRUE(run.Run("Example.JP"));
    ASSERT_TRUE(run.Run("other.jp"));
    ASSERT_TRUE(run.Run("example.jp"));
    EXPECT_EQ(run.window.history, (Lines{"Example.JP", "other.jp"}));
    std::ifstream file(run.HistoryFile(), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(file), {});
    EXPECT_EQ(bytes, "Example.JP\r\nother.jp\r\n");
}

}  // namespace
}  // namespace torvane::run
