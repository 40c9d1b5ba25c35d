#pragma once
// A run driven headless against the loopback WHOIS test server: a window that
// records what the run shows, a resolver that answers from a table, and the
// well-known servers mapped onto local test servers.

#include <QCoreApplication>
#include <QString>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/run/run_controller.h"
#include "app/run/text_report.h"
#include "encoding/code_page.h"
#include "net/host_map.h"
#include "query/well_known_servers.h"
#include "whois_test_server.h"

namespace torvane::run::testing {

using Lines = std::vector<std::string>;
// The well-known servers, as the names the test servers are mapped under.
inline const std::string kJprs(query::kJprsServer);
inline const std::string kJpnic(query::kJpnicServer);
inline const std::string kApnic(query::kApnicServer);
inline const std::string kArin(query::kArinServer);

inline void EnsureQtApp() {
    static int argc = 1;
    static char name[] = "run_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

// The CP932 bytes of a UTF-8 text: what the .jp registry and JPNIC are sent.
inline std::string Cp932(const std::string& utf8) {
    return encoding::Utf16ToCp932(encoding::Utf8ToUtf16(utf8));
}

inline std::string ReadTestData(const std::string& relative) {
    std::ifstream file(std::string(TORVANE_TEST_DATA) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class TestWindow : public IRunWindow {
  public:
    std::string query;
    bool autoCorrect = true;
    bool manualServer = false;
    std::string manualHost = "whois.";
    // Off by default: most run tests check the classic run.
    bool fallback = false;
    TTextReport report;
    std::vector<std::string> statuses;  // every status text
    std::string rawStatus;              // the last status text
    std::vector<std::string> captions;  // every caption
    std::vector<std::string> history;
    bool running = false;
    bool focused = false;
    int finishedRuns = 0;

    std::string QueryText() const override { return query; }
    bool AutoCorrect() const override { return autoCorrect; }
    bool ManualServer() const override { return manualServer; }
    std::string ManualHost() const override { return manualHost; }
    bool Fallback() const override { return fallback; }
    void FocusQuery() override { focused = true; }
    IReport& Report() override { return report; }
    void SetStatus(const std::string& text) override {
        rawStatus = text;
        statuses.push_back(text);
    }
    void SetCaption(const std::string& text) override { captions.push_back(text); }
    void SetRunning(bool value) override { running = value; }
    void ShowHistory(const std::vector<std::string>& items) override { history = items; }
    void RunFinished() override { ++finishedRuns; }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const auto& line : report.Lines()) lines.emplace_back(line);
        return lines;
    }
    std::string Status() const { return statuses.empty() ? std::string() : statuses.back(); }
};

class TableResolver : public IResolver {
  public:
    std::map<std::string, std::string> addresses;  // name -> address
    std::map<std::string, std::string> names;      // address -> name
    std::string LookupHostAddress(const std::string& name) override {
        const auto found = addresses.find(name);
        return found == addresses.end() ? std::string() : found->second;
    }
    std::string LookupHostName(const std::string& address) override {
        const auto found = names.find(address);
        return found == names.end() ? "Unknown" : found->second;
    }
};

// Holds a test server's answers until the test opens it, so that a test
// orders completions by conditions it controls rather than by delays. The
// wait is capped only so that a failed test cannot hang the server's stop.
class Gate {
  public:
    void Open() {
        if (!opened_) promise_.set_value();
        opened_ = true;
    }
    // An answer function that sends `answer` once the gate is open.
    std::function<std::string(const std::string&)> Hold(std::string answer) const {
        return [future = future_, answer = std::move(answer)](const std::string&) {
            future.wait_for(std::chrono::seconds(30));
            return answer;
        };
    }

  private:
    std::promise<void> promise_;
    std::shared_future<void> future_ = promise_.get_future().share();
    bool opened_ = false;
};

// The lines without the registration summary (its title up to and with the
// empty line that ends it), for tests of what the run shows around it.
inline std::vector<std::string> WithoutSummary(std::vector<std::string> lines) {
    const auto title = std::find(lines.begin(), lines.end(), "{登録情報}");
    if (title == lines.end()) return lines;
    auto end = std::find(title + std::min<std::ptrdiff_t>(2, lines.end() - title), lines.end(), "");
    if (end != lines.end()) ++end;
    lines.erase(title, end);
    return lines;
}

inline bool Holds(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

inline testserver::ServerConfig Server(std::string name,
                                       std::map<std::string, std::string> answers = {}) {
    testserver::ServerConfig config;
    config.name = std::move(name);
    config.answers = std::move(answers);
    return config;
}

// A server that answers every query with `answer`.
inline testserver::ServerConfig Answering(std::string name, const std::string& answer) {
    testserver::ServerConfig config = Server(std::move(name));
    config.default_answer = answer;
    return config;
}

// A server that refuses every connection.
inline testserver::ServerConfig Refusing(std::string name) {
    testserver::ServerConfig config = Server(std::move(name));
    config.refuse = true;
    return config;
}

// A server whose connects never complete (a firewall dropping them).
inline testserver::ServerConfig BlackHole(std::string name) {
    testserver::ServerConfig config = Server(std::move(name));
    config.never_accept = true;
    return config;
}

// The registries of an address run of 192.0.2.1 without a reverse name:
// JPNIC answers "jpnic" at once, APNIC and ARIN once their gates are open.
inline std::vector<testserver::ServerConfig> GatedRegistries(const Gate& apnicGate,
                                                             std::string apnicAnswer,
                                                             const Gate& arinGate,
                                                             std::string arinAnswer) {
    auto apnic = Server(kApnic);
    apnic.answer_function = apnicGate.Hold(std::move(apnicAnswer));
    auto arin = Server(kArin);
    arin.answer_function = arinGate.Hold(std::move(arinAnswer));
    return {Server(kJpnic, {{"192.0.2.1", "jpnic\n"}}), apnic, arin};
}

// One controller with its window, resolver, history file and servers.
class RunHarness {
  public:
    explicit RunHarness(std::vector<testserver::ServerConfig> servers)
        : dir_(std::filesystem::temp_directory_path() /
               ("torvane-run-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))),
          server_(servers) {
        EnsureQtApp();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        server_.Start();
        net::ClearHostMap();
        for (const auto& config : servers) {
            net::AddHostMapping({config.name, "127.0.0.1", server_.Port(config.name)});
        }
        controller =
            std::make_unique<TRunController>(window, resolver, directory, dir_ / "log.txt");
    }
    ~RunHarness() {
        controller.reset();
        server_.Stop();
        net::ClearHostMap();
        std::filesystem::remove_all(dir_);
    }

    // Types `line`, presses the run button and waits until every leg is over.
    bool Run(const std::string& line) {
        window.query = line;
        controller->QueryButtonClick();
        return WaitIdle();
    }
    bool WaitIdle() {
        return QTest::qWaitFor([&] { return controller->Idle(); }, 15000);
    }
    // Turns the event loop until the report shows `line` (UTF-8).
    bool WaitForLine(const std::string& line) {
        return QTest::qWaitFor([&] { return Holds(window.Lines(), line); }, 15000);
    }
    std::vector<std::string> Queries(const std::string& server) const {
        return server_.Queries(server);
    }
    std::filesystem::path HistoryFile() const { return dir_ / "log.txt"; }
    testserver::WhoisTestServer& Servers() { return server_; }

    TestWindow window;
    TableResolver resolver;
    query::TServerDirectory directory;
    std::unique_ptr<TRunController> controller;

  private:
    std::filesystem::path dir_;
    testserver::WhoisTestServer server_;
};

}  // namespace torvane::run::testing
