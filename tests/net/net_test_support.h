#pragma once
// Helpers shared by the network tests: the Qt application the event loop
// needs, loopback test servers reachable through the host map, logs of a
// WHOIS and an RDAP client's events, and a TLS certificate for loopback.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "net/host_map.h"
#include "net/rdap_cli.h"
#include "net/whois_cli.h"
#include "whois_test_server.h"

namespace torvane::net::testing {

// The test server's pieces the tests build servers from, so that a test
// file's `using namespace testing;` brings them along.
using testserver::HttpConfig;
using testserver::HttpResponse;
using testserver::ServerConfig;
using testserver::WhoisTestServer;

// A client's events as a log records them, in order.
using Events = std::vector<std::string>;

// The smallest RDAP domain answer the HTTP tests serve.
inline const std::string kDomainJson = R"({"objectClassName":"domain","ldhName":"example.com"})";

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
    Events events;
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

// Every event of one RDAP client as text, with the outcome at each
// completion: "connected CODE", "done CODE STATUS".
struct RdapLog {
    Events events;
    void Attach(TRdapCli& client) {
        client.OnSessionConnected = [this](TRdapCli*, ErrorCode code) {
            events.push_back("connected " + std::to_string(code));
        };
        client.OnQueryDone = [this](TRdapCli* sender, ErrorCode code) {
            events.push_back("done " + std::to_string(code) + " " +
                             std::to_string(sender->HttpStatus()));
            ++done;
        };
    }
    bool WaitForDone(int count) {
        return QTest::qWaitFor([&] { return done >= count; }, 20000);
    }
    int done = 0;
};

// A certificate for 127.0.0.1 and localhost, made now with the openssl
// command, for the test server's TLS.
struct TestCertificate {
    QTemporaryDir dir;
    QString certificate = dir.filePath("cert.pem");
    QString key = dir.filePath("key.pem");
    bool Make() {
        QProcess openssl;
        openssl.start(
            "openssl",
            {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
             "-days", "2", "-subj", "/CN=torvane test", "-addext",
             "subjectAltName=IP:127.0.0.1,DNS:localhost", "-keyout", key, "-out", certificate});
        return openssl.waitForFinished(60000) && openssl.exitCode() == 0;
    }
    // The certificate made, for a client to trust.
    QSslCertificate Certificate() const {
        QFile pem(certificate);
        return pem.open(QIODevice::ReadOnly) ? QSslCertificate(&pem, QSsl::Pem) : QSslCertificate();
    }
};

// Lets the event loop run a while, so that an event that should not come
// would have arrived.
inline void SettleEventLoop() { QTest::qWait(100); }

}  // namespace torvane::net::testing
