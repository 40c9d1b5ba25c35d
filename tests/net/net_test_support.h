#pragma once
// Helpers shared by the network tests: the Qt application the event loop
// needs, loopback test servers reachable through the host map, and a log of
// a WHOIS client's events.

#include <QCoreApplication>
#include <QTest>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "net/host_map.h"
#include "net/whois_cli.h"
#include "whois_test_server.h"

namespace torvane::net::testing {

inline void EnsureQtApp() {
    static int argc = 1;
    static char name[] = "net_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

inline std::string ReadTestData(const std::string& relative) {
    std::ifstream file(std::string(TORVANE_TEST_DATA) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Starts the servers and maps each server name to its port, so clients can
// use the names as Host.
class LoopbackServers {
  public:
    explicit LoopbackServers(std::vector<testserver::ServerConfig> configs) : server_(configs) {
        server_.Start();
        for (const auto& config : configs) {
            AddHostMapping({config.name, "127.0.0.1", server_.Port(config.name)});
        }
    }
    testserver::WhoisTestServer& operator*() { return server_; }
    testserver::WhoisTestServer* operator->() { return &server_; }

  private:
    testserver::WhoisTestServer server_;
};

inline testserver::ServerConfig Answering(std::string name, std::string answer) {
    testserver::ServerConfig config;
    config.name = std::move(name);
    config.default_answer = std::move(answer);
    return config;
}

// Every event of one client as text: "connected CODE", "done CODE".
struct EventLog {
    std::vector<std::string> events;
    std::vector<std::string> answers;  // WhoisResp at each OnQueryDone

    void Attach(TWhoisCli& client) {
        client.OnSessionConnected = [this](TWhoisCli*, ErrorCode code) {
            events.push_back("connected " + std::to_string(code));
        };
        client.OnQueryDone = [this](TWhoisCli* sender, ErrorCode code) {
            events.push_back("done " + std::to_string(code));
            answers.push_back(sender->WhoisResp());
        };
    }
    int DoneCount() const { return int(answers.size()); }
    bool WaitForDone(int count = 1) {
        return QTest::qWaitFor([&] { return DoneCount() >= count; }, 10000);
    }
};

// Lets the event loop run a while, so that an event that should not come
// would have arrived.
inline void SettleEventLoop() { QTest::qWait(100); }

}  // namespace torvane::net::testing
