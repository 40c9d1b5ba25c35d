// How a run reaches its servers: the connect limit the switch brings, and
// the proxy the user's environment names for port 43.

#include <QTcpServer>
#include <gtest/gtest.h>
#include <stdlib.h>

#include "app/run/run_texts.h"
#include "run_test_support.h"

namespace torvane::run {
namespace {

using namespace testing;
using namespace std::chrono_literals;

// Sets an environment variable for one test and restores it afterwards.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = ::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

std::uint16_t FreeLoopbackPort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

TEST(NetworkRun, WithTheSwitchOnABlackHoledRegistryEndsTimedOutAndNamed) {
    // An address run has no RDAP leg to stand in: each registry's connect
    // gives up on its own, and the last failure names its server.
    RunHarness run({BlackHole(kJpnic), BlackHole(kApnic), BlackHole(kArin)});
    run.window.fallback = true;
    run.controller->SetConnectLimits(50ms, 200ms);
    ASSERT_TRUE(run.Run("192.0.2.1"));
    const std::string status = run.window.Status();
    EXPECT_TRUE(status == kJpnic + Texts().timedOut || status == kApnic + Texts().timedOut ||
                status == kArin + Texts().timedOut)
        << status;
    for (Leg leg : {Leg::LegX, Leg::Leg6, Leg::Leg7})
        EXPECT_EQ(run.controller->Client(leg).ConnectTimeout, 200ms);
}

TEST(NetworkRun, WithTheSwitchOffAConnectWaitsAsLongAsTheSystem) {
    RunHarness run({BlackHole(kJpnic), BlackHole(kApnic), BlackHole(kArin)});
    run.controller->SetConnectLimits(50ms, 200ms);
    run.window.query = "192.0.2.1";
    run.controller->QueryButtonClick();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return run.window.Status().ends_with(Texts().waitingFor); }, 15000));
    for (Leg leg : {Leg::LegX, Leg::Leg6, Leg::Leg7})
        EXPECT_EQ(run.controller->Client(leg).ConnectTimeout, 0ms);
    run.controller->CancelButtonClick();
    ASSERT_TRUE(run.WaitIdle());
}

TEST(NetworkRun, PortFortyThreeGoesThroughTheProxyOfTheEnvironmentAndSaysWhenItIsDown) {
    // socks5h: the proxy resolves the name, so nothing is looked up here and
    // the run reaches the proxy (where nothing listens) whatever the name.
    const std::string proxy = "127.0.0.1:" + std::to_string(FreeLoopbackPort());
    ScopedVariable variable("TORVANE_WHOIS_PROXY", "socks5h://" + proxy);
    RunHarness run({});
    run.window.manualServer = true;
    run.window.manualHost = "whois.unmapped.test";
    ASSERT_TRUE(run.Run("example.test"));
    const auto& statuses = run.window.statuses;
    EXPECT_NE(std::find(statuses.begin(), statuses.end(),
                        "whois.unmapped.test (プロキシ " + proxy + " 経由)" + Texts().waitingFor),
              statuses.end());
    EXPECT_EQ(run.window.Status(), "プロキシ " + proxy + " に接続できません");
}

TEST(NetworkRun, MappedServersAreNeverProxied) {
    ScopedVariable variable("TORVANE_WHOIS_PROXY",
                            "socks5h://127.0.0.1:" + std::to_string(FreeLoopbackPort()));
    RunHarness run({Server(kJprs, {{"example.jp", "answer\n"}})});
    ASSERT_TRUE(run.Run("example.jp"));
    EXPECT_FALSE(run.controller->Client(Leg::Leg1).ThroughProxy());
    EXPECT_EQ(run.window.Status(), "完了");
}

}  // namespace
}  // namespace torvane::run
