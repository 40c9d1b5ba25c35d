// What the legs add to the report: referrals, contact-handle follow-ups and
// the address registries' legs, with real answers where one fits.

#include <gtest/gtest.h>

#include <QTimer>

#include "run_test_support.h"

namespace torvane::run {
namespace {

using namespace testing;
const std::string kTitle = "         【example.jp の調査結果】";

Lines Tail(const Lines& lines, std::size_t from) {
    return Lines(lines.begin() + from, lines.end());
}

TEST(Legs, JprsHandlesAreAskedAtJpnicAndInsertedAfterThePrimaryBlock) {
    const std::string answer = ReadTestData("app/google.co.jp_utf8_2018.txt");
    RunHarness run({Server(kJprs, {{"google.co.jp", answer}}),
                    Server(kJpnic, {{"DL152JP", "a. [handle] DL152JP\n"},
                                    {"TW124137JP", "a. [handle] TW124137JP\n"}})});
    ASSERT_TRUE(run.Run("www.google.co.jp"));
    const Lines lines = run.window.Lines();
    // The primary block: header, empty line, the converted answer, empty line.
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[2], "{whois.jprs.jp からの回答}");
    const auto firstFollowUp =
        std::find(lines.begin(), lines.end(), "{whois.nic.ad.jp からの回答 (DL152JP) }");
    ASSERT_NE(firstFollowUp, lines.end());
    EXPECT_EQ(Lines(firstFollowUp - 1, lines.end()),
              (Lines{"", "{whois.nic.ad.jp からの回答 (DL152JP) }", "", "a. [handle] DL152JP", "",
                     "{whois.nic.ad.jp からの回答 (TW124137JP) }", "", "a. [handle] TW124137JP", "",
                     ""}));
    EXPECT_EQ(run.Queries(kJpnic), (Lines{"DL152JP\r\n", "TW124137JP\r\n"}));
    EXPECT_TRUE(run.controller->PendingQueries().empty());
}

TEST(Legs, AHandleNamedTwiceIsAskedOnceAndTheRirNoticeHidesTheBlock) {
    const std::string answer = Cp932(
        "m. [登録担当者] AA1JP\nn. [技術連絡担当者] aa1jp\n"
        "n. [技術連絡担当者] BB2JP\n参考：RIRのWHOISサーバ\nn. [x] CC3JP\n");
    RunHarness run({Server(kJprs, {{"example.jp", answer}}),
                    Server(kJpnic, {{"AA1JP", "aa\n"}, {"BB2JP", "bb\n"}})});
    ASSERT_TRUE(run.Run("example.jp"));
    EXPECT_EQ(run.Queries(kJpnic), (Lines{"AA1JP\r\n", "BB2JP\r\n"}));
    // No primary block, so InsertLine stays 0 and the follow-ups are appended.
    EXPECT_EQ(run.window.Lines(),
              (Lines{kTitle, "", "{whois.nic.ad.jp からの回答 (AA1JP) }", "", "aa", "",
                     "{whois.nic.ad.jp からの回答 (BB2JP) }", "", "bb"}));
}

TEST(Legs, SixHandlesSendFourAndTheNextRunSendsTheRestFirst) {
    std::string answer;
    std::map<std::string, std::string> jpnic;
    for (int i = 1; i <= 6; ++i) {
        answer += "m. [h] H" + std::to_string(i) + "JP\n";
        jpnic["H" + std::to_string(i) + "JP"] = "h" + std::to_string(i) + "\n";
    }
    RunHarness run(
        {Server(kJprs, {{"example.jp", answer}, {"other.jp", "plain\n"}}), Server(kJpnic, jpnic)});
    ASSERT_TRUE(run.Run("example.jp"));
    EXPECT_EQ(run.Queries(kJpnic), (Lines{"H1JP\r\n", "H2JP\r\n", "H3JP\r\n", "H4JP\r\n"}));
    EXPECT_EQ(run.controller->PendingQueries(), (Lines{"H6JP", "H5JP"}));
    ASSERT_TRUE(run.Run("other.jp"));
    EXPECT_EQ(Tail(run.Queries(kJpnic), 4), (Lines{"H5JP\r\n", "H6JP\r\n"}));
    EXPECT_EQ(run.window.Lines(),
              (Lines{"         【other.jp の調査結果】", "", "{whois.jprs.jp からの回答}", "",
                     "plain", "", "{whois.nic.ad.jp からの回答 (H5JP) }", "", "h5", "",
                     "{whois.nic.ad.jp からの回答 (H6JP) }", "", "h6", "", ""}));
}

// Handles left from an earlier run go first; when the first leg then follows
// a referral and its second answer names a handle, that follow-up waits for
// the one still running instead of taking over its client.
TEST(Legs, ASecondDispatchInOneRunNeverRestartsARunningFollowUp) {
    Gate heldHandle;
    auto jpnic = Server(kJpnic);
    jpnic.answer_function = [&heldHandle, hold = heldHandle.Hold("h5\n")](const std::string& q) {
        return q == "H5JP" ? hold(q) : "h" + q.substr(1, 1) + "\n";
    };
    std::string five;
    for (int i = 1; i <= 5; ++i) five += "m. [h] H" + std::to_string(i) + "JP\n";
    RunHarness run({Server(kJprs, {{"example.jp", five}, {"other.jp", "m. [h] H6JP\n"}}),
                    Server("first.test", {{"other.jp", "Whois Server: whois.jprs.jp\n"}}), jpnic});
    ASSERT_TRUE(run.Run("example.jp"));
    ASSERT_EQ(run.controller->PendingQueries(), Lines{"H5JP"});

    run.window.manualServer = true;
    run.window.manualHost = "first.test";
    run.window.query = "other.jp";
    run.controller->QueryButtonClick();
    ASSERT_TRUE(run.WaitForLine("m. [h] H6JP"));
    heldHandle.Open();
    ASSERT_TRUE(run.WaitIdle());
    EXPECT_TRUE(Holds(run.window.Lines(), "{whois.nic.ad.jp からの回答 (H5JP) }"));
    EXPECT_TRUE(Holds(run.window.Lines(), "h5"));
    EXPECT_EQ(Tail(run.Queries(kJpnic), 4), (Lines{"H5JP\r\n", "H6JP\r\n"}));
}

TEST(Legs, CancelDropsTheHandlesOfTheCancelledRun) {
    Gate never;
    auto jpnic = Server(kJpnic);
    jpnic.answer_function = never.Hold("late\n");
    std::string six;
    for (int i = 1; i <= 6; ++i) six += "m. [h] H" + std::to_string(i) + "JP\n";
    RunHarness run({Server(kJprs, {{"example.jp", six}}), jpnic});
    run.window.query = "example.jp";
    run.controller->QueryButtonClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return run.Queries(kJpnic).size() == 1; }, 15000));
    ASSERT_FALSE(run.controller->PendingQueries().empty());
    run.controller->CancelButtonClick();
    never.Open();
    EXPECT_TRUE(run.controller->PendingQueries().empty());
    EXPECT_EQ(run.window.Status(), "中止");
}

TEST(Legs, FailingFollowUpsDoNotStallTheDispatch) {
    auto jpnic = Server(kJpnic);
    jpnic.refuse = true;
    RunHarness run({Server(kJprs, {{"example.jp", "m. [a] AA1JP\nn. [b] BB2JP\n"}}), jpnic});
    ASSERT_TRUE(run.Run("example.jp"));
    EXPECT_TRUE(run.controller->PendingQueries().empty());
    EXPECT_EQ(run.window.Status(), "WHOISサービスを利用できません");
    EXPECT_EQ(run.window.Lines(), (Lines{kTitle, "", "{whois.jprs.jp からの回答}", "",
                                         "m. [a] AA1JP", "n. [b] BB2JP", ""}));
    EXPECT_FALSE(run.window.running);
}

TEST(Legs, AddressRunAsksJpnicHandlesWithAnEmptyLineBeforeEach) {
    auto jpnic = Server(kJpnic, {{"192.0.2.1", "a. [IP] 192.0.2.0/24\nm. [admin] XY1JP\n"},
                                 {"XY1JP", "a. [handle] XY1JP\n"}});
    auto apnic = Server(kApnic, {{"192.0.2.1", "% not allocated to APNIC\n"}});
    apnic.delay = std::chrono::milliseconds(300);
    auto arin = Server(kArin, {{"192.0.2.1", "No match found for 192.0.2.1.\n"}});
    arin.delay = std::chrono::milliseconds(300);
    RunHarness run({jpnic, apnic, arin});
    ASSERT_TRUE(run.Run("192.0.2.1"));
    EXPECT_EQ(run.window.Lines(),
              (Lines{"         【192.0.2.1 の調査結果】", "", "{whois.nic.ad.jp からの回答}", "",
                     "a. [IP] 192.0.2.0/24", "m. [admin] XY1JP", "",
                     "{whois.nic.ad.jp からの回答 (XY1JP) }", "", "a. [handle] XY1JP", "", ""}));
}

TEST(Legs, WhoisServerReferralHidesTheFirstAnswerAndShowsTheSecond) {
    const std::string answer = ReadTestData("app/google.net_2014_whois-server-line.txt");
    RunHarness run(
        {Server("whois.crsnic.net", {{"google.net", answer}}),
         Server("whois.markmonitor.com", {{"google.net", "Domain Name: google.net\n"}})});
    ASSERT_TRUE(run.Run("www.google.net"));
    EXPECT_EQ(run.window.Lines(),
              (Lines{"         【www.google.net の調査結果】", "", "",
                     "{whois.markmonitor.com からの回答}", "", "Domain Name: google.net", ""}));
    EXPECT_EQ(run.Queries("whois.markmonitor.com"), Lines{"google.net\r\n"});
}

struct ReferralCase {
    const char* name;
    std::string first;   // what the first server answers
    std::string second;  // what whois.b.example answers
    Lines report;        // from the line after the run title's empty line
    int secondAsked;
};

TEST(Legs, ReferralsThatWouldLoopOrRaiseAreNotFollowed) {
    const ReferralCase cases[] = {
        {"to the server just asked",
         "Whois Server: whois.jprs.jp\n",
         "",
         {"{whois.jprs.jp からの回答}", "", "Whois Server: whois.jprs.jp", ""},
         0},
        {"empty value",
         "Whois Server:   \n",
         "",
         {"{whois.jprs.jp からの回答}", "", "Whois Server:   ", ""},
         0},
        {"servers naming each other",
         "Whois Server: whois.b.example\n",
         "Whois Server: WHOIS.jprs.jp\n",
         {"", "{whois.b.example からの回答}", "", "Whois Server: WHOIS.jprs.jp", ""},
         1},
    };
    for (const auto& c : cases) {
        RunHarness run({Server(kJprs, {{"example.jp", c.first}}),
                        Server("whois.b.example", {{"example.jp", c.second}})});
        ASSERT_TRUE(run.Run("example.jp")) << c.name;
        EXPECT_EQ(Tail(run.window.Lines(), 2), c.report) << c.name;
        EXPECT_EQ(run.Servers().Connections("whois.b.example"), c.secondAsked) << c.name;
        EXPECT_EQ(run.window.Status(), "完了") << c.name;
        EXPECT_FALSE(run.window.running) << c.name;
    }
}

TEST(Legs, RefusedPrimaryLegShowsItsStatusAndEndsTheRun) {
    auto refusing = Server(kJprs);
    refusing.refuse = true;
    RunHarness run({refusing});
    ASSERT_TRUE(run.Run("example.jp"));
    EXPECT_EQ(run.window.Lines(), (Lines{kTitle, ""}));
    EXPECT_EQ(run.window.Status(), "WHOISサービスを利用できません");
    EXPECT_FALSE(run.window.running);
    EXPECT_EQ(run.window.finishedRuns, 1);
}

TEST(Legs, AddressRegistriesHideNoMatchAnswersAndFollowArinReferrals) {
    const std::string arinAnswer = ReadTestData("app/referral-ripe-port43.txt");
    auto jpnic = Server(kJpnic, {{"192.0.2.1", "No match!!\n"}});
    auto apnic = Server(kApnic, {{"192.0.2.1", "% not allocated to APNIC\n"}});
    auto arin = Server(kArin, {{"192.0.2.1", arinAnswer}});
    auto ripe = Server(std::string(query::kRipeServer), {{"192.0.2.1", "inetnum: 192.0.2.0\n"}});
    RunHarness run({jpnic, apnic, arin, ripe});
    ASSERT_TRUE(run.Run("192.0.2.1"));
    EXPECT_EQ(run.window.Lines(),
              (Lines{"         【192.0.2.1 の調査結果】", "", "{whois.ripe.net からの回答}", "",
                     "inetnum: 192.0.2.0", ""}));
    // Once when turned to, once when shown.
    EXPECT_EQ(run.controller->VisitedServers(), (Lines{"whois.ripe.net", "whois.ripe.net"}));
    // The port in the referral is dropped: the leg asks the WHOIS port.
    EXPECT_EQ(run.Queries("whois.ripe.net"), Lines{"192.0.2.1\r\n"});
}

// A large answer is converted on a thread of its own; a small answer that
// completes meanwhile waits behind it, so the blocks keep the order in which
// the exchanges ended. ARIN's gate opens from the event loop the moment
// APNIC's completion is seen waiting.
TEST(Legs, ALaterSmallAnswerWaitsBehindALargeOneBeingConverted) {
    // UTF-8 to decode, so that the conversion takes a while.
    std::string line = "apnic ";
    for (int i = 0; i < 30; ++i) line += "日本";
    std::string large;
    while (large.size() < (12u << 20)) large += line + "\r\n";
    Gate apnicGate, arinGate;
    RunHarness run(GatedRegistries(apnicGate, large, arinGate, "arin\n"));
    run.window.query = "192.0.2.1";
    run.controller->QueryButtonClick();
    ASSERT_TRUE(run.WaitForLine("jpnic"));
    QTimer opener;
    opener.setTimerType(Qt::PreciseTimer);
    QObject::connect(&opener, &QTimer::timeout, [&] {
        if (run.controller->CompletionsWaiting() == 0) return;
        arinGate.Open();
        opener.stop();
    });
    opener.start(0);
    apnicGate.Open();
    ASSERT_TRUE(run.WaitIdle());
    const query::TLines& report = run.window.report.Lines();
    const std::size_t answerLines = large.size() / (line.size() + 2);
    const std::string& answerLine = line;
    ASSERT_EQ(report.size(), answerLines + 13);
    EXPECT_EQ(report[6], "{whois.apnic.net からの回答}");
    EXPECT_EQ(report[8], answerLine);
    EXPECT_EQ(report[7 + answerLines], answerLine);
    const query::TLines tail{report[8 + answerLines], report[9 + answerLines],
                             report[10 + answerLines], report[11 + answerLines],
                             report[12 + answerLines]};
    EXPECT_EQ(tail, (Lines{"", "{whois.arin.net からの回答}", "", "arin", ""}));
}

TEST(Legs, ArinNamingApnicIsNotFollowedAndApnicCommandLineIsFollowedButNotShown) {
    // ARIN's real answer names APNIC and says the range is not ARIN's.
    const std::string arinAnswer = ReadTestData("app/referral-apnic_2013.txt");
    auto jpnic = Server(kJpnic, {{"192.0.2.1", "No match!!\n"}});
    auto apnic = Server(kApnic, {{"192.0.2.1", "% command line: whois.other.example\n"}});
    auto other = Server("whois.other.example", {{"192.0.2.1", "other\n"}});
    auto arin = Server(kArin, {{"192.0.2.1", arinAnswer}});
    RunHarness run({jpnic, apnic, arin, other});
    ASSERT_TRUE(run.Run("192.0.2.1"));
    EXPECT_EQ(run.window.Lines(), (Lines{"         【192.0.2.1 の調査結果】", ""}));
    EXPECT_EQ(run.Servers().Connections(kApnic), 1);
    EXPECT_EQ(run.Queries("whois.other.example"), Lines{"192.0.2.1\r\n"});
    EXPECT_EQ(run.controller->VisitedServers(), Lines{"whois.other.example"});
}

TEST(Legs, ArinAnswerWithoutReferralOrNoMatchIsShownWithAnEmptyLineAfterIt) {
    auto jpnic = Server(kJpnic, {{"192.0.2.1", "No match!!\n"}});
    auto apnic = Server(kApnic, {{"192.0.2.1", "% not allocated to APNIC\n"}});
    auto arin = Server(kArin, {{"192.0.2.1",
                                "NetRange: 192.0.2.0 - 192.0.2.255\n"
                                "ReferralServer: whois://whois.apnic.net\n"}});
    RunHarness run({jpnic, apnic, arin});
    ASSERT_TRUE(run.Run("192.0.2.1"));
    EXPECT_EQ(run.window.Lines(),
              (Lines{"         【192.0.2.1 の調査結果】", "", "{whois.arin.net からの回答}", "",
                     "NetRange: 192.0.2.0 - 192.0.2.255", "ReferralServer: whois://whois.apnic.net",
                     ""}));
}

TEST(Legs, ApnicCommandLineNamingArinAsksNothing) {
    auto jpnic = Server(kJpnic, {{"192.0.2.1", "No match!!\n"}});
    auto apnic = Server(kApnic, {{"192.0.2.1", "% command line: whois.arin.net\n"}});
    auto arin = Server(kArin, {{"192.0.2.1", "No match found for 192.0.2.1.\n"}});
    RunHarness run({jpnic, apnic, arin});
    ASSERT_TRUE(run.Run("192.0.2.1"));
    EXPECT_EQ(run.window.Lines(), (Lines{"         【192.0.2.1 の調査結果】", ""}));
    EXPECT_EQ(run.Servers().Connections(kArin), 1);
}

struct WaitingCase {
    std::string kind;
    std::vector<testserver::ServerConfig> servers;
    std::string typed;
    std::string status;  // while the servers never accept
};

TEST(Legs, UntilALegConnectsTheStatusNamesTheServersItWaitsFor) {
    const std::string verisign = "whois.verisign-grs.com";
    const WaitingCase cases[] = {
        {"first leg",
         {BlackHole(kJprs)},
         "example.jp",
         "whois.jprs.jp への接続を待っています．．．"},
        {"address registries",
         {BlackHole(kJpnic), BlackHole(kApnic), BlackHole(kArin)},
         "192.0.2.1",
         "whois.nic.ad.jp、whois.apnic.net、whois.arin.net への接続を待っています．．．"},
        {"referral",
         {Server(verisign, {{"example.com", "Whois Server: whois.markmonitor.com\n"}}),
          BlackHole("whois.markmonitor.com")},
         "example.com",
         "whois.markmonitor.com への接続を待っています．．．"},
        {"follow-up",
         {Server(kJprs, {{"example.jp", "m. [h] AB1JP\n"}}), BlackHole(kJpnic)},
         "example.jp",
         "whois.nic.ad.jp への接続を待っています．．．"},
    };
    for (const WaitingCase& c : cases) {
        SCOPED_TRACE(c.kind);
        RunHarness run(c.servers);
        run.window.query = c.typed;
        run.controller->QueryButtonClick();
        EXPECT_TRUE(QTest::qWaitFor([&] { return run.window.Status() == c.status; }, 15000))
            << run.window.Status();
        run.controller->CancelButtonClick();
        EXPECT_EQ(run.window.Status(), "中止");
        ASSERT_TRUE(run.WaitIdle());
    }
}

TEST(Legs, TheWaitingTextGivesWayToTheConnectingTextThenToTheCompletion) {
    RunHarness run({Server(kJprs, {{"example.jp", "Domain: example.jp\n"}})});
    ASSERT_TRUE(run.Run("example.jp"));
    const Lines& statuses = run.window.statuses;
    ASSERT_GE(statuses.size(), 3u);
    EXPECT_EQ(Lines(statuses.end() - 3, statuses.end()),
              (Lines{"whois.jprs.jp への接続を待っています．．．", "whois.jprs.jpに接続中．．．",
                     "完了"}));
}

}  // namespace
}  // namespace torvane::run
